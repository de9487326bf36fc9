#include "devicelink/setup/SensorSetup.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/devicelink/setup/ByValue.h"
#include "tests/devicelink/setup/FakeSensors.h"

namespace pel::setup {
namespace {

using namespace test::byvalue;

using test::FakeSensors;
using test::Idle;
using Commands = std::vector<std::string>;

constexpr unsigned A = 1, B = 2, C = 4, D = 8;

class SensorSetupTest : public ::testing::Test {
 protected:
  FakeSensors sensors;
  int deviceCalls = 0;
  int devices = 1;
  std::function<int()> count = [this] {
    ++deviceCalls;
    return devices;
  };
  void SetUp() override {
    // Channel sensors are 10 + index; 11 (B) and 13 (D) are multi-range,
    // 12 (C) can be calibrated.
    sensors.Class(kClassMultiRange, 10).Class(kClassMultiRange, 11).Class(kClassMultiRange, 12);
    sensors.Class(kClassMultiRange, 13).Class(kClassCalibration, 12).Class(kClassCalibration, 5);
  }
  static SetupState ZeroMode(int m, unsigned active) {
    SetupState s = Idle(m, active);
    s.setZeroMode = true;
    return s;
  }
};

TEST_F(SensorSetupTest, RangeCommandCarriesThreeOrFourChannels) {
  SetupState s = Idle(model::Qor, A | B | C | D);
  s.channels[0].range = 0;
  s.channels[2].range = 2;
  s.channels[3].range = 1;
  auto out = SensorRangeSetting(s, sensors, 2, 1);
  EXPECT_EQ(out.error, 0);
  EXPECT_EQ(out.commands, (Commands{"s{21,1,2,3}"}));
  EXPECT_EQ(out.state.channels[1].range, 1);
  EXPECT_FALSE(out.usbPacket);

  for (int m : {model::Qor3, model::Tolemic}) {
    s.model = m;
    EXPECT_EQ(SensorRangeSetting(s, sensors, 2, 1).commands, (Commands{"s{21,1,2,3,2}"})) << m;
  }
  for (int m : {model::SornII, model::Aster, model::Vaxo}) {
    s.model = m;
    EXPECT_EQ(SensorRangeSetting(s, sensors, 1, 2).commands, (Commands{"s{21,3,1,3}"})) << m;
  }
}

TEST_F(SensorSetupTest, RangeErrors) {
  const struct {
    const char* what;
    int model;
    bool terminal;
    int ch;
    int range;
    int error;
  } cases[] = {
      {"terminal block on aster", model::Aster, true, 2, 1, error::TerminalOrZeroMode},
      {"terminal block on usb", model::UsbSensors, true, 2, 1, error::TerminalOrZeroMode},
      {"channel 0", model::Qor, false, 0, 1, error::BadChannel},
      {"channel 9", model::Qor, false, 9, 1, error::BadChannel},
      {"range 3 on a box", model::Qor, false, 2, 3, error::BadRange},
      {"negative range", model::Qor, false, 2, -1, error::BadRange},
      {"range 4 on usb", model::UsbSensors, false, 2, 4, error::BadRange},
      {"negative range on usb", model::UsbSensors, false, 2, -128, error::BadRange},
      {"inactive channel", model::Qor, false, 6, 1, error::BadChannel},
      {"inactive usb channel", model::UsbSensors, false, 6, 1, error::BadChannel},
      {"not multi-range", model::Qor, false, 5, 1, error::NotMultiRange},
      {"not multi-range usb", model::UsbSensors, false, 5, 1, error::NotMultiRange},
  };
  for (const auto& c : cases) {
    SetupState s = Idle(c.model, A | B | C | D | 0x10);  // E carries sensor 14, single range
    s.terminalBlockUse = c.terminal;
    const auto out = SensorRangeSetting(s, sensors, c.ch, c.range);
    EXPECT_EQ(out.error, c.error) << c.what;
    EXPECT_TRUE(out.commands.empty()) << c.what;
    EXPECT_FALSE(out.usbPacket) << c.what;
    for (int i = 0; i < kChannels; ++i) EXPECT_EQ(out.state.channels[i].range, 0) << c.what;
  }
}

TEST_F(SensorSetupTest, RangeOnSornWithTerminalBlockAndOnOtherModels) {
  SetupState s = Idle(model::SornII, A | B);
  s.terminalBlockUse = true;
  EXPECT_EQ(SensorRangeSetting(s, sensors, 1, 1).commands, (Commands{"s{21,2,1,1}"}));
  const auto unnamed = SensorRangeSetting(Idle(model::Unnamed, A), sensors, 1, 1);
  EXPECT_EQ(unnamed.error, 0);
  EXPECT_TRUE(unnamed.commands.empty());
  EXPECT_EQ(unnamed.state.channels[0].range, 0);
}

TEST_F(SensorSetupTest, RangeOnUsbSensorsGoesAsPacket) {
  const auto out = SensorRangeSetting(Idle(model::UsbSensors, A | B), sensors, 2, 2);
  EXPECT_EQ(out.error, 0);
  EXPECT_TRUE(out.commands.empty());
  ASSERT_TRUE(out.usbPacket);
  EXPECT_EQ(out.usbPacket->channel, 1);
  EXPECT_EQ(out.usbPacket->data, "2");
  // Ordinal 3 (the range a calibrated sensor reports) goes out as "3".
  const auto three = SensorRangeSetting(Idle(model::UsbSensors, A | B), sensors, 2, 3);
  EXPECT_EQ(three.error, 0);
  ASSERT_TRUE(three.usbPacket);
  EXPECT_EQ(three.usbPacket->data, "3");
  EXPECT_EQ(three.state.channels[1].range, 3);
  EXPECT_EQ(out.state.channels[1].range, 2);
}

TEST_F(SensorSetupTest, ZeroSettingOnBoxInterfaces) {
  auto out = SensorZeroSetting(ZeroMode(model::Vaxo, C), sensors, 3, true, count, {});
  EXPECT_EQ(out.error, 0);
  EXPECT_EQ(out.commands, (Commands{"s{22,3,1}"}));
  out = SensorZeroSetting(ZeroMode(model::Vaxo, C), sensors, 3, false, count, {});
  EXPECT_EQ(out.commands, (Commands{"s{22,3,0}"}));
  EXPECT_FALSE(out.calibration);
  EXPECT_EQ(deviceCalls, 0);

  // Sensor without calibration: nothing sent, no error.
  out = SensorZeroSetting(ZeroMode(model::Vaxo, A | C), sensors, 1, true, count, {});
  EXPECT_EQ(out.error, 0);
  EXPECT_TRUE(out.commands.empty());
}

TEST_F(SensorSetupTest, ZeroSettingErrors) {
  const struct {
    const char* what;
    int model;
    bool terminal;
    bool zeroMode;
    int ch;
    int error;
  } cases[] = {
      {"terminal block", model::Qor, true, true, 3, error::TerminalOrZeroMode},
      {"zero mode off", model::Qor, false, false, 3, error::TerminalOrZeroMode},
      {"zero mode off usb", model::UsbSensors, false, false, 3, error::TerminalOrZeroMode},
      {"channel 0", model::Qor, false, true, 0, error::BadChannel},
      {"channel 9", model::UsbSensors, false, true, 9, error::BadChannel},
      {"inactive", model::Qor, false, true, 2, error::ZeroInactiveChannel},
      {"inactive usb", model::UsbSensors, false, true, 2, error::ZeroInactiveChannel},
  };
  for (const auto& c : cases) {
    SetupState s = Idle(c.model, C);
    s.terminalBlockUse = c.terminal;
    s.setZeroMode = c.zeroMode;
    const auto out = SensorZeroSetting(s, sensors, c.ch, true, count, {});
    EXPECT_EQ(out.error, c.error) << c.what;
    EXPECT_TRUE(out.commands.empty()) << c.what;
    EXPECT_FALSE(out.calibration) << c.what;
  }
  EXPECT_EQ(deviceCalls, 0);
}

TEST_F(SensorSetupTest, UsbZeroSettingComputesTheCalibration) {
  const std::vector<CalibrationPoint> points{{1, 3}, {3, 7}};
  auto out = SensorZeroSetting(ZeroMode(model::UsbSensors, C), sensors, 3, true, count, points);
  EXPECT_EQ(out.error, 0);
  EXPECT_TRUE(out.commands.empty());
  ASSERT_TRUE(out.calibration);
  EXPECT_TRUE(out.calibration->on);
  EXPECT_EQ(out.calibration->channel, 2);
  EXPECT_DOUBLE_EQ(out.calibration->coefficients.linear, 2.0);
  EXPECT_DOUBLE_EQ(out.calibration->coefficients.constant, 1.0);
  EXPECT_FALSE(out.calibration->twoSegment);
  EXPECT_EQ(deviceCalls, 1);

  // No device present, or a sensor without calibration: nothing.
  devices = 0;
  EXPECT_FALSE(SensorZeroSetting(ZeroMode(model::UsbSensors, C), sensors, 3, true, count, points).calibration);
  devices = 1;
  EXPECT_FALSE(SensorZeroSetting(ZeroMode(model::UsbSensors, A | C), sensors, 1, true, count, points).calibration);
}

TEST_F(SensorSetupTest, UsbZeroSettingResets) {
  SetupState s = ZeroMode(model::UsbSensors, C);
  s.channels[2].range = 3;  // reported by the sensor after a calibration
  auto out = SensorZeroSetting(s, sensors, 3, true, count, {});  // no point: a reset
  ASSERT_TRUE(out.calibration);
  EXPECT_FALSE(out.calibration->on);
  EXPECT_EQ(out.calibration->channel, 2);
  EXPECT_FALSE(out.calibration->twoSegment);
  EXPECT_EQ(out.state.channels[2].range, 0);

  // Sensor 5 (single range): the reset covers both segments, range back to Full_Range.
  s.channels[2].sensorId = 5;
  s.channels[2].range = 2;
  out = SensorZeroSetting(s, sensors, 3, false, count, std::vector<CalibrationPoint>{{1, 2}});
  ASSERT_TRUE(out.calibration);
  EXPECT_FALSE(out.calibration->on);
  EXPECT_TRUE(out.calibration->twoSegment);
  EXPECT_EQ(out.state.channels[2].range, 0);

  // Multi-range sensor within 0 to 2 keeps its range.
  s.channels[2].sensorId = 12;
  s.channels[2].range = 2;
  EXPECT_EQ(SensorZeroSetting(s, sensors, 3, false, count, {}).state.channels[2].range, 2);
}

TEST_F(SensorSetupTest, UsbZeroSettingWithBrokenLineForSensor5) {
  SetupState s = ZeroMode(model::UsbSensors, C);
  s.channels[2].sensorId = 5;
  const std::vector<CalibrationPoint> points{{3.9, 4.01}, {9.6, 9.2}};
  const auto out = SensorZeroSetting(s, sensors, 3, true, count, points);
  ASSERT_TRUE(out.calibration);
  EXPECT_TRUE(out.calibration->on);
  EXPECT_TRUE(out.calibration->twoSegment);
  EXPECT_DOUBLE_EQ(out.calibration->segmentBreak, 7.0);
  EXPECT_NEAR(out.calibration->coefficients.linear, (7 - 4.01) / (7 - 3.9), 1e-12);
  EXPECT_NEAR(out.calibration->second.linear, (9.2 - 7) / (9.6 - 7), 1e-12);
}

// Points without finite coefficients fail the call; nothing is handed over.
TEST_F(SensorSetupTest, UnsolvableCalibrationIsRefused) {
  const std::vector<CalibrationPoint> sameReading{{2, 3}, {2, 5}};
  auto out = SensorZeroSetting(ZeroMode(model::UsbSensors, C), sensors, 3, true, count, sameReading);
  EXPECT_EQ(out.error, error::CalibrationUnsolvable);
  EXPECT_FALSE(out.calibration);

  SetupState s = ZeroMode(model::UsbSensors, C);
  s.channels[2].sensorId = 5;
  const std::vector<CalibrationPoint> sharedBreak{{7, 4.2}};  // same reading as the middle level
  out = SensorZeroSetting(s, sensors, 3, true, count, sharedBreak);
  EXPECT_EQ(out.error, error::CalibrationUnsolvable);
  EXPECT_FALSE(out.calibration);

  const std::vector<CalibrationPoint> hugeBreak{{1e16, 7.0}};  // a break no packet carries
  out = SensorZeroSetting(s, sensors, 3, true, count, hugeBreak);
  EXPECT_EQ(out.error, error::CalibrationUnsolvable);
  EXPECT_FALSE(out.calibration);
}

TEST_F(SensorSetupTest, SetCalibratDataCollectsPoints) {
  SetupState usb = ZeroMode(model::UsbSensors, C);
  auto out = SetCalibratData(usb, sensors, 3, 2.5, 2.0, 0);
  EXPECT_TRUE(out.accepted);
  EXPECT_EQ(out.action, PointAction::Append);
  EXPECT_DOUBLE_EQ(out.point.reading, 2.0);
  EXPECT_DOUBLE_EQ(out.point.reference, 2.5);
  EXPECT_TRUE(out.clearNewReading);

  // A sixth point is dropped silently.
  out = SetCalibratData(usb, sensors, 3, 2.5, 2.0, kMaxCalibrationPoints);
  EXPECT_TRUE(out.accepted);
  EXPECT_EQ(out.action, PointAction::None);

  // Tolemic accepts but stores nothing.
  out = SetCalibratData(ZeroMode(model::Tolemic, C), sensors, 3, 1, 1, 0);
  EXPECT_TRUE(out.accepted);
  EXPECT_EQ(out.action, PointAction::None);

  // A sensor without calibration clears the points.
  out = SetCalibratData(ZeroMode(model::UsbSensors, A), sensors, 1, 1, 1, 3);
  EXPECT_FALSE(out.accepted);
  EXPECT_EQ(out.action, PointAction::Clear);
  EXPECT_TRUE(out.clearNewReading);
  EXPECT_EQ(out.error, 0);
}

TEST_F(SensorSetupTest, SetCalibratDataRefusals) {
  for (int ch : {0, 9, -1}) {
    const auto out = SetCalibratData(ZeroMode(model::UsbSensors, C), sensors, ch, 1, 1, 0);
    EXPECT_FALSE(out.accepted);
    EXPECT_EQ(out.error, error::BadChannel);
    EXPECT_EQ(out.action, PointAction::None);
  }
  const auto off = SetCalibratData(Idle(model::UsbSensors, C), sensors, 3, 1, 1, 0);
  EXPECT_FALSE(off.accepted);
  EXPECT_EQ(off.error, 0);
  EXPECT_FALSE(off.clearNewReading);
  EXPECT_FALSE(SetCalibratData(ZeroMode(model::Qor, C), sensors, 3, 1, 1, 0).accepted);
}

TEST(SignInvert, ChannelsOneToEight) {
  SetupState s;
  SetSignInvert(s, 1, true);
  SetSignInvert(s, 8, true);
  SetSignInvert(s, 9, true);
  SetSignInvert(s, 0, true);
  EXPECT_TRUE(GetSignInvert(s, 1));
  EXPECT_TRUE(GetSignInvert(s, 8));
  EXPECT_FALSE(GetSignInvert(s, 2));
  EXPECT_FALSE(GetSignInvert(s, 0));
  EXPECT_FALSE(GetSignInvert(s, 9));
  int set = 0;
  for (const auto& c : s.channels) set += c.signInvert;
  EXPECT_EQ(set, 2);
  SetSignInvert(s, 1, false);
  EXPECT_FALSE(GetSignInvert(s, 1));
}

}  // namespace
}  // namespace pel::setup
