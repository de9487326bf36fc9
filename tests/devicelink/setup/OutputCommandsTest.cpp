#include "devicelink/setup/OutputCommands.h"

#include <gtest/gtest.h>

#include "tests/devicelink/setup/ByValue.h"
#include "tests/devicelink/setup/FakeSensors.h"

namespace pel::setup {
namespace {

using namespace test::byvalue;

using test::Idle;
using Commands = std::vector<std::string>;

struct ClampCase {
  PWMOption option;
  bool select;
  int freq;
  std::array<int, 3> pins;
  std::array<int, 3> pinsAfter;
  int freqAfter;
  bool selectAfter;
};

class ClampTable : public ::testing::TestWithParam<ClampCase> {};

TEST_P(ClampTable, ReplacesOutOfRangeValuesByTheDefault) {
  const auto& c = GetParam();
  const auto out = PWMOptionSetting(Idle(model::SornII), true, c.option, c.select, c.freq, c.pins[0], c.pins[1],
                                    c.pins[2]);
  EXPECT_EQ(out.error, 0);
  EXPECT_TRUE(out.commands.empty());
  EXPECT_TRUE(out.state.pwmOptionStored);
  EXPECT_EQ(out.state.aControlIndex, c.option);
  EXPECT_EQ(out.state.pinValue, c.pinsAfter);
  EXPECT_EQ(out.state.pwmFreqValue, c.freqAfter);
  EXPECT_EQ(out.state.pwmFreqSelect, c.selectAfter);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(PerWaveform, ClampTable, ::testing::Values(
  ClampCase{PWMOption::PWM, true, 2000, {120, 40, 99}, {50, 40, 99}, 500, true},
  ClampCase{PWMOption::PWM, false, -1, {-1, 0, 100}, {50, 0, 50}, 500, false},
  ClampCase{PWMOption::PWM, true, 1000, {1, 2, 3}, {1, 2, 3}, 1000, true},
  ClampCase{PWMOption::PWM, true, 0, {1, 2, 3}, {1, 2, 3}, 0, true},
  // Only PWM limits the frequency; the others keep it as given.
  ClampCase{PWMOption::DC_Valtage, true, 2000, {20, 50, 5000}, {500, 50, 5000}, 2000, false},
  ClampCase{PWMOption::DC_Valtage, false, 500, {49, 5001, 700}, {500, 500, 700}, 500, false},
  ClampCase{PWMOption::Sine_Wave, true, 500, {0, 1000, 1001}, {0, 1000, 500}, 500, false},
  ClampCase{PWMOption::Square_Wave, false, 500, {-1, 100, 200}, {500, 100, 200}, 500, false},
  ClampCase{PWMOption::Pyramidal_Wave, false, 500, {5000, 1, 2}, {500, 1, 2}, 500, false},
  ClampCase{PWMOption::Sawtooth_Wave_Ramp_Up, false, 500, {1, 1001, 2}, {1, 500, 2}, 500, false},
  ClampCase{PWMOption::Sawtooth_Wave_Ramp_Down, false, 500, {1, 2, -7}, {1, 2, 500}, 500, false}
));
// clang-format on

TEST(PWMOptionSetting, RefusesOnBusyLinkOrOtherModels) {
  SetupState s = Idle(model::SornII);
  s.runningMode = 1;
  EXPECT_EQ(PWMOptionSetting(s, true, PWMOption::PWM, false, 500, 1, 2, 3).error, error::LinkBusy);
  const auto aster = PWMOptionSetting(Idle(model::Aster), true, PWMOption::PWM, false, 500, 1, 2, 3);
  EXPECT_EQ(aster.error, error::LinkBusy);
  EXPECT_FALSE(aster.state.pwmOptionStored);
}

TEST(PWMOptionSetting, DigitalOrFastModeRefusesWith27AndDropsTheOutput) {
  SetupState s = Idle(model::SornII);
  s = PWMOptionSetting(s, true, PWMOption::Sine_Wave, false, 500, 1, 2, 3).state;
  ASSERT_TRUE(s.pwmOptionStored);
  s.chInputMode = CHInput::Digital;
  auto out = PWMOptionSetting(s, true, PWMOption::Square_Wave, false, 500, 7, 8, 9);
  EXPECT_EQ(out.error, error::OutputRefused);
  EXPECT_FALSE(out.state.pwmOptionStored);
  EXPECT_EQ(out.state.pinValue, (std::array<int, 3>{1, 2, 3}));
  EXPECT_EQ(DemoOutput(out.state, true).error, error::NoOutputStored);

  s.chInputMode = CHInput::Analog;
  s.fastSamplingMode = true;
  EXPECT_EQ(PWMOptionSetting(s, true, PWMOption::PWM, false, 500, 1, 2, 3).error, error::OutputRefused);
}

TEST(PWMOptionSetting, OffClearsTheStoredFlagOnly) {
  SetupState s = PWMOptionSetting(Idle(model::SornII), true, PWMOption::Sine_Wave, false, 500, 1, 2, 3).state;
  const auto out = PWMOptionSetting(s, false, PWMOption::PWM, true, 900, 9, 9, 9);
  EXPECT_EQ(out.error, 0);
  EXPECT_FALSE(out.state.pwmOptionStored);
  EXPECT_EQ(out.state.aControlIndex, PWMOption::Sine_Wave);
  EXPECT_EQ(out.state.pinValue, (std::array<int, 3>{1, 2, 3}));
}

SetupState WithOutput(PWMOption option, bool select, int freq, int p1, int p2, int p3) {
  auto out = PWMOptionSetting(Idle(model::SornII), true, option, select, freq, p1, p2, p3);
  EXPECT_EQ(out.error, 0);
  return out.state;
}

TEST(DemoOutput, SendsTheWaveformSequence) {
  const auto out = DemoOutput(WithOutput(PWMOption::Square_Wave, false, 500, 100, 200, 300), true);
  EXPECT_EQ(out.error, 0);
  EXPECT_EQ(out.commands, (Commands{"s{11,1}", "s{12,00.200}", "s{14,4, 100, 200, 300}", "s{10,1}"}));
  EXPECT_EQ(out.state.runningMode, 3);
  EXPECT_TRUE(out.state.run);
}

TEST(DemoOutput, SendsTheFrequencyWhenSelected) {
  const auto out = DemoOutput(WithOutput(PWMOption::PWM, true, 500, 10, 20, 30), true);
  EXPECT_EQ(out.commands, (Commands{"s{11,1}", "s{12,00.200}", "s{15, 500}", "s{10,1}"}));
  const auto wide = DemoOutput(WithOutput(PWMOption::DC_Valtage, false, 500, 5000, 50, 999), true);
  EXPECT_EQ(wide.commands[2], "s{14,2,5000,  50, 999}");
}

TEST(DemoOutput, StopsByInputMode) {
  SetupState running = DemoOutput(WithOutput(PWMOption::Sine_Wave, false, 500, 1, 2, 3), true).state;
  auto off = DemoOutput(running, false);
  EXPECT_EQ(off.error, 0);
  EXPECT_EQ(off.commands, (Commands{"s{10,0}"}));
  EXPECT_EQ(off.state.runningMode, 0);
  EXPECT_TRUE(off.state.run);  // cleared by the next stop of an experiment
  running.chInputMode = CHInput::Scope;
  EXPECT_EQ(DemoOutput(running, false).commands, (Commands{"s{88,0}"}));
}

TEST(DemoOutput, RefusalsAndBusyLink) {
  EXPECT_EQ(DemoOutput(Idle(model::SornII), true).error, error::NoOutputStored);
  EXPECT_EQ(DemoOutput(Idle(model::SornII), false).error, error::NoOutputStored);
  SetupState s = WithOutput(PWMOption::Sine_Wave, false, 500, 1, 2, 3);
  s.runningMode = 1;
  EXPECT_EQ(DemoOutput(s, true).error, error::LinkBusy);
  s.runningMode = 0;
  s.model = model::Qor;
  EXPECT_EQ(DemoOutput(s, true).error, error::LinkBusy);
}

// A demo refused by the re-check starts nothing; a demo that runs can always
// be stopped.
TEST(DemoOutput, RefusedDemoStartsNothingAndRunningDemoStops) {
  SetupState s = WithOutput(PWMOption::Sine_Wave, false, 500, 1, 2, 3);
  s.chInputMode = CHInput::Digital;
  auto refused = DemoOutput(s, true);
  EXPECT_EQ(refused.error, error::OutputRefused);
  EXPECT_TRUE(refused.commands.empty());
  EXPECT_EQ(refused.state.runningMode, 0);
  EXPECT_FALSE(refused.state.run);
  EXPECT_FALSE(refused.state.pwmOptionStored);

  SetupState running = DemoOutput(WithOutput(PWMOption::Sine_Wave, false, 500, 1, 2, 3), true).state;
  running.pwmOptionStored = false;
  auto off = DemoOutput(running, false);
  EXPECT_EQ(off.error, 0);
  EXPECT_EQ(off.commands, (Commands{"s{10,0}"}));
  EXPECT_EQ(off.state.runningMode, 0);

  // Turning a running demo on again re-sends it and keeps it running.
  running.pwmOptionStored = true;
  auto again = DemoOutput(running, true);
  EXPECT_EQ(again.error, 0);
  EXPECT_EQ(again.commands.size(), 4u);
  EXPECT_EQ(again.state.runningMode, 3);
}

TEST(OutputLine, SendsTheLineValue) {
  SetupState s = Idle(model::Qor);
  for (int v = 0; v <= 7; ++v) EXPECT_EQ(OutputLine(s, v).commands, (Commands{"s{50," + std::to_string(v) + "}"}));
  EXPECT_EQ(OutputLine(s, 9).commands, (Commands{"s{50,0}"}));
  EXPECT_EQ(OutputLine(s, -1).commands, (Commands{"s{50,0}"}));
  EXPECT_EQ(OutputLine(s, 100).commands, (Commands{"s{50,0}"}));
  s.runningMode = 1;  // allowed during a run
  EXPECT_EQ(OutputLine(s, 5).commands, (Commands{"s{50,5}"}));
  s.runningMode = -1;
  EXPECT_EQ(OutputLine(s, 5).error, error::LinkBusy);
  EXPECT_TRUE(OutputLine(s, 5).commands.empty());
  EXPECT_EQ(OutputLine(Idle(model::UsbSensors), 5).error, error::LinkBusy);
}

}  // namespace
}  // namespace pel::setup
