// The simulated bus behind the stand-in libusb0.dll. One bus; its devices are
// USB sensors (0x0547:0x1003) that answer packets (sim/usbsensor), and, for
// filtering tests, devices of another vendor. Device records live as long as
// the process, so a pointer a caller took from the bus list never dangles; a
// handle stays valid until usb_close and reports "no such device" once its
// device has left the bus.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/libusb0.h"
#include "sim/usbsensor/UsbSensor.h"

using pelsim::usbsensor::SensorProfile;
using pelsim::usbsensor::UsbSensor;

struct usb_dev_handle {
  usb_device* device = nullptr;
  std::shared_ptr<UsbSensor> sensor;  // none for a device of another vendor
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

// Owned by the process; every exported call takes the lock (never held while
// a read waits for a sensor's next reading).
struct Bus {
  std::mutex lock;
  bool controlled = false;  // a test chose the devices
  bool environmentRead = false;
  bool bussesFound = false;
  usb_bus bus{};
  std::deque<usb_device> sensors;  // stable addresses, grown on demand
  std::deque<usb_device> others;
  std::vector<std::shared_ptr<UsbSensor>> sims;  // behind sensors[i]
  std::vector<bool> linkedSensors;               // in the bus list now
  int wantOthers = 0;
  int listedOthers = 0;
  int lastTimeout = -1;  // of the last bulk transfer
  std::set<std::unique_ptr<usb_dev_handle>> handles;

