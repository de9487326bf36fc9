// The sensor settings read from the real (Wine) registry under the current
// user's key, at the key paths the workbook side writes. The fixture writes
// a small tree and removes it again.
#include <windows.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "devicelink/sensors/IdReply.h"
#include "devicelink/sensors/RegistrySource.h"
#include "devicelink/sensors/SensorChannels.h"
#include "devicelink/sensors/SensorRegistry.h"
#include "platform/Registry.h"

namespace {
using namespace pel::sensors;
using pel::reg::Root;

// Written out in full here, independent of the paths in the code.
const std::string kPelmora = "Software\\VB and VBA Program Settings\\Pelmora";
const std::string kOrvane = "Software\\VB and VBA Program Settings\\Orvane";
const std::string kMessage = kPelmora + "\\Message";
const std::string kMultiple = kOrvane + "\\MultipleSensor";

class SensorRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { clean(); }
  void TearDown() override { clean(); }

  static void clean() {
    for (const char* sub : {"Message", "SensorResolution", "SensorMultiRange", "SensorCalibration",
                            "SensorSignInvert"})
      pel::reg::deleteTree(Root::CurrentUser, kPelmora + "\\" + sub);
    pel::reg::deleteTree(Root::CurrentUser, kMultiple);
    for (const std::string& parent : {kPelmora, kOrvane})
      if (pel::reg::valueNames(Root::CurrentUser, parent).empty() &&
          pel::reg::subkeyNames(Root::CurrentUser, parent).empty())
        pel::reg::deleteTree(Root::CurrentUser, parent);
  }
  static void put(const std::string& key, const std::string& name, const std::string& value) {
    ASSERT_TRUE(pel::reg::writeString(Root::CurrentUser, key, name, value)) << key << '|' << name;
  }
  static std::string lang(int id) { return kMessage + "\\" + std::to_string(id); }

  RegistrySource source;
  SensorRegistry reg{source};
};

TEST_F(SensorRegistryTest, NoTreeAtAllGivesDefaults) {
  ASSERT_FALSE(pel::reg::keyExists(Root::CurrentUser, kMessage));
  EXPECT_EQ(reg.loadLanguageId(GetSystemDefaultLangID()), 1033);
  SensorChannels t;
  SignInvertFlags invert{};
  invert[0] = true;
  loadSensorInfo(reg, 1033, t, invert, {12, 0, 5, 0});
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(t.ch[i].name, "");
    EXPECT_EQ(t.ch[i].unit, "");
    EXPECT_EQ(t.ch[i].resolution, (std::array<double, 4>{0.001, 0.001, 0.001, 0.000001}));
    EXPECT_FALSE(invert[i]);
  }
  EXPECT_FALSE(reg.isMultiRange(12));
  EXPECT_FALSE(reg.isCalibratable(12));
  EXPECT_FALSE(reg.isPartOfSensor(12, "PhotoGateSensor"));
  EXPECT_EQ(reg.findMultipleSensor(40), 1);
  EXPECT_EQ(reg.sensorSubId(40), "");
}

TEST_F(SensorRegistryTest, LanguageFallbackTable) {
  // Message LCID non-zero, and its language has texts but no LCID of its own.
  put(kMessage, "LCID", "1042");
  put(lang(1042), "Language", "Korean");
  EXPECT_EQ(reg.loadLanguageId(1031), 1042);
  // The language key's LCID names the language to use.
  put(lang(1042), "LCID", "1041");
  EXPECT_EQ(reg.loadLanguageId(1031), 1041);
  // An empty Language gives 1033, whatever the start was.
  put(lang(1042), "Language", "");
  EXPECT_EQ(reg.loadLanguageId(1031), 1033);
  // LCID "0": the system default is the start.
  put(kMessage, "LCID", "0");
  put(lang(1031), "Language", "Deutsch");
  EXPECT_EQ(reg.loadLanguageId(1031), 1031);
  // Not a number: a clear error.
  put(kMessage, "LCID", "Korean");
  EXPECT_THROW(reg.loadLanguageId(1031), RegistryValueError);

  EXPECT_EQ(reg.setLanguageId(1033, 1031), 1031);
  EXPECT_EQ(reg.setLanguageId(1031, 1041), 1031) << "no key of 1041";
  EXPECT_EQ(reg.setLanguageId(1031, 1042), 1031) << "empty Language";
}

