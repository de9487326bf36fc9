// The simulated bus behind the stand-in libusb0.dll. One bus; its devices are
// USB sensors (0x0547:0x1003) and, for filtering tests, devices of another
// vendor. Device records live as long as the process, so a pointer a caller
// took from the bus list never dangles; a handle stays valid until usb_close
// and reports "no such device" once its device has left the bus.
#include "platform/libusb0.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <string>

struct usb_dev_handle {
  usb_device* device = nullptr;
  bool configured = false;
  bool claimed = false;
};

namespace {

constexpr int kEInval = -22;
constexpr int kENoDev = -19;
constexpr int kEBusy = -16;
constexpr int kETimedOut = -116;
constexpr std::uint16_t kSensorVendor = 0x0547;
constexpr std::uint16_t kSensorProduct = 0x1003;
constexpr std::uint16_t kOtherVendor = 0x1234;
constexpr std::uint16_t kOtherProduct = 0x0001;
constexpr int kEndpointOut = 0x04;
constexpr int kEndpointIn = 0x83;

thread_local std::string lastError = "no error";

int fail(int code, const char* text) {
  lastError = text;
  return code;
}

// Owned by the process; every exported call takes the lock.
struct Bus {
  std::mutex lock;
  bool controlled = false;  // usbsim_set_devices was called
  int wantSensors = 0;
  int wantOthers = 0;
  bool bussesFound = false;
  usb_bus bus{};
  std::deque<usb_device> sensors;  // stable addresses, grown on demand
  std::deque<usb_device> others;
  int listedSensors = 0;
  int listedOthers = 0;
  std::set<std::unique_ptr<usb_dev_handle>> handles;

  void grow(std::deque<usb_device>& pool, int n, std::uint16_t vendor, std::uint16_t product,
            const char* stem) {
    while (static_cast<int>(pool.size()) < n) {
      usb_device& d = pool.emplace_back();
      std::memset(&d, 0, sizeof d);
      std::snprintf(d.filename, sizeof d.filename, "%s-%u", stem,
                    static_cast<unsigned>(pool.size()));
      d.bus = &bus;
      d.descriptor.bLength = 18;
      d.descriptor.bDescriptorType = 1;
      d.descriptor.bcdUSB = 0x0200;
      d.descriptor.bMaxPacketSize0 = 64;
      d.descriptor.idVendor = vendor;
      d.descriptor.idProduct = product;
      d.descriptor.bcdDevice = 0x0100;
      d.descriptor.bNumConfigurations = 1;
    }
  }

  bool listed(const usb_device* d) const {
    for (int i = 0; i < listedSensors; ++i)
      if (&sensors[i] == d) return true;
    for (int i = 0; i < listedOthers; ++i)
      if (&others[i] == d) return true;
    return false;
  }

  bool known(const usb_device* d) const {
    for (const usb_device& s : sensors)
      if (&s == d) return true;
    for (const usb_device& o : others)
      if (&o == d) return true;
    return false;
  }

  // Relinks the bus list to the wanted counts; returns how many devices
  // appeared or went away.
  int relink() {
    grow(sensors, wantSensors, kSensorVendor, kSensorProduct, "sensor");
    grow(others, wantOthers, kOtherVendor, kOtherProduct, "other");
    int changes = std::abs(wantSensors - listedSensors) + std::abs(wantOthers - listedOthers);
    listedSensors = wantSensors;
    listedOthers = wantOthers;
    usb_device* prev = nullptr;
    bus.devices = nullptr;
    auto link = [&](usb_device& d) {
      d.prev = prev;
      d.next = nullptr;
      if (prev)
        prev->next = &d;
      else
        bus.devices = &d;
      d.devnum = static_cast<std::uint8_t>(prev ? prev->devnum + 1 : 1);
      prev = &d;
    };
    // Sensors and other devices interleave, so a caller must filter by id.
    for (int i = 0; i < std::max(listedSensors, listedOthers); ++i) {
      if (i < listedOthers) link(others[i]);
      if (i < listedSensors) link(sensors[i]);
    }
    return changes;
  }

  usb_dev_handle* find(usb_dev_handle* h) {
    for (const auto& p : handles)
      if (p.get() == h) return p.get();
    return nullptr;
  }
};

Bus& theBus() {
  static Bus b;
  return b;
}

// A handle that is not ours, or whose device left the bus, fails.
int checkHandle(Bus& b, usb_dev_handle* h, usb_dev_handle*& out) {
  out = b.find(h);
  if (!out) return fail(kEInval, "invalid device handle");
  if (!b.listed(out->device)) return fail(kENoDev, "no such device");
  return 0;
}

}  // namespace

PEL_USB0_API void __cdecl usb_init(void) {
  Bus& b = theBus();
  std::lock_guard g(b.lock);
  if (b.controlled) return;
  const char* env = std::getenv("PELMORA_USB0_DEVICES");
  if (!env) return;
  char* end = nullptr;
  long n = std::strtol(env, &end, 10);
  if (end != env && *end == '\0' && n >= 0 && n <= 127) b.wantSensors = static_cast<int>(n);
}

