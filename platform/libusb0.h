#pragma once
// Our declarations of the libusb 0.1 calls the device link makes on its
// second USB path (libusb0.dll, C calling convention, undecorated names).
// Only what the link uses is declared: the bus list with its devices and
// their device descriptors, open/configure/claim, bulk transfers, close and
// the last error text. The structure layout is our own and is shared by the
// link and the stand-in libusb0.dll built in sim/libusb0.
//
// Results follow libusb 0.1: 0 or a byte count for success, a negative error
// number for failure (usb_strerror describes the last one of the calling
// thread); usb_open gives null when the device cannot be opened.
//
// The stand-in simulates one bus. How many devices sit on it:
//  - usbsim_set_devices(sensors, others), a test-only export, sets it at once
//    (the next usb_find_devices sees the change);
//  - otherwise the environment variable PELMORA_USB0_DEVICES (a decimal
//    count of USB sensors, 0x0547:0x1003) is read at usb_init;
//  - otherwise the bus is empty.
// "others" are devices of another vendor, which the link must not count.
// Bulk writes to endpoint 0x04 are accepted and dropped; bulk reads from
// endpoint 0x83 time out at once (there is no simulated sensor yet).
#include <cstdint>

#if defined(PEL_USB0_BUILDING)
#define PEL_USB0_API extern "C" __declspec(dllexport)
#else
#define PEL_USB0_API extern "C" __declspec(dllimport)
#endif

extern "C" {

// The standard USB device descriptor (USB 2.0, chapter 9), byte for byte.
#pragma pack(push, 1)
struct usb_device_descriptor {
  std::uint8_t bLength;
  std::uint8_t bDescriptorType;
  std::uint16_t bcdUSB;
  std::uint8_t bDeviceClass;
  std::uint8_t bDeviceSubClass;
  std::uint8_t bDeviceProtocol;
  std::uint8_t bMaxPacketSize0;
  std::uint16_t idVendor;
  std::uint16_t idProduct;
  std::uint16_t bcdDevice;
  std::uint8_t iManufacturer;
  std::uint8_t iProduct;
  std::uint8_t iSerialNumber;
  std::uint8_t bNumConfigurations;
};
#pragma pack(pop)

struct usb_bus;

// One device on a bus; the list is linked through next (null ends it).
struct usb_device {
  usb_device* next;
  usb_device* prev;
  char filename[64];
  usb_bus* bus;
  usb_device_descriptor descriptor;
  std::uint8_t devnum;
};

// One bus; the list of busses is linked through next (null ends it).
struct usb_bus {
  usb_bus* next;
  usb_bus* prev;
  char dirname[64];
  usb_device* devices;
  std::uint32_t location;
};

// An opened device; opaque to callers.
struct usb_dev_handle;

}  // extern "C"

PEL_USB0_API void __cdecl usb_init(void);
PEL_USB0_API void __cdecl usb_set_debug(int level);
// Both return the number of busses / devices that appeared or went away
// since the previous call.
PEL_USB0_API int __cdecl usb_find_busses(void);
PEL_USB0_API int __cdecl usb_find_devices(void);
// The first bus, or null before usb_find_busses.
PEL_USB0_API usb_bus* __cdecl usb_get_busses(void);
PEL_USB0_API usb_dev_handle* __cdecl usb_open(usb_device* dev);
PEL_USB0_API int __cdecl usb_set_configuration(usb_dev_handle* dev, int configuration);
PEL_USB0_API int __cdecl usb_claim_interface(usb_dev_handle* dev, int interface);
PEL_USB0_API int __cdecl usb_release_interface(usb_dev_handle* dev, int interface);
PEL_USB0_API int __cdecl usb_bulk_write(usb_dev_handle* dev, int ep, char* bytes, int size,
                                        int timeout);
PEL_USB0_API int __cdecl usb_bulk_read(usb_dev_handle* dev, int ep, char* bytes, int size,
                                       int timeout);
PEL_USB0_API int __cdecl usb_close(usb_dev_handle* dev);
PEL_USB0_API char* __cdecl usb_strerror(void);

// Test-only control of the simulated bus (see above).
PEL_USB0_API void __cdecl usbsim_set_devices(int sensors, int others);
