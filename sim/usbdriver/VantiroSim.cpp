// Vantiro.dll for the tests: the library's own exports, device table, driver
// classes and endpoints, with the simulated driver in place of the kernel
// driver and simulated sensors behind its bulk pipes. It sits in a folder of
// its own (bin/usbsim), beside the test programs that load it, so the
// shipped Vantiro.dll stays the one beside everything else.
//
// The sensors come from the environment variable PELMORA_VANTIRO_DEVICES
// (the forms of sim/usbsensor/SensorProfile.h), read at load, or from
// usbsim_vantiro_set_sensors.
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "sim/usbdriver/SensorPeer.h"
#include "sim/usbdriver/SimUsbDriver.h"
#include "sim/usbsensor/UsbSensor.h"
#include "usblib/VantiroTestHook.h"

namespace {

using pelsim::usbsensor::UsbSensor;

// Owned by the process; the lock guards the sensor list (the driver has its
// own).
struct Rig {
  std::mutex m;
  pelsim::SimUsbDriver driver;
  std::vector<int> devices;
  std::vector<std::shared_ptr<UsbSensor>> sensors;

  Rig() {
    vantiro::UseDriverForTesting(&driver);
    if (const char* env = std::getenv("PELMORA_VANTIRO_DEVICES"))
      if (auto profiles = pelsim::usbsensor::ParseSensorProfiles(env)) Choose(std::move(*profiles));
  }

  // The library's devices are closed while the driver still exists.
  ~Rig() { vantiro::UseDriverForTesting(nullptr); }

  void Choose(std::vector<pelsim::usbsensor::SensorProfile> profiles) {
    for (int d : devices) driver.Unplug(d);
    devices.clear();
    sensors.clear();
    for (auto& profile : profiles) {
      auto sensor = std::make_shared<UsbSensor>(std::move(profile));
      pelsim::SimDeviceProfile device;
      device.serial = std::u16string(sensor->Identifier().begin(), sensor->Identifier().end());
      device.peer = std::make_shared<pelsim::SensorPeer>(sensor);
      devices.push_back(driver.Plug(std::move(device)));
      sensors.push_back(std::move(sensor));
    }
  }
};

Rig& TheRig() {
  static Rig rig;
  return rig;
}

// Set up at load, before the host's first call.
const bool kReady = (TheRig(), true);

}  // namespace

extern "C" __declspec(dllexport) int __cdecl usbsim_vantiro_set_sensors(const char* profile) {
  auto profiles = pelsim::usbsensor::ParseSensorProfiles(profile ? profile : "");
  if (!profiles) return -1;
  Rig& r = TheRig();
  std::lock_guard lock(r.m);
  r.Choose(std::move(*profiles));
  return static_cast<int>(r.sensors.size());
}

// The packets sensor n received, one per line (see libusb0.h's usbsim_sensor_log).
extern "C" __declspec(dllexport) int __cdecl usbsim_vantiro_log(int sensor, char* out, int size) {
  Rig& r = TheRig();
  std::lock_guard lock(r.m);
  if (sensor < 0 || static_cast<std::size_t>(sensor) >= r.sensors.size()) return -1;
  const std::string text = r.sensors[static_cast<std::size_t>(sensor)]->LogText();
  if (out && size > 0) {
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
  }
  return static_cast<int>(text.size());
}

extern "C" __declspec(dllexport) int __cdecl usbsim_vantiro_open_handles() {
  (void)kReady;
  return TheRig().driver.OpenHandles();
}
