#include "devicelink/setup/ChannelAccessors.h"

#include <gtest/gtest.h>

#include "tests/devicelink/setup/ByValue.h"
#include "tests/devicelink/setup/FakeSensors.h"

namespace pel::setup {
namespace {

using namespace test::byvalue;

using test::FakeSensors;
using test::Idle;

TEST(ChannelAccessors, InactiveChannelsReadBlank) {
  SetupState s = Idle(model::Qor, 0b0011);
  for (auto& c : s.channels) {
    c.name = "N";
    c.unit = "U";
  }
  EXPECT_EQ(ChannelName(s, 0), "N");
  EXPECT_EQ(ChannelUnit(s, 1), "U");
  EXPECT_EQ(ChannelID(s, 1), 11);
  // A and B read empty names when inactive, C to H one blank.
  s.channels[1].active = false;
  EXPECT_EQ(ChannelName(s, 1), "");
  EXPECT_EQ(ChannelName(s, 2), " ");
  EXPECT_EQ(ChannelName(s, 7), " ");
  EXPECT_EQ(ChannelUnit(s, 2), "");
  EXPECT_EQ(ChannelID(s, 2), -1);
  EXPECT_EQ(ChannelID(s, 8), -1);
  EXPECT_EQ(ChannelName(s, -1), "");
}

TEST(ChannelAccessors, FlagsByTerminalBlockAndPortMode) {
  SetupState s = Idle(model::SornII, 0b0001'0001);  // A and E active
  EXPECT_TRUE(ChannelFlag(s, 0));
  // 4-port mode: E reads false although its flag is set.
  EXPECT_FALSE(ChannelFlag(s, 4));
  s.getModeFor8Port = true;
  EXPECT_TRUE(ChannelFlag(s, 4));
  s.channels[4].sensorId = 0;
  EXPECT_FALSE(ChannelFlag(s, 4));

  // Terminal block: a channel without sensor reads its selection.
  s.terminalBlockUse = true;
  s.channels[1].sensorId = 0;
  s.channels[1].terminalBlockSelection = true;
  EXPECT_TRUE(ChannelFlag(s, 1));
  EXPECT_TRUE(ChannelFlag(s, 0));  // A has a sensor: its active flag
}

TEST(ChannelAccessors, SettingChannelFlagsNeedsTerminalBlockAndIdle) {
  SetupState s = Idle(model::SornII, 0b0001);
  auto out = SetChannelFlag(s, 1, true);
  EXPECT_TRUE(out.refused);
  EXPECT_FALSE(out.reloadSensorInfo);
  EXPECT_FALSE(out.state.channels[1].active);

  s.terminalBlockUse = true;
  out = SetChannelFlag(s, 1, true);
  EXPECT_FALSE(out.refused);
  EXPECT_TRUE(out.reloadSensorInfo);
  EXPECT_TRUE(out.state.channels[1].active);
  EXPECT_TRUE(ChannelFlag(out.state, 1));

  s.runningMode = 1;
  EXPECT_TRUE(SetChannelFlag(s, 1, true).refused);
  s.runningMode = 0;
  EXPECT_TRUE(SetChannelFlag(s, 4, true).refused);  // E to H are read-only
}

TEST(ChannelAccessors, CHOutputByModel) {
  const struct {
    int model;
    bool stored;
  } cases[] = {{model::SornII, true},      {model::Aster, true},    {model::Vaxo, false},
               {model::UsbSensors, false}, {model::Qor, true},      {model::Tolemic, true},
               {model::Qor3, true},        {model::Unnamed, false}, {model::None, false}};
  for (const auto& c : cases) {
    const auto out = SetCHOutput(Idle(c.model), true);
    EXPECT_EQ(out.state.chOutput, c.stored) << c.model;
    EXPECT_EQ(out.refused, !c.stored) << c.model;
    EXPECT_EQ(out.error, 0);
  }
  SetupState running = Idle(model::SornII);
  running.runningMode = 3;
  EXPECT_FALSE(SetCHOutput(running, true).state.chOutput);
}

TEST(ChannelAccessors, PWMFrequencyNeedsAnAnalogModuleOnD) {
  FakeSensors sensors;
  SetupState s = Idle(model::SornII, 0b1000);  // D carries sensor 13
  EXPECT_TRUE(SetPWMFreqSelect(s, true, sensors).refused);
  sensors.Class(kClassAnalogModule, 13);
  // The value needs the selection as well.
  EXPECT_TRUE(SetPWMFreqValue(s, 1000, sensors).refused);
  s = SetPWMFreqSelect(s, true, sensors).state;
  EXPECT_TRUE(s.pwmFreqSelect);
  const auto out = SetPWMFreqValue(s, 1000, sensors);
  EXPECT_FALSE(out.refused);
  EXPECT_EQ(out.state.pwmFreqValue, 1000);
  EXPECT_TRUE(out.clearsErrorNumber);
  s.runningMode = 1;
  EXPECT_TRUE(SetPWMFreqValue(s, 700, sensors).refused);
  EXPECT_TRUE(SetPWMFreqSelect(s, false, sensors).refused);
}

TEST(ChannelAccessors, StroboSlitsHaveNoRangeCheck) {
  SetupState s = Idle(model::SornII);
  EXPECT_EQ(SetNoOfStroboSlit(s, -4).state.noOfStroboSlit, -4);
  EXPECT_TRUE(SetNoOfStroboSlit(s, 1).refused);
  s.runningMode = 1;
  EXPECT_TRUE(SetNoOfStroboSlit(s, 3).refused);
}

}  // namespace
}  // namespace pel::setup
