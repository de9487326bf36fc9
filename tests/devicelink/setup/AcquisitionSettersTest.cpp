#include "devicelink/setup/AcquisitionSetters.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <limits>
#include <string>

#include "tests/devicelink/setup/ByValue.h"
#include "tests/devicelink/setup/FakeSensors.h"

namespace pel::setup {
namespace {

using namespace test::byvalue;

using test::FakeSensors;
using test::Idle;

constexpr unsigned A = 1, B = 2, C = 4;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct SamplingCase {
  const char* what;
  int model;
  unsigned active;
  bool autoStop;
  int maxRecords;
  double length;
  int runningMode;
  double value;
  // expected
  double time;
  double lengthAfter;
  int noOfData;
  int loopCount;
  bool fast;
  int error;
  bool refused;
};

class SamplingTimeTable : public ::testing::TestWithParam<SamplingCase> {};

TEST_P(SamplingTimeTable, Applies) {
  const auto& c = GetParam();
  SetupState s = Idle(c.model, c.active);
  s.autoStop = c.autoStop;
  s.maxRecordCount = c.maxRecords;
  s.experimentLength = c.length;
  s.runningMode = c.runningMode;
  const auto out = SetSamplingTime(s, c.value);
  EXPECT_TRUE(out.clearsErrorNumber);
  EXPECT_DOUBLE_EQ(out.state.samplingTime, c.time);
  EXPECT_DOUBLE_EQ(out.state.experimentLength, c.lengthAfter);
  EXPECT_EQ(out.state.noOfData, c.noOfData);
  EXPECT_EQ(out.state.loopCount, c.loopCount);
  EXPECT_EQ(out.state.fastSamplingMode, c.fast);
  EXPECT_EQ(out.error, c.error);
  EXPECT_EQ(out.refused, c.refused);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(PerModel, SamplingTimeTable, ::testing::Values(
  SamplingCase{"sorn raised to 5 ms",  model::SornII,     A, false, 50000, 10, 0, 0.001, 0.005, 10, 2001, 2001, true, 0, false},
  SamplingCase{"sorn negative raised", model::SornII,     A, false, 50000, 10, 0, -1.0,  0.005, 10, 2001, 2001, true, 0, false},
  SamplingCase{"tolemic keeps 1 ms",   model::Tolemic,    A|B, false, 50000, 10, 0, 0.001, 0.001, 10, 10001, 10001, false, 0, false},
  SamplingCase{"qor3 keeps 1 us",      model::Qor3,       A, false, 50000, 10, 0, 0.000001, 0.000001, 10, 50001, 50001, false, 0, false},
  SamplingCase{"usb raised to 10 ms",  model::UsbSensors, A, false, 50000, 10, 0, 0.001, 0.01,  10, 1001, 1001, false, 0, false},
  SamplingCase{"unnamed keeps 1 ms",   model::Unnamed,    A, false, 50000, 10, 0, 0.001, 0.001, 10, 10001, 10001, false, 0, false},
  SamplingCase{"unnamed refuses 0",    model::Unnamed,    A, false, 50000, 10, 0, 0.0,   0.2,   10, 51, 0, false, 0, true},
  SamplingCase{"unnamed refuses -2",   model::Unnamed,    A, false, 50000, 10, 0, -2.0,  0.2,   10, 51, 0, false, 0, true},
  SamplingCase{"link closed",          model::SornII,     A, false, 50000, 10, -1, 0.5,  0.2,   10, 51, 0, false, 0, true},
  SamplingCase{"running",              model::SornII,     A, false, 50000, 10, 1, 0.5,   0.2,   10, 51, 0, false, 0, true},
  SamplingCase{"equal value",          model::SornII,     A, false, 50000, 10, 0, 0.2,   0.2,   10, 51, 0, false, 0, true},
  SamplingCase{"NaN",                  model::Tolemic,    A, false, 50000, 10, 0, kNaN,  0.2,   10, 51, 0, false, 0, true},
  SamplingCase{"capped at 60 s",       model::SornII,     A, false, 50000, 10, 0, 120,   60,    10, 1, 1, false, 0, false},
  SamplingCase{"half second",          model::SornII,     A, false, 50000, 10, 0, 0.5,   0.5,   10, 21, 21, false, 0, false},
  SamplingCase{"qor two channels: 7",  model::Qor,        A|B, false, 50000, 10, 0, 0.01, 0.2,  10, 51, 51, false, 7, false},
  SamplingCase{"vaxo three channels",  model::Vaxo,       A|B|C, false, 50000, 10, 0, 0.049, 0.2, 10, 51, 51, false, 7, false},
  SamplingCase{"qor one channel fast", model::Qor,        A, false, 50000, 10, 0, 0.01,  0.01,  10, 1001, 1001, true, 0, false},
  SamplingCase{"qor no channel fast",  model::Qor,        0, false, 50000, 10, 0, 0.01,  0.01,  10, 1001, 1001, true, 0, false},
  SamplingCase{"0.05 is not fast",     model::Aster,      A|B, false, 50000, 10, 0, 0.05, 0.05, 10, 201, 201, false, 0, false},
  SamplingCase{"tolemic two channels", model::Tolemic,    A|B, false, 50000, 10, 0, 0.01, 0.01, 10, 1001, 1001, false, 0, false},
  SamplingCase{"autostop cuts length", model::Tolemic,    A, true, 5000, 100, 0, 0.001,  0.001, 5, 5001, 5001, false, 0, false},
  SamplingCase{"record cap",           model::Tolemic,    A, false, 5000, 100, 0, 0.001, 0.001, 100, 5001, 5001, false, 0, false},
  // 1.25 / 0.5 = 2.5 rounds to 2 (std::round would give 3).
  SamplingCase{"half to even count",   model::SornII,     A, false, 50000, 1.25, 0, 0.5, 0.5,  1.25, 3, 3, false, 0, false},
  // Round(0.5 * 5) = Round(2.5) = 2 seconds, then 2 / 0.5 + 1 records.
  SamplingCase{"half to even cut",     model::Tolemic,    A, true, 5, 100, 0, 0.5,       0.5,   2, 5, 5, false, 0, false},
  SamplingCase{"cut below 1 s",        model::Tolemic,    A, true, 1, 100, 0, 0.1,       0.1,   1, 2, 2, false, 0, false},
  // Error 7 refuses 0.01: it must not cut the length with it (Round(0.01 * 100) = 1).
  SamplingCase{"refused time keeps length", model::Qor,   A|B, true, 100, 10, 0, 0.01,  0.2,   10, 51, 51, false, 7, false}
), [](const auto& info) {
  std::string n = info.param.what;
  for (char& ch : n) if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return n;
});
// clang-format on

TEST(SamplingTime, FastModeIsClearedOnlyByModelsThatHaveIt) {
  SetupState s = Idle(model::SornII, A);
  s.fastSamplingMode = true;
  EXPECT_FALSE(SetSamplingTime(s, 0.1).state.fastSamplingMode);
  s.model = model::Tolemic;
  EXPECT_TRUE(SetSamplingTime(s, 0.1).state.fastSamplingMode);
}

struct LengthCase {
  const char* what;
  bool autoStop;
  int maxRecords;
  double time;
  int runningMode;
  double value;
  double lengthAfter;
  int noOfData;
  bool refused;
};

class ExperimentLengthTable : public ::testing::TestWithParam<LengthCase> {};

TEST_P(ExperimentLengthTable, Applies) {
  const auto& c = GetParam();
  SetupState s = Idle(model::Tolemic, A);
  s.autoStop = c.autoStop;
  s.maxRecordCount = c.maxRecords;
  s.samplingTime = c.time;
  s.runningMode = c.runningMode;
  s.loopCount = 7;
  const auto out = SetExperimentLength(s, c.value);
  EXPECT_DOUBLE_EQ(out.state.experimentLength, c.lengthAfter);
  EXPECT_EQ(out.state.noOfData, c.noOfData);
  // Refused or not, LoopCount follows the planned records.
  EXPECT_EQ(out.state.loopCount, c.noOfData);
  EXPECT_EQ(out.refused, c.refused);
  EXPECT_EQ(out.error, 0);
  EXPECT_TRUE(out.clearsErrorNumber);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, ExperimentLengthTable, ::testing::Values(
  LengthCase{"plain",           false, 50000, 0.2, 0, 20,   20,  101, false},
  LengthCase{"below one",       false, 50000, 0.2, 0, 0.5,  1.0, 6, false},
  LengthCase{"negative",        false, 50000, 0.2, 0, -3,   10,  51, true},
  LengthCase{"zero",            false, 50000, 0.2, 0, 0,    10,  51, true},
  LengthCase{"NaN",             false, 50000, 0.2, 0, kNaN, 10,  51, true},
  LengthCase{"infinite",        false, 50000, 0.2, 0, std::numeric_limits<double>::infinity(), 10, 51, true},
  LengthCase{"equal",           false, 50000, 0.2, 0, 10,   10,  51, true},
  LengthCase{"running",         false, 50000, 0.2, 1, 20,   10,  51, true},
  LengthCase{"closed",          false, 50000, 0.2, -1, 20,  10,  51, true},
  LengthCase{"autostop cut",    true,  100,   0.2, 0, 100,  20,  101, false},
  LengthCase{"cap without cut", false, 100,   0.2, 0, 100,  100, 101, false},
  LengthCase{"half to even",    false, 50000, 0.5, 0, 1.25, 1.25, 3, false},
  LengthCase{"half to even cut", true, 5,     0.5, 0, 100,  2,   5, false}
), [](const auto& info) {
  std::string n = info.param.what;
  for (char& ch : n) if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return n;
});
// clang-format on

class InputModeTest : public ::testing::Test {
 protected:
  FakeSensors sensors;
  void SetUp() override {
    sensors.Add(10, {"Voltage", "V", {0.01, 0.001, 0.0001}});
    sensors.Add(12, {"Temperature", "C", {0.1, 0.05, 0.01}});
  }
  static SetupState Labelled(SetupState s) {
    for (int i = 0; i < kChannels; ++i) {
      s.channels[i].name = "name" + std::to_string(i);
      s.channels[i].unit = "unit" + std::to_string(i);
      s.channels[i].resolution = {0.01, 0.001, 0.0001, 0.000001};
    }
    return s;
  }
};

TEST_F(InputModeTest, EightPortModeStoresAnalog) {
  SetupState s = Idle(model::Qor3, A);
  s.getModeFor8Port = true;
  s.chInputMode = CHInput::Scope;
  EXPECT_EQ(SetCHInputMode(s, CHInput::Digital, sensors).state.chInputMode, CHInput::Analog);
  s.chInputMode = CHInput::Analog;
  auto out = SetCHInputMode(s, CHInput::Scope, sensors);
  EXPECT_EQ(out.state.chInputMode, CHInput::Analog);
  EXPECT_EQ(out.error, 0);
}

TEST_F(InputModeTest, BoxModelNeedsExactlyOneChannelWithoutTiming) {
  auto out = SetCHInputMode(Labelled(Idle(model::Vaxo, A | B)), CHInput::Digital, sensors);
  EXPECT_EQ(out.error, error::DigitalRefused);
  EXPECT_EQ(out.state.chInputMode, CHInput::Analog);
  EXPECT_EQ(out.state.channels[0].unit, "unit0");

  out = SetCHInputMode(Idle(model::Vaxo, 0), CHInput::Digital, sensors);
  EXPECT_EQ(out.error, error::DigitalRefused);

  SetupState one = Labelled(Idle(model::Vaxo, C));
  one.noOfStroboSlit = 0;
  out = SetCHInputMode(one, CHInput::Digital, sensors);
  EXPECT_EQ(out.error, 0);
  EXPECT_EQ(out.state.chInputMode, CHInput::Digital);
  EXPECT_EQ(out.state.channels[2].unit, "Time(s)");
  for (int r = 0; r < 3; ++r) EXPECT_DOUBLE_EQ(out.state.channels[2].resolution[r], 0.000001);
  EXPECT_DOUBLE_EQ(out.state.channels[2].resolution[3], 0.000001);
  EXPECT_EQ(out.state.noOfStroboSlit, 1);
}

TEST_F(InputModeTest, TimingModeLabelsTheFirstActiveChannel) {
  SetupState s = Labelled(Idle(model::SornII, B | C));
  s.digitalTimmingMode = true;
  auto out = SetCHInputMode(s, CHInput::Digital, sensors);
  EXPECT_EQ(out.error, 0);
  EXPECT_EQ(out.state.channels[1].unit, "Time(s)");
  EXPECT_EQ(out.state.channels[2].unit, "unit2");

  // No active channel: Digital is kept, no channel is labelled.
  s = Labelled(Idle(model::SornII, 0));
  s.digitalTimmingMode = true;
  out = SetCHInputMode(s, CHInput::Digital, sensors);
  EXPECT_EQ(out.state.chInputMode, CHInput::Digital);
  EXPECT_EQ(out.state.timingLabelChannel, -1);
}

TEST_F(InputModeTest, UsbSensorsPickTheDigitalChannel) {
  SetupState s = Labelled(Idle(model::UsbSensors, B | C));
  s.digitalChannel = 5;
  auto out = SetCHInputMode(s, CHInput::Digital, sensors);
  EXPECT_EQ(out.state.digitalChannel, 1);
  EXPECT_EQ(out.state.channels[1].unit, "Time(s)");

  s = Labelled(Idle(model::UsbSensors, 0));
  s.digitalChannel = 5;
  s.noOfStroboSlit = -2;
  out = SetCHInputMode(s, CHInput::Digital, sensors);
  EXPECT_EQ(out.state.chInputMode, CHInput::Digital);
  EXPECT_EQ(out.state.digitalChannel, 5);
  EXPECT_EQ(out.state.noOfStroboSlit, 1);
}

TEST_F(InputModeTest, UnnamedModelAcceptsDigitalUnchanged) {
  auto out = SetCHInputMode(Labelled(Idle(model::Unnamed, A | B)), CHInput::Digital, sensors);
  EXPECT_EQ(out.error, 0);
  EXPECT_EQ(out.state.chInputMode, CHInput::Digital);
  EXPECT_EQ(out.state.channels[0].unit, "unit0");
}

TEST_F(InputModeTest, RefusedWhenEqualOrRunning) {
  SetupState s = Idle(model::Vaxo, A);
  EXPECT_TRUE(SetCHInputMode(s, CHInput::Analog, sensors).refused);
  s.runningMode = 1;
  const auto out = SetCHInputMode(s, CHInput::Digital, sensors);
  EXPECT_TRUE(out.refused);
  EXPECT_EQ(out.state.chInputMode, CHInput::Analog);
}

// Going back from Digital gives the timing channel its sensor's texts again,
// so analog values are neither mislabelled nor quantised to a microsecond.
TEST_F(InputModeTest, LeavingDigitalRestoresTheSensorTexts) {
  for (CHInput back : {CHInput::Analog, CHInput::Scope}) {
    SetupState s = Idle(model::Vaxo, C);
    s.channels[2].name = "Temperature";
    s.channels[2].unit = "C";
    s.channels[2].resolution = {0.1, 0.05, 0.01, 0.000001};
    auto digital = SetCHInputMode(s, CHInput::Digital, sensors);
    ASSERT_EQ(digital.state.channels[2].unit, "Time(s)");
    auto out = SetCHInputMode(digital.state, back, sensors);
    EXPECT_EQ(out.state.chInputMode, back);
    EXPECT_EQ(out.state.channels[2].name, "Temperature");
    EXPECT_EQ(out.state.channels[2].unit, "C");
    EXPECT_DOUBLE_EQ(out.state.channels[2].resolution[0], 0.1);
    EXPECT_DOUBLE_EQ(out.state.channels[2].resolution[1], 0.05);
    EXPECT_DOUBLE_EQ(out.state.channels[2].resolution[2], 0.01);
    EXPECT_EQ(out.state.timingLabelChannel, -1);
  }
  // In 8-port mode the forced Analog restores as well.
  SetupState s = Idle(model::Qor3, A);
  auto digital = SetCHInputMode(s, CHInput::Digital, sensors).state;
  digital.getModeFor8Port = true;
  auto out = SetCHInputMode(digital, CHInput::Scope, sensors);
  EXPECT_EQ(out.state.channels[0].unit, "V");
}

// The name is the host's (CHxName), before and during Digital: leaving
// Digital gives back only what the timing label replaced.
TEST_F(InputModeTest, LeavingDigitalKeepsTheNameTheHostSet) {
  SetupState s = Idle(model::Vaxo, C);
  s.channels[2].name = "Probe 1";
  auto digital = SetCHInputMode(s, CHInput::Digital, sensors).state;
  EXPECT_EQ(digital.channels[2].name, "Probe 1");
  auto out = SetCHInputMode(digital, CHInput::Analog, sensors);
  EXPECT_EQ(out.state.channels[2].name, "Probe 1");
  EXPECT_EQ(out.state.channels[2].unit, "C");

  digital = SetCHInputMode(out.state, CHInput::Digital, sensors).state;
  digital.channels[2].name = "Gate";
  out = SetCHInputMode(digital, CHInput::Scope, sensors);
  EXPECT_EQ(out.state.channels[2].name, "Gate");
  EXPECT_DOUBLE_EQ(out.state.channels[2].resolution[0], 0.1);
}

struct OverSamplingCase {
  double time;
  int runningMode;
  int current;
  int value;
  int after;
  int error;
  bool refused;
};

class OverSamplingTable : public ::testing::TestWithParam<OverSamplingCase> {};

TEST_P(OverSamplingTable, Applies) {
  const auto& c = GetParam();
  SetupState s = Idle(model::SornII, A);
  s.samplingTime = c.time;
  s.runningMode = c.runningMode;
  s.noOfOverSampling = c.current;
  const auto out = SetNoOfOverSampling(s, c.value);
  EXPECT_EQ(out.state.noOfOverSampling, c.after);
  EXPECT_EQ(out.error, c.error);
  EXPECT_EQ(out.refused, c.refused);
  EXPECT_TRUE(out.clearsErrorNumber);
  // Whatever happens, the property holds a value the setter itself accepts.
  if (out.state.noOfOverSampling != 0) {
    EXPECT_GE(out.state.noOfOverSampling, 1);
    EXPECT_LE(out.state.noOfOverSampling, OverSamplingLimit(c.time));
  }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, OverSamplingTable, ::testing::Values(
  OverSamplingCase{0.2, 0, 0, 150, 150, 0, false},
  OverSamplingCase{0.2, 0, 0, 200, 200, 0, false},
  OverSamplingCase{0.2, 0, 0, 201, 200, 15, false},
  OverSamplingCase{0.2, 0, 5, 5, 5, 0, true},
  OverSamplingCase{0.2, 0, 5, 0, 5, 0, true},
  OverSamplingCase{0.2, 0, 5, -3, 5, 0, true},
  OverSamplingCase{0.2, 1, 5, 10, 5, 0, true},
  OverSamplingCase{0.2, -1, 5, 10, 5, 0, true},
  // Long sampling times: never above 1000.
  OverSamplingCase{60, 0, 0, 1000, 1000, 0, false},
  OverSamplingCase{60, 0, 0, 1500, 1000, 15, false},
  // Sub-millisecond times: the limit stays 1, not 0.
  OverSamplingCase{0.000001, 0, 0, 2, 1, 15, false},
  OverSamplingCase{0.000001, 0, 0, 1, 1, 0, false},
  // 2.5 rounds to 2.
  OverSamplingCase{0.0025, 0, 0, 3, 2, 15, false}
), [](const auto& info) {
  const auto& c = info.param;
  return "t" + std::to_string(info.index) + "_value" + (c.value < 0 ? "Minus" + std::to_string(-c.value) : std::to_string(c.value));
});
// clang-format on

// The rules proper, without the adapter: what they change lands in the
// fields they were handed, channel tables included.
TEST(SetupView, RulesChangeTheGivenFieldsInPlace) {
  SetupState s = Idle(model::Vaxo, C);
  const SetterOutcome time = ::pel::setup::SetSamplingTime(s, 0.5);
  EXPECT_EQ(time.error, 0);
  EXPECT_DOUBLE_EQ(s.samplingTime, 0.5);
  EXPECT_EQ(s.noOfData, 21);
  EXPECT_EQ(s.loopCount, 21);

  const FakeSensors sensors;
  ::pel::setup::SetCHInputMode(s, CHInput::Digital, sensors);
  EXPECT_EQ(s.chInputMode, CHInput::Digital);
  EXPECT_EQ(s.timingLabelChannel, 2);
  EXPECT_EQ(s.channels[2].unit, "Time(s)");
  EXPECT_DOUBLE_EQ(s.channels[2].resolution[1], 0.000001);
}

}  // namespace
}  // namespace pel::setup