TEST_F(SensorRegistryTest, NamesUnitsAndResolutions) {
  const std::string info = lang(1033) + "\\SensorInfo";
  put(info, "Name12", "Light (0-600 lx)");
  put(info, "Unit12", "Light(lx)");
  put(info, "Name5", "Voltage");
  put(info, "Unit5", "Pressure(kPa");
  put(info, "Name-3", "Negative");
  const std::string longName(20000, 'n');
  put(info, "Name7", longName);
  const std::string res = kPelmora + "\\SensorResolution";
  put(res, "Resolution12_1", "0.5");
  put(res, "Resolution12_3", "1e-4");
  put(res, "Resolution5_2", "0.25");
  put(kPelmora + "\\SensorSignInvert", "Sensor12", "1");

  SensorChannels t;
  SignInvertFlags invert{};
  invert[0] = invert[1] = true;
  loadSensorInfo(reg, 1033, t, invert, {12, 5, -3, 7});
  EXPECT_EQ(t.ch[0].name, "Light (0-600 lx)");
  EXPECT_EQ(t.ch[0].resolution, (std::array<double, 4>{0.5, 0.001, 0.0001, 0.000001}));
  EXPECT_TRUE(invert[0]);
  EXPECT_EQ(t.ch[1].resolution, (std::array<double, 4>{0.001, 0.25, 0.001, 0.000001}));
  EXPECT_FALSE(invert[1]);
  EXPECT_EQ(t.ch[2].name, "Negative");
  EXPECT_EQ(t.ch[3].name, longName);

  EXPECT_EQ(reg.getSensorName(1033, 12, false), "Light ");
  EXPECT_EQ(reg.getSensorName(1033, 12, true), "Light (0-600 lx)");
  EXPECT_EQ(reg.getSensorUnit(1033, 12, false, false), "lx");
  EXPECT_EQ(reg.getSensorUnit(1033, 12, false, true), "Light");
  EXPECT_EQ(reg.getSensorUnit(1033, 5, false, false), "Pressure(kPa");
  EXPECT_EQ(reg.getSensorName(1042, 12, false), "") << "another language's key";

  put(res, "Resolution5_1", "0,5");
  EXPECT_THROW(loadSensorInfo(reg, 1033, t, invert, {12, 5, -3, 7}), RegistryValueError);
}

TEST_F(SensorRegistryTest, ClassListsAndClassKeys) {
  put(kMessage, "PhotoGateSensor", "3,12,a");
  put(kMessage, "AnalogModule", "3,,21, ");
  put(kMessage, "ForceSensor", "12,");
  put(kPelmora + "\\SensorMultiRange", "Sensor12", "2");
  put(kPelmora + "\\SensorCalibration", "Sensor12", "0");
  EXPECT_TRUE(reg.isPartOfSensor(12, "PhotoGateSensor"));
  EXPECT_FALSE(reg.isPartOfSensor(7, "PhotoGateSensor"));
  EXPECT_TRUE(reg.isPartOfSensor(21, "AnalogModule"));
  EXPECT_FALSE(reg.isPartOfSensor(0, "AnalogModule"));
  EXPECT_TRUE(reg.isMultiRange(12));
  EXPECT_FALSE(reg.isCalibratable(12));

  // The identification's class tests read the same lists and never fail on them.
  SensorChannels t;
  bool terminal = false;
  SignInvertFlags invert{};
  EXPECT_EQ(applyIdReply("{7,0,0,21}\r\n", false, 1, reg, t, terminal), 0);
  EXPECT_TRUE(t.ch[3].active);
  EXPECT_TRUE(reloadIfChanged(reg, 1033, t, invert));
  EXPECT_FALSE(t.ch[0].photogate);
  t.ch[0].sensorId = 12;
  EXPECT_TRUE(reloadIfChanged(reg, 1033, t, invert));
  EXPECT_TRUE(t.ch[0].photogate);
  EXPECT_TRUE(t.ch[0].forceSensor);
}

TEST_F(SensorRegistryTest, MultipleSensors) {
  put(kMultiple, "40", "31,32,33");
  put(kMultiple, "41", "31");
  EXPECT_EQ(reg.findMultipleSensor(40), 3);
  EXPECT_EQ(reg.sensorSubId(40), "31,32,33");
  EXPECT_EQ(reg.findMultipleSensor(41), 1);
  EXPECT_EQ(reg.sensorSubId(41), "");
  EXPECT_EQ(reg.findMultipleSensor(42), 1);
}

}  // namespace
