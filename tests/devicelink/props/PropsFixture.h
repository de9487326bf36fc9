#pragma once
// A component over the in-process fakes, idle on a chosen model, with a
// small sensor tree in the current user's registry (removed again after).
#include <gtest/gtest.h>

#include <charconv>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "../FakeLink.h"
#include "devicelink/Pelmora.h"
#include "platform/Registry.h"

namespace props_test {

inline const std::string kPelmora = "Software\\VB and VBA Program Settings\\Pelmora";
inline const std::string kMessage = kPelmora + "\\Message";
inline const std::string kSensorInfo = kMessage + "\\1033\\SensorInfo";
inline const std::string kResolution = kPelmora + "\\SensorResolution";

// Sensors of the tree: 21 a voltage sensor listed as an analog module, 30 a
// temperature sensor with a resolution of its own.
inline constexpr int kVoltage = 21;
inline constexpr int kTemperature = 30;

class PropsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Clean();
    Put(kMessage, "LCID", "1033");
    Put(kMessage + "\\1033", "Language", "English");
    Put(kMessage, "AnalogModule", "21, 22");
    Put(kSensorInfo, "Name21", "Voltage");
    Put(kSensorInfo, "Unit21", "V");
    Put(kSensorInfo, "Name30", "Temperature");
    Put(kSensorInfo, "Unit30", "C");
    Put(kResolution, "Resolution30_1", "0.01");
    Put(kResolution, "Resolution30_2", "0.02");
    Put(kResolution, "Resolution30_3", "0.05");
    p = TPelmora::Create(nullptr, LinkFlavour::Studio(), rig.Env());
    p->PelmoraError([this](TPelmora&, int n) { errors.push_back(n); });
  }
  void TearDown() override {
    p.reset();
    Clean();
  }
  static void Clean() {
    for (const char* sub : {"Message", "SensorResolution"})
      pel::reg::deleteTree(pel::reg::Root::CurrentUser, kPelmora + "\\" + sub);
    if (pel::reg::valueNames(pel::reg::Root::CurrentUser, kPelmora).empty() &&
        pel::reg::subkeyNames(pel::reg::Root::CurrentUser, kPelmora).empty())
      pel::reg::deleteTree(pel::reg::Root::CurrentUser, kPelmora);
  }
  static void Put(const std::string& key, const std::string& name, const std::string& value) {
    ASSERT_TRUE(pel::reg::writeString(pel::reg::Root::CurrentUser, key, name, value)) << key << '|' << name;
  }

  // The link open and idle on a model.
  void Idle(int model) {
    TPelmora::State().modelState = model;
    p->F_.RunningMode = 0;
  }
  // Channels (0 A .. 7 H) carrying sensors and active; the rest inactive.
  void Sensors(const std::vector<std::pair<int, int>>& channelAndId) {
    auto& s = TPelmora::State();
    for (int i = 0; i < 8; ++i) {
      s.sensors.ch[i].active = false;
      s.sensors.ch[i].sensorId = 0;
      s.sensors.ch[i].name.clear();
      s.sensors.ch[i].unit.clear();
      s.sensors.ch[i].resolution = {0.001, 0.001, 0.001, 0.000001};
    }
    for (auto [ch, id] : channelAndId) {
      s.sensors.ch[ch].active = true;
      s.sensors.ch[ch].sensorId = id;
      s.sensors.ch[ch].name = id == kVoltage ? "Voltage" : id == kTemperature ? "Temperature" : "";
      s.sensors.ch[ch].unit = id == kVoltage ? "V" : id == kTemperature ? "C" : "";
      s.sensors.ch[ch].resolution = id == kTemperature ? std::array<double, 4>{0.01, 0.02, 0.05, 0.000001}
                                            : std::array<double, 4>{0.001, 0.001, 0.001, 0.000001};
    }
  }
  // Channels carrying the voltage sensor and active; the rest inactive.
  void Active(std::initializer_list<int> channels) {
    std::vector<std::pair<int, int>> v;
    for (int c : channels) v.push_back({c, kVoltage});
    Sensors(v);
  }

  fake::Rig rig;
  std::shared_ptr<TPelmora> p;
  std::vector<int> errors;
};

}  // namespace props_test
