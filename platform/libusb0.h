#pragma once
// Our declarations of the libusb 0.1 calls the device link makes on its
// second USB path (libusb0.dll, C calling convention, undecorated names).
// Only what the link uses is declared: the bus list with its devices and
// their device descriptors, open/configure/claim, bulk transfers, close and
// the last error text. The link and the stand-in libusb0.dll built in
// sim/libusb0 share these declarations.
//
// Results follow libusb 0.1: 0 or a byte count for success, a negative error
// number for failure (usb_strerror describes the last one of the calling
// thread); usb_open gives null when the device cannot be opened.
//
// The structures are byte-packed and their path names 512 bytes long, as the
// library users install with their sensor driver lays them out; the asserts
// below pin that layout for both bitnesses.
//
// The stand-in libusb0.dll (sim/libusb0) simulates one bus of USB sensors
// that answer packets (sim/usbsensor). Which sensors sit on it:
//  - usbsim_set_devices(sensors, others), a test-only export, sets it at once
//    (the next usb_find_devices sees the change);
//  - otherwise the environment variable PELMORA_USB0_DEVICES, read at the
//    first usb_init (see sim/usbsensor/SensorProfile.h for its forms);
//  - otherwise the bus is empty.
// "others" are devices of another vendor, which the link must not count.
#include <cstddef>
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
struct usb_config_descriptor;  // not read by the link

inline constexpr int kUsbPathMax = 512;

#pragma pack(push, 1)
// One device on a bus; the list is linked through next (null ends it).
struct usb_device {
  usb_device* next;
  usb_device* prev;
  char filename[kUsbPathMax];
  usb_bus* bus;
  usb_device_descriptor descriptor;
  usb_config_descriptor* config;
  void* dev;  // the library's own
  std::uint8_t devnum;
  std::uint8_t num_children;
  usb_device** children;
};

// One bus; the list of busses is linked through next (null ends it).
struct usb_bus {
  usb_bus* next;
  usb_bus* prev;
  char dirname[kUsbPathMax];
  usb_device* devices;
  std::uint32_t location;  // an unsigned long on Windows: 32 bits in both bitnesses
  usb_device* root_dev;
};
#pragma pack(pop)

// An opened device; opaque to callers.
struct usb_dev_handle;

}  // extern "C"

static_assert(sizeof(usb_device_descriptor) == 18);
#if UINTPTR_MAX == 0xFFFFFFFFFFFFFFFFu
static_assert(offsetof(usb_device, filename) == 16 && offsetof(usb_device, bus) == 528);
static_assert(offsetof(usb_device, descriptor) == 536 && offsetof(usb_device, config) == 554);
static_assert(offsetof(usb_device, dev) == 562 && offsetof(usb_device, devnum) == 570);
static_assert(offsetof(usb_device, num_children) == 571 && offsetof(usb_device, children) == 572);
static_assert(sizeof(usb_device) == 580);
static_assert(offsetof(usb_bus, dirname) == 16 && offsetof(usb_bus, devices) == 528);
static_assert(offsetof(usb_bus, location) == 536 && offsetof(usb_bus, root_dev) == 540);
static_assert(sizeof(usb_bus) == 548);
#else
static_assert(offsetof(usb_device, filename) == 8 && offsetof(usb_device, bus) == 520);
static_assert(offsetof(usb_device, descriptor) == 524 && offsetof(usb_device, config) == 542);
static_assert(offsetof(usb_device, dev) == 546 && offsetof(usb_device, devnum) == 550);
static_assert(offsetof(usb_device, num_children) == 551 && offsetof(usb_device, children) == 552);
static_assert(sizeof(usb_device) == 556);
static_assert(offsetof(usb_bus, dirname) == 8 && offsetof(usb_bus, devices) == 520);
static_assert(offsetof(usb_bus, location) == 524 && offsetof(usb_bus, root_dev) == 528);
static_assert(sizeof(usb_bus) == 532);
#endif

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
// Chooses the sensors by a text of the forms sim/usbsensor/SensorProfile.h
// gives; -1 (nothing changed) for a bad text, else the number of sensors.
PEL_USB0_API int __cdecl usbsim_set_sensors(const char* profile);
// The packets sensor n (in the order chosen) received, one per line, copied
// into out (NUL-terminated, cut to size); returns the full length, or -1.
PEL_USB0_API int __cdecl usbsim_sensor_log(int sensor, char* out, int size);
PEL_USB0_API int __cdecl usbsim_open_handles(void);
// The time-out the last bulk transfer was given (-1 before any).
PEL_USB0_API int __cdecl usbsim_last_timeout(void);