PEL_USB0_API void __cdecl usb_set_debug(int) {}

PEL_USB0_API int __cdecl usb_find_busses(void) {
  Bus& b = theBus();
  std::lock_guard g(b.lock);
  if (b.bussesFound) return 0;
  b.bussesFound = true;
  std::snprintf(b.bus.dirname, sizeof b.bus.dirname, "bus-0");
  b.bus.location = 1;
  return 1;
}

PEL_USB0_API int __cdecl usb_find_devices(void) {
  Bus& b = theBus();
  std::lock_guard g(b.lock);
  if (!b.bussesFound) return 0;
  return b.relink();
}

PEL_USB0_API usb_bus* __cdecl usb_get_busses(void) {
  Bus& b = theBus();
  std::lock_guard g(b.lock);
  return b.bussesFound ? &b.bus : nullptr;
}

PEL_USB0_API usb_dev_handle* __cdecl usb_open(usb_device* dev) {
  Bus& b = theBus();
  std::lock_guard g(b.lock);
  if (!dev || !b.known(dev)) {
    fail(kEInval, "invalid device");
    return nullptr;
  }
  if (!b.listed(dev)) {
    fail(kENoDev, "no such device");
    return nullptr;
  }
  auto h = std::make_unique<usb_dev_handle>();
  h->device = dev;
  usb_dev_handle* raw = h.get();
  b.handles.insert(std::move(h));
  return raw;
}

PEL_USB0_API int __cdecl usb_set_configuration(usb_dev_handle* dev, int configuration) {
  Bus& b = theBus();
  std::lock_guard g(b.lock);
  usb_dev_handle* h = nullptr;
  if (int r = checkHandle(b, dev, h)) return r;
  if (configuration != 1) return fail(kEInval, "no such configuration");
  h->configured = true;
  return 0;
}

PEL_USB0_API int __cdecl usb_claim_interface(usb_dev_handle* dev, int interface) {
  Bus& b = theBus();
  std::lock_guard g(b.lock);
  usb_dev_handle* h = nullptr;
  if (int r = checkHandle(b, dev, h)) return r;
  if (interface != 0) return fail(kEInval, "no such interface");
  if (!h->configured) return fail(kEInval, "device not configured");
  for (const auto& other : b.handles)
    if (other.get() != h && other->device == h->device && other->claimed)
      return fail(kEBusy, "interface claimed by another handle");
  h->claimed = true;
  return 0;
}

PEL_USB0_API int __cdecl usb_release_interface(usb_dev_handle* dev, int interface) {
  Bus& b = theBus();
  std::lock_guard g(b.lock);
  usb_dev_handle* h = b.find(dev);
  if (!h) return fail(kEInval, "invalid device handle");
  if (interface != 0 || !h->claimed) return fail(kEInval, "interface not claimed");
  h->claimed = false;
  return 0;
}

PEL_USB0_API int __cdecl usb_bulk_write(usb_dev_handle* dev, int ep, char* bytes, int size,
                                        int) {
  Bus& b = theBus();
  std::lock_guard g(b.lock);
  usb_dev_handle* h = nullptr;
  if (int r = checkHandle(b, dev, h)) return r;
  if (!h->claimed) return fail(kEInval, "interface not claimed");
  if (ep != kEndpointOut) return fail(kEInval, "no such endpoint");
  if (!bytes || size < 0) return fail(kEInval, "invalid buffer");
  // No simulated sensor yet: the packet is taken and dropped.
  return size;
}

PEL_USB0_API int __cdecl usb_bulk_read(usb_dev_handle* dev, int ep, char* bytes, int size,
                                       int) {
  Bus& b = theBus();
  std::lock_guard g(b.lock);
  usb_dev_handle* h = nullptr;
  if (int r = checkHandle(b, dev, h)) return r;
  if (!h->claimed) return fail(kEInval, "interface not claimed");
  if (ep != kEndpointIn) return fail(kEInval, "no such endpoint");
  if (!bytes || size < 0) return fail(kEInval, "invalid buffer");
  // Nothing to answer: time out at once rather than after the time-out, so
  // a caller that reads until silence does not stall.
  return fail(kETimedOut, "timeout");
}

PEL_USB0_API int __cdecl usb_close(usb_dev_handle* dev) {
  Bus& b = theBus();
  std::lock_guard g(b.lock);
  for (auto it = b.handles.begin(); it != b.handles.end(); ++it) {
    if (it->get() == dev) {
      b.handles.erase(it);
      return 0;
    }
  }
  return fail(kEInval, "invalid device handle");
}

PEL_USB0_API char* __cdecl usb_strerror(void) { return lastError.data(); }

PEL_USB0_API void __cdecl usbsim_set_devices(int sensors, int others) {
  Bus& b = theBus();
  std::lock_guard g(b.lock);
  b.controlled = true;
  b.wantSensors = std::clamp(sensors, 0, 127);
  b.wantOthers = std::clamp(others, 0, 127);
}
