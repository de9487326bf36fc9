#pragma once
// The device link over the shipped USB paths with simulated sensors: this
// program sits in bin/usbsim beside a Vantiro.dll whose driver is simulated
// and a copy of the stand-in libusb0.dll. The rig chooses the sensors on the
// path the link takes (libusb under Wow64, else Vantiro), reads what each
// sensor received, writes a small sensor tree to the registry and pumps the
// host's loop while a run goes.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "devicelink/Pelmora.h"
#include "platform/Registry.h"
#include "platform/libusb0.h"
#include "tests/devicelink/HostLoop.h"

namespace usbsim {

inline constexpr bool kWow64 = sizeof(void*) == 4;  // the tests run on a 64-bit system
inline const std::string kSlotKey = "Software\\Pelmora\\USBSensor\\Enum";
inline const std::string kPelmora = "Software\\VB and VBA Program Settings\\Pelmora";

using SetSensorsFn = int(__cdecl*)(const char*);
using LogFn = int(__cdecl*)(int, char*, int);
using HandlesFn = int(__cdecl*)();

struct VantiroSim {
  SetSensorsFn set = nullptr;
  LogFn log = nullptr;
  HandlesFn handles = nullptr;
  VantiroSim() {
    HMODULE m = GetModuleHandleA("Vantiro.dll");
    if (!m) return;
    set = reinterpret_cast<SetSensorsFn>(reinterpret_cast<void*>(GetProcAddress(m, "usbsim_vantiro_set_sensors")));
    log = reinterpret_cast<LogFn>(reinterpret_cast<void*>(GetProcAddress(m, "usbsim_vantiro_log")));
    handles = reinterpret_cast<HandlesFn>(reinterpret_cast<void*>(GetProcAddress(m, "usbsim_vantiro_open_handles")));
  }
  bool Ready() const { return set && log && handles; }
};

inline std::vector<std::string> Lines(LogFn fn, int sensor) {
  std::vector<char> buf(static_cast<std::size_t>(std::max(fn(sensor, nullptr, 0), 0)) + 1);
  fn(sensor, buf.data(), static_cast<int>(buf.size()));
  std::vector<std::string> out;
  std::istringstream in(std::string(buf.data()));
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

class UsbSimTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(vantiro.Ready()) << "this program must load the simulated Vantiro.dll";
    Clean();
    Put(kPelmora + "\\Message", "LCID", "1033");
    Put(kPelmora + "\\Message\\1033", "Language", "English");
    const std::string info = kPelmora + "\\Message\\1033\\SensorInfo";
    Put(info, "Name21", "Force");
    Put(info, "Unit21", "N");
    Put(info, "Name22", "Pressure");
    Put(info, "Unit22", "kPa");
    Put(info, "Name23", "Light");
    Put(info, "Unit23", "lx");
    Put(kPelmora + "\\SensorResolution", "Resolution21_1", "0.01");
    Put(kPelmora + "\\SensorResolution", "Resolution21_2", "0.1");
    Put(kPelmora + "\\SensorResolution", "Resolution22_1", "0.05");
    Put(kPelmora + "\\SensorMultiRange", "Sensor21", "1");
    Put(kPelmora + "\\SensorCalibration", "Sensor21", "1");
  }
  void TearDown() override {
    if (p) p->CloseComm();
    p.reset();
    Choose("0");
    Clean();
  }
  static void Put(const std::string& key, const std::string& name, const std::string& value) {
    ASSERT_TRUE(pel::reg::writeString(pel::reg::Root::CurrentUser, key, name, value)) << key << '|' << name;
  }
  static void Clean() {
    pel::reg::deleteTree(pel::reg::Root::CurrentUser, kSlotKey);
    for (const char* sub : {"Message", "SensorResolution", "SensorMultiRange", "SensorCalibration"})
      pel::reg::deleteTree(pel::reg::Root::CurrentUser, kPelmora + "\\" + sub);
  }
  static std::string Slot(int i) {
    return pel::reg::readString(pel::reg::Root::CurrentUser, kSlotKey, std::to_string(i));
  }

  // The sensors on the path the link takes; none on the other.
  void Choose(const char* profile) {
    ASSERT_GE(kWow64 ? usbsim_set_sensors(profile) : vantiro.set(profile), 0) << profile;
    ASSERT_GE(kWow64 ? vantiro.set("0") : usbsim_set_sensors("0"), 0);
  }
  std::vector<std::string> Log(int sensor) const {
    return State().useLibUsb ? Lines(usbsim_sensor_log, sensor) : Lines(vantiro.log, sensor);
  }
  // What sensor n received from index `from` on.
  std::vector<std::string> LogFrom(int sensor, std::size_t from) const {
    auto all = Log(sensor);
    return {all.begin() + static_cast<long>(std::min(from, all.size())), all.end()};
  }
  int OpenHandles() const { return State().useLibUsb ? usbsim_open_handles() : vantiro.handles(); }
  static pel::link::LinkProcessState& State() { return TPelmora::State(); }

  void Connect() {
    p = TPelmora::Create(nullptr, LinkFlavour::Studio(), TPelmora::DefaultEnvironment());
    p->PelmoraError([this](TPelmora&, int n) { errors.push_back(n); });
    p->AutoDetect(false);
    p->UseOnlyUSBSensor(true);
    ASSERT_EQ(p->InitializeComm(), 0);
    ASSERT_EQ(p->PelmoraType(), "USB");
  }

  // Runs the host's loop (the link's timer poll) until done or 30 s.
  template <class F>
  bool PumpUntil(F done) {
    return hostloop::PumpUntil(done, std::chrono::seconds(30));
  }

  // Records as they arrive, from whichever thread raises them.
  struct Records {
    std::mutex m;
    std::vector<std::string> list;
    bool offMain = true;
    std::thread::id main = std::this_thread::get_id();
    void Take(const std::wstring& r) {
      std::lock_guard lock(m);
      offMain = offMain && std::this_thread::get_id() != main;
      list.emplace_back(r.begin(), r.end());
    }
    std::vector<std::string> Copy() {
      std::lock_guard lock(m);
      return list;
    }
  };

  VantiroSim vantiro;
  std::shared_ptr<TPelmora> p;
  std::vector<int> errors;
};

}  // namespace usbsim