  void grow(std::deque<usb_device>& pool, std::size_t n, std::uint16_t vendor, std::uint16_t product,
            const char* stem) {
    while (pool.size() < n) {
      usb_device& d = pool.emplace_back();
      std::memset(&d, 0, sizeof d);
      std::snprintf(d.filename, sizeof d.filename, "%s-%u", stem, static_cast<unsigned>(pool.size()));
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

  void choose(std::vector<SensorProfile> profiles, int othersWanted) {
    controlled = true;
    sims.clear();
    for (auto& profile : profiles) sims.push_back(std::make_shared<UsbSensor>(std::move(profile)));
    wantOthers = std::clamp(othersWanted, 0, 127);
  }

  int sensorIndex(const usb_device* d) const {
    for (std::size_t i = 0; i < sensors.size(); ++i)
      if (&sensors[i] == d) return static_cast<int>(i);
    return -1;
  }

  // Listed, and still there (a sensor may leave the bus by itself).
  bool listed(const usb_device* d) const {
    const int s = sensorIndex(d);
    if (s >= 0)
      return static_cast<std::size_t>(s) < linkedSensors.size() && linkedSensors[static_cast<std::size_t>(s)] &&
             sims[static_cast<std::size_t>(s)]->Present();
    for (int i = 0; i < listedOthers; ++i)
      if (&others[static_cast<std::size_t>(i)] == d) return true;
    return false;
  }

  bool known(const usb_device* d) const {
    if (sensorIndex(d) >= 0) return true;
    for (const usb_device& o : others)
      if (&o == d) return true;
    return false;
  }

  // Relinks the bus list to the chosen devices that are there; returns how
  // many appeared or went away.
  int relink() {
    grow(sensors, sims.size(), kSensorVendor, kSensorProduct, "sensor");
    grow(others, static_cast<std::size_t>(wantOthers), kOtherVendor, kOtherProduct, "other");
    int changes = std::abs(wantOthers - listedOthers);
    std::vector<bool> now(sims.size());
    for (std::size_t i = 0; i < sims.size(); ++i) {
      now[i] = sims[i]->Present();
      const bool was = i < linkedSensors.size() && linkedSensors[i];
      if (was != now[i]) ++changes;
    }
    for (std::size_t i = sims.size(); i < linkedSensors.size(); ++i)
      if (linkedSensors[i]) ++changes;
    linkedSensors = now;
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
    for (std::size_t i = 0; i < std::max(sims.size(), static_cast<std::size_t>(listedOthers)); ++i) {
      if (i < static_cast<std::size_t>(listedOthers)) link(others[i]);
      if (i < sims.size() && now[i]) link(sensors[i]);
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

int checkTransfer(Bus& b, usb_dev_handle* dev, int ep, int want, char* bytes, int size, usb_dev_handle*& h) {
  if (int r = checkHandle(b, dev, h)) return r;
  if (!h->claimed) return fail(kEInval, "interface not claimed");
  if (ep != want) return fail(kEInval, "no such endpoint");
  if (!bytes || size < 0) return fail(kEInval, "invalid buffer");
  return 0;
}

}  // namespace

PEL_USB0_API void __cdecl usb_init(void) {
  Bus& b = theBus();
  std::lock_guard g(b.lock);
  if (b.controlled || b.environmentRead) return;
  b.environmentRead = true;
  const char* env = std::getenv("PELMORA_USB0_DEVICES");
  if (!env) return;
  if (auto profiles = pelsim::usbsensor::ParseSensorProfiles(env)) {
    b.choose(std::move(*profiles), 0);
    b.controlled = false;  // a later test control still wins
  }
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
  if (int s = b.sensorIndex(dev); s >= 0) h->sensor = b.sims[static_cast<std::size_t>(s)];
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

PEL_USB0_API int __cdecl usb_bulk_write(usb_dev_handle* dev, int ep, char* bytes, int size, int timeout) {
  Bus& b = theBus();
  std::lock_guard g(b.lock);
  usb_dev_handle* h = nullptr;
  b.lastTimeout = timeout;
  if (int r = checkTransfer(b, dev, ep, kEndpointOut, bytes, size, h)) return r;
  if (h->sensor) h->sensor->Receive(std::string_view(bytes, static_cast<std::size_t>(size)));
  return size;
}

// One reply or reading per read. A sensor whose next reading is due within
// the time-out is waited for; with nothing coming the read times out at
// once, so a caller that reads until silence does not stall.
PEL_USB0_API int __cdecl usb_bulk_read(usb_dev_handle* dev, int ep, char* bytes, int size, int timeout) {
  Bus& b = theBus();
  std::unique_lock g(b.lock);
  b.lastTimeout = timeout;
  usb_dev_handle* h = nullptr;
  if (int r = checkTransfer(b, dev, ep, kEndpointIn, bytes, size, h)) return r;
  std::shared_ptr<UsbSensor> sensor = h->sensor;
  if (!sensor) return fail(kETimedOut, "timeout");
  auto packet = sensor->Send();
  if (!packet) {
    const auto due = sensor->NextDue();
    if (!due || *due * 1000.0 > timeout) return fail(kETimedOut, "timeout");
    g.unlock();
    std::this_thread::sleep_for(std::chrono::duration<double>(*due));
    g.lock();
    if (int r = checkTransfer(b, dev, ep, kEndpointIn, bytes, size, h)) return r;
    packet = sensor->Send();
    if (!packet) return fail(kETimedOut, "timeout");
  }
  const int n = std::min(size, static_cast<int>(packet->size()));
  std::memcpy(bytes, packet->data(), static_cast<std::size_t>(n));
  return n;
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
  auto profiles = pelsim::usbsensor::ParseSensorProfiles(std::to_string(std::clamp(sensors, 0, 127)));
  b.choose(profiles ? std::move(*profiles) : std::vector<SensorProfile>{}, others);
}

PEL_USB0_API int __cdecl usbsim_set_sensors(const char* profile) {
  Bus& b = theBus();
  std::lock_guard g(b.lock);
  auto profiles = pelsim::usbsensor::ParseSensorProfiles(profile ? profile : "");
  if (!profiles) return -1;
  b.choose(std::move(*profiles), 0);
  return static_cast<int>(b.sims.size());
}

PEL_USB0_API int __cdecl usbsim_sensor_log(int sensor, char* out, int size) {
  Bus& b = theBus();
  std::lock_guard g(b.lock);
  if (sensor < 0 || static_cast<std::size_t>(sensor) >= b.sims.size()) return -1;
  const std::string text = b.sims[static_cast<std::size_t>(sensor)]->LogText();
  if (out && size > 0) {
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
  }
  return static_cast<int>(text.size());
}

PEL_USB0_API int __cdecl usbsim_open_handles(void) {
  Bus& b = theBus();
  std::lock_guard g(b.lock);
  return static_cast<int>(b.handles.size());
}

PEL_USB0_API int __cdecl usbsim_last_timeout(void) {
  Bus& b = theBus();
  std::lock_guard g(b.lock);
  return b.lastTimeout;
}
