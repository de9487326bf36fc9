// The set-up rules' sensor catalogue answered from the registry logic.
#include <gtest/gtest.h>

#include "FakeSettings.h"
#include "devicelink/sensors/SetupCatalog.h"

namespace {
using namespace pel::sensors;
using pel::sensors::testing::FakeSettings;
using pel::sensors::testing::kMessage;
using pel::sensors::testing::kResolution;
using pel::sensors::testing::kRoot;

TEST(SetupCatalog, DescribesInTheCurrentLanguageWithDefaults) {
  FakeSettings s;
  s.set(kMessage + "\\1033\\SensorInfo", "Name12", "Light");
  s.set(kMessage + "\\1033\\SensorInfo", "Unit12", "lx");
  s.set(kMessage + "\\1042\\SensorInfo", "Name12", "Kwang");
  s.set(kResolution, "Resolution12_1", "0.5");
  s.set(kResolution, "Resolution12_2", "bad");
  const SensorRegistry reg(s);
  int language = 1033;
  const SetupCatalog catalog(reg, language);
  auto info = catalog.Describe(12);
  EXPECT_EQ(info.name, "Light");
  EXPECT_EQ(info.unit, "lx");
  EXPECT_EQ(info.resolution, (std::array<double, 3>{0.5, 0.001, 0.001}));
  language = 1042;
  EXPECT_EQ(catalog.Describe(12).name, "Kwang");
  EXPECT_EQ(catalog.Describe(99).resolution, (std::array<double, 3>{0.001, 0.001, 0.001}));
}

TEST(SetupCatalog, ClassKeysAndClassLists) {
  FakeSettings s;
  s.set(kRoot + "\\SensorMultiRange", "Sensor12", "2");
  s.set(kRoot + "\\SensorMultiRange", "Sensor13", "many");
  s.set(kRoot + "\\SensorCalibration", "Sensor12", "0");
  s.set(kMessage, "AnalogModule", "3,x,21");
  const SensorRegistry reg(s);
  const int language = 1033;
  const SetupCatalog catalog(reg, language);
  EXPECT_TRUE(catalog.InClass(pel::setup::kClassMultiRange, 12));
  EXPECT_FALSE(catalog.InClass(pel::setup::kClassMultiRange, 13));
  EXPECT_FALSE(catalog.InClass(pel::setup::kClassMultiRange, 14));
  EXPECT_FALSE(catalog.InClass(pel::setup::kClassCalibration, 12));
  EXPECT_TRUE(catalog.InClass(pel::setup::kClassAnalogModule, 21));
  EXPECT_FALSE(catalog.InClass(pel::setup::kClassAnalogModule, 12));
}

}  // namespace
