// Language choice, class values, multiple sensors and the channel loads over
// an in-memory registry.
#include <gtest/gtest.h>

#include "FakeSettings.h"
#include "devicelink/sensors/SensorChannels.h"
#include "devicelink/sensors/SensorRegistry.h"

namespace {
using namespace pel::sensors;
using pel::sensors::testing::FakeSettings;
using pel::sensors::testing::kMessage;
using pel::sensors::testing::kMultiple;
using pel::sensors::testing::kResolution;
using pel::sensors::testing::kRoot;

std::string lang(int id) { return kMessage + "\\" + std::to_string(id); }
std::string info(int id) { return lang(id) + "\\SensorInfo"; }

TEST(LanguageChoice, Table) {
  struct Case {
    const char* what;
    const char* messageLcid;  // nullptr: missing
    int languageKey;          // key given a "Language" value
    const char* language;
    const char* keyLcid;  // nullptr: missing
    int systemDefault;
    int want;
  } cases[] = {
      {"nothing stored", nullptr, 0, nullptr, nullptr, 1042, 1033},
      {"system default has texts", nullptr, 1042, "Korean", nullptr, 1042, 1042},
      {"Message LCID 0 means the default", "0", 1042, "Korean", nullptr, 1042, 1042},
      {"Message LCID starts", "1042", 1042, "Korean", nullptr, 1031, 1042},
      {"empty Language falls back", "1042", 1042, "", nullptr, 1031, 1033},
      {"empty Language beats its LCID", "1042", 1042, "", "1041", 1031, 1033},
      {"language LCID names the language", "1042", 1042, "Korean", "1041", 1031, 1041},
      {"empty language LCID keeps the start", "1042", 1042, "Korean", "", 1031, 1042},
      {"Message LCID without texts", "2052", 1042, "Korean", nullptr, 1042, 1033},
      {"blank Message LCID", "", 1042, "Korean", nullptr, 1042, 1042},
  };
  for (const auto& c : cases) {
    FakeSettings s;
    if (c.messageLcid) s.set(kMessage, "LCID", c.messageLcid);
    if (c.language) s.set(lang(c.languageKey), "Language", c.language);
    if (c.keyLcid) s.set(lang(c.languageKey), "LCID", c.keyLcid);
    EXPECT_EQ(SensorRegistry(s).loadLanguageId(c.systemDefault), c.want) << c.what;
  }
}

TEST(LanguageChoice, LcidThatIsNotANumberIsAClearError) {
  FakeSettings s;
  s.set(kMessage, "LCID", "en-US");
  try {
    SensorRegistry(s).loadLanguageId(1033);
    FAIL() << "no error";
  } catch (const RegistryValueError& e) {
    EXPECT_NE(std::string(e.what()).find("LCID"), std::string::npos);
    EXPECT_NE(std::string(e.what()).find("en-US"), std::string::npos);
  }
  FakeSettings t;
  t.set(lang(1042), "Language", "Korean");
  t.set(lang(1042), "LCID", "10 42");
  EXPECT_THROW(SensorRegistry(t).loadLanguageId(1042), RegistryValueError);
  EXPECT_THROW(SensorRegistry(t).setLanguageId(1033, 1042), RegistryValueError);
  // The message quotes only the start of a long value.
  t.set(kMessage, "LCID", std::string(5000, 'x'));
  try {
    SensorRegistry(t).loadLanguageId(1042);
  } catch (const RegistryValueError& e) {
    EXPECT_LT(std::string(e.what()).size(), 300u);
  }
}

TEST(LanguageChoice, LcidStoredAsANumber) {
  FakeSettings s;
  s.setNumber(kMessage, "LCID", 1042);
  s.set(lang(1042), "Language", "Korean");
  s.set(lang(1041), "Language", "Japanese");
  EXPECT_EQ(SensorRegistry(s).loadLanguageId(1031), 1042);
  s.setNumber(lang(1042), "LCID", 1041);
  EXPECT_EQ(SensorRegistry(s).loadLanguageId(1031), 1041);
  s.setNumber(kMessage, "LCID", 0);
  EXPECT_EQ(SensorRegistry(s).loadLanguageId(1042), 1041);
}

TEST(LanguageChoice, SetLanguageId) {
  FakeSettings s;
  s.set(lang(1042), "Language", "Korean");
  s.set(lang(1041), "Language", "");
  s.set(lang(2052), "Language", "Chinese");
  s.set(lang(2052), "LCID", "1028");
  const SensorRegistry reg(s);
  EXPECT_EQ(reg.setLanguageId(1033, 1042), 1042);
  EXPECT_EQ(reg.setLanguageId(1042, 1041), 1042) << "empty Language changes nothing";
  EXPECT_EQ(reg.setLanguageId(1042, 3082), 1042) << "no key changes nothing";
  EXPECT_EQ(reg.setLanguageId(1033, 2052), 1028);
}

TEST(SensorClasses, ClassValuesAndLists) {
  FakeSettings s;
  s.set(kRoot + "\\SensorMultiRange", "Sensor12", "3");
  s.set(kRoot + "\\SensorMultiRange", "Sensor13", "0");
  s.set(kRoot + "\\SensorCalibration", "Sensor12", "1");
  s.set(kRoot + "\\SensorCalibration", "Sensor14", "yes");
  s.set(kMessage, "PhotoGateSensor", " 3,12,a ");
  s.set(kMessage, "MyClass", "-4,,9,");
  const SensorRegistry reg(s);
  EXPECT_TRUE(reg.isMultiRange(12));
  EXPECT_FALSE(reg.isMultiRange(13));
  EXPECT_FALSE(reg.isMultiRange(99));
  EXPECT_TRUE(reg.isCalibratable(12));
  EXPECT_FALSE(reg.isCalibratable(13));
  EXPECT_THROW(reg.isCalibratable(14), RegistryValueError);
  EXPECT_TRUE(reg.isPartOfSensor(12, "PhotoGateSensor"));
  EXPECT_TRUE(reg.isPartOfSensor(3, "PhotoGateSensor"));
  EXPECT_FALSE(reg.isPartOfSensor(7, "PhotoGateSensor"));
  EXPECT_TRUE(reg.isPartOfSensor(-4, "MyClass"));
  EXPECT_TRUE(reg.isPartOfSensor(9, "MyClass"));
  EXPECT_FALSE(reg.isPartOfSensor(0, "MyClass"));
  EXPECT_FALSE(reg.isPartOfSensor(12, "ForceSensor"));
}

TEST(SensorClasses, MultipleSensors) {
  FakeSettings s;
  s.set(kMultiple, "40", "31,32,33");
  s.set(kMultiple, "41", "31");
  s.set(kMultiple, "-2", "5,6");
  const SensorRegistry reg(s);
  EXPECT_EQ(reg.findMultipleSensor(40), 3);
  EXPECT_EQ(reg.sensorSubId(40), "31,32,33");
  EXPECT_EQ(reg.findMultipleSensor(41), 1);
  EXPECT_EQ(reg.sensorSubId(41), "");
  EXPECT_EQ(reg.findMultipleSensor(42), 1);
  EXPECT_EQ(reg.sensorSubId(42), "");
  EXPECT_EQ(reg.findMultipleSensor(-2), 2);
}

// A small sensor set: 12 listed sign-invertible with resolutions, 5 not.
FakeSettings sensorSet() {
  FakeSettings s;
  s.set(info(1033), "Name12", "Light(0-600 lx)");
  s.set(info(1033), "Unit12", "Light(lx)");
  s.set(info(1033), "Name5", "Voltage");
  s.set(info(1033), "Unit5", "V");
  s.set(info(1033), "Name0", "none");
  s.set(info(1042), "Name12", "Kwang");
  s.set(kResolution, "Resolution12_1", "0.5");
  s.set(kResolution, "Resolution12_2", "0.05");
  s.set(kResolution, "Resolution12_3", "0.005");
  s.set(kResolution, "Resolution5_2", "0.01");
  s.set(kRoot + "\\SensorSignInvert", "Sensor12", "1");
  s.set(kRoot + "\\SensorSignInvert", "Sensor5", "0");
  return s;
}

TEST(SensorLoad, NamesUnitsResolutionsWithDefaults) {
  const FakeSettings s = sensorSet();
  const SensorRegistry reg(s);
  SensorChannels t;
  SignInvertFlags invert{};
  for (auto& c : t.ch) c.resolution = {9, 9, 9, 9};
  loadSensorInfo(reg, 1033, t, invert, {12, 5, 0, 77});
  EXPECT_EQ(t.ch[0].name, "Light(0-600 lx)");
  EXPECT_EQ(t.ch[0].unit, "Light(lx)");
  EXPECT_EQ(t.ch[0].resolution, (std::array<double, 4>{0.5, 0.05, 0.005, 0.000001}));
  EXPECT_EQ(t.ch[1].name, "Voltage");
  EXPECT_EQ(t.ch[1].resolution, (std::array<double, 4>{0.001, 0.01, 0.001, 0.000001}));
  EXPECT_EQ(t.ch[2].name, "none") << "ID 0 gets the texts stored for 0";
  EXPECT_EQ(t.ch[3].name, "");
  EXPECT_EQ(t.ch[3].unit, "");
  EXPECT_EQ(t.ch[3].resolution, (std::array<double, 4>{0.001, 0.001, 0.001, 0.000001}));
  EXPECT_EQ(t.ch[4].resolution[0], 9) << "E..H untouched";
  loadSensorInfo(reg, 1042, t, invert, {12, 5, 0, 77});
  EXPECT_EQ(t.ch[0].name, "Kwang");
  EXPECT_EQ(t.ch[1].name, "");

  t.ch[6].sensorId = 12;
  loadChannelSensorInfo(reg, 1033, t, invert, 6);
  EXPECT_EQ(t.ch[6].name, "Light(0-600 lx)");
  EXPECT_EQ(t.ch[6].resolution, (std::array<double, 4>{0.5, 0.05, 0.005, 0.000001}));
  loadChannelSensorInfo(reg, 1033, t, invert, 8);  // out of range: ignored
}

TEST(SensorLoad, OnlyListedSensorsKeepAnInvertedSign) {
  const FakeSettings s = sensorSet();
  const SensorRegistry reg(s);
  SensorChannels t;
  SignInvertFlags invert;
  invert.fill(true);
  t.ch[4].sensorId = 12;
  t.ch[5].sensorId = -12;
  loadSensorInfo(reg, 1033, t, invert, {12, 5, 0, 99});
  for (int i = 4; i < 8; ++i) loadChannelSensorInfo(reg, 1033, t, invert, i);
  EXPECT_EQ(invert, (SignInvertFlags{true, false, false, false, true, false, false, false}));
  // The load never sets the flag itself.
  invert[0] = false;
  loadSensorInfo(reg, 1033, t, invert, {12, 5, 0, 99});
  EXPECT_FALSE(invert[0]);
}

TEST(SensorLoad, ResolutionThatIsNotANumberStopsTheLoad) {
  FakeSettings s = sensorSet();
  s.set(kResolution, "Resolution5_2", "0,01");
  const SensorRegistry reg(s);
  SensorChannels t;
  SignInvertFlags invert{};
  t.ch[0].resolution[3] = 7;
  EXPECT_THROW(loadSensorInfo(reg, 1033, t, invert, {12, 5, 0, 0}), RegistryValueError);
  EXPECT_EQ(t.ch[3].name, "none") << "names and units come first";
  EXPECT_EQ(t.ch[0].resolution[1], 0.05) << "channel A was loaded";
  EXPECT_EQ(t.ch[1].resolution[0], 0.001);
  EXPECT_EQ(t.ch[0].resolution[3], 7) << "the load stopped before the USB ordinal";
}

TEST(SensorLoad, ReloadOnlyWhenAnIdChanged) {
  FakeSettings s = sensorSet();
  s.set(kMessage, "ForceSensor", "5");
  s.set(kMessage, "PhotoGateSensor", "12,x");
  const SensorRegistry reg(s);
  SensorChannels t;
  SignInvertFlags invert{};
  EXPECT_FALSE(reloadIfChanged(reg, 1033, t, invert)) << "no sensor anywhere: nothing to load";
  EXPECT_EQ(s.reads, 0);
  t.ch[0].sensorId = 12;
  t.ch[7].sensorId = 5;
  EXPECT_TRUE(reloadIfChanged(reg, 1033, t, invert));
  EXPECT_EQ(t.ch[0].name, "Light(0-600 lx)");
  EXPECT_EQ(t.ch[7].name, "Voltage");
  EXPECT_EQ(t.ch[7].resolution[1], 0.01);
  EXPECT_TRUE(t.ch[0].photogate);
  EXPECT_FALSE(t.ch[0].forceSensor);
  EXPECT_TRUE(t.ch[7].forceSensor);
  EXPECT_EQ(t.ch[7].lastLoadedId, 5);
  const int reads = s.reads;
  EXPECT_FALSE(reloadIfChanged(reg, 1033, t, invert));
  EXPECT_EQ(s.reads, reads) << "same IDs: the registry is not read";
  t.ch[7].sensorId = 0;
  EXPECT_TRUE(reloadIfChanged(reg, 1033, t, invert));
  EXPECT_FALSE(t.ch[7].forceSensor);
}

TEST(SensorList, ByModelModeAndTerminalBlock) {
  SensorChannels t;
  t.ch[0].sensorId = 12;
  t.ch[2].sensorId = 5;
  t.ch[5].sensorId = 8;
  EXPECT_EQ(sensorList(0, false, false, t), "12,-1,5,-1");
  EXPECT_EQ(sensorList(7, true, false, t), "12,-1,5,-1,-1,8,-1,-1");
  EXPECT_EQ(sensorList(-1, false, false, t), "");
  EXPECT_EQ(sensorList(9, false, false, t), "");
  EXPECT_EQ(sensorList(6, false, false, t), "");
  EXPECT_EQ(sensorList(3, false, false, t), "12,-1,5,-1");
  t.ch[0].terminalSelection = true;
  EXPECT_EQ(sensorList(0, false, true, t), "0,-1,-1,-1");
}

}  // namespace
