// The ruled setters through the component, per model: SamplingTime,
// ExperimentLength, CHInputMode and NoOfOverSampling with errors 7, 9 and
// 15, the channel accessors, the PWM and output gates, and the mended faults.
#include "PropsFixture.h"

namespace {
using namespace props_test;

constexpr int kSornII = 0, kAster = 1, kVaxo = 2, kUsb = 3, kQor = 4, kTolemic = 5, kQor3 = 7, kUnnamed = 9;

struct SamplingCase {
  const char* what;
  int model;
  int activeChannels;
  bool autoStop;
  int maxRecords;
  double length;  // ExperimentLength before the set
  double value;
  double time, lengthAfter;
  int noOfData;
  bool fast;
  int error;  // 0 none
};

TEST_F(PropsTest, SamplingTimeByModel) {
  const SamplingCase cases[] = {
      {"Sorn II raises to its minimum", kSornII, 1, false, 50000, 10, 0.001, 0.005, 10, 2001, true, 0},
      {"Tolemic keeps 0.001", kTolemic, 1, false, 50000, 10, 0.001, 0.001, 10, 10001, false, 0},
      {"USB sensors raise to 0.01", kUsb, 1, false, 50000, 10, 0.001, 0.01, 10, 1001, false, 0},
      {"the unnamed model keeps 0.001", kUnnamed, 1, false, 50000, 10, 0.001, 0.001, 10, 10001, false, 0},
      {"Qor3 keeps a microsecond", kQor3, 2, false, 50000, 1, 0.000001, 0.000001, 1, 50001, false, 0},
      {"capped at 60 s", kQor, 1, false, 50000, 10, 120, 60, 10, 1, false, 0},
      {"two channels below 0.05 on a Qor: error 7", kQor, 2, false, 50000, 10, 0.01, 0.2, 10, 51, false, 7},
      {"one channel: fast", kQor, 1, false, 50000, 10, 0.01, 0.01, 10, 1001, true, 0},
      {"error 7 on a Sorn II", kSornII, 3, false, 50000, 10, 0.02, 0.2, 10, 51, false, 7},
      {"error 7 on an Aster", kAster, 2, false, 50000, 10, 0.02, 0.2, 10, 51, false, 7},
      {"error 7 on a Vaxo", kVaxo, 2, false, 50000, 10, 0.02, 0.2, 10, 51, false, 7},
      {"no fast mode on a Tolemic", kTolemic, 2, false, 50000, 10, 0.02, 0.02, 10, 501, false, 0},
      {"no fast mode on USB sensors", kUsb, 2, false, 50000, 10, 0.02, 0.02, 10, 501, false, 0},
      {"0.05 is not fast", kVaxo, 2, false, 50000, 10, 0.05, 0.05, 10, 201, false, 0},
      {"10 s at 0.5", kQor, 1, false, 50000, 10, 0.5, 0.5, 10, 21, false, 0},
      {"AutoStop cuts the length", kTolemic, 1, true, 5000, 100, 0.001, 0.001, 5, 5001, false, 0},
      {"AutoStop cut 2.5 s goes to 2, not 3", kTolemic, 1, true, 1000, 100, 0.0025, 0.0025, 2, 801, false, 0},
      {"no cut without AutoStop, capped count", kTolemic, 1, false, 5000, 100, 0.001, 0.001, 100, 5001, false, 0},
      {"2.5 records round to 2, not 3", kQor, 1, false, 50000, 2.5, 1.0, 1.0, 2.5, 3, false, 0},
      {"3.5 records round to 4", kQor, 1, false, 50000, 3.5, 1.0, 1.0, 3.5, 5, false, 0},
      {"a length below 1 s becomes 1", kQor, 1, false, 50000, 0.5, 0.25, 0.25, 1, 5, false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Idle(c.model);
    std::vector<std::pair<int, int>> active;
    for (int i = 0; i < c.activeChannels; ++i) active.push_back({i, kVoltage});
    Sensors(active);
    p->F_.SamplingTime = 0.2;
    p->F_.FastSamplingMode = false;
    p->F_.AutoStop = c.autoStop;
    p->F_.Max_Record_Count = c.maxRecords;
    p->F_.ExperimentLength = c.length;
    p->F_.ErrorNumber = 3;
    errors.clear();
    p->SamplingTime(c.value);
    EXPECT_DOUBLE_EQ(p->SamplingTime(), c.time);
    EXPECT_DOUBLE_EQ(p->ExperimentLength(), c.lengthAfter);
    EXPECT_EQ(p->NoOfData(), c.noOfData);
    EXPECT_EQ(p->LoopCount(), c.noOfData);
    EXPECT_EQ(p->FastSamplingMode(), c.fast);
    EXPECT_EQ(p->ErrorNumber(), c.error);
    EXPECT_EQ(errors, c.error ? std::vector<int>{c.error} : std::vector<int>{});
  }
}

TEST_F(PropsTest, SamplingTimeRefusalsChangeNothingButErrorNumber) {
  Active({0});
  p->F_.ErrorNumber = 5;
  p->SamplingTime(0.001);  // before any connect
  EXPECT_DOUBLE_EQ(p->SamplingTime(), 0.2);
  EXPECT_EQ(p->ErrorNumber(), 0);
  Idle(kQor);
  p->F_.LoopCount = 99;
  const auto unchanged = [&] {
    EXPECT_DOUBLE_EQ(p->SamplingTime(), 0.2);
    EXPECT_EQ(p->NoOfData(), 51);
    EXPECT_EQ(p->LoopCount(), 99);
    EXPECT_EQ(p->ErrorNumber(), 0);
  };
  p->F_.ErrorNumber = 5;
  p->SamplingTime(0.2);  // the current value
  unchanged();
  p->F_.RunningMode = 1;
  p->F_.ErrorNumber = 5;
  p->SamplingTime(0.5);  // any value during a run
  unchanged();
  EXPECT_TRUE(errors.empty());
}

// Mended: a time of 0 or below on the model without a minimum is refused
// rather than dividing the record count by zero.
TEST_F(PropsTest, NonPositiveSamplingTimeOnTheUnnamedModelIsRefused) {
  Idle(kUnnamed);
  Active({0});
  for (double t : {0.0, -0.5}) {
    p->SamplingTime(t);
    EXPECT_DOUBLE_EQ(p->SamplingTime(), 0.2);
    EXPECT_EQ(p->NoOfData(), 51);
  }
  // A box model raises the same values to its minimum.
  Idle(kTolemic);
  p->SamplingTime(-1);
  EXPECT_DOUBLE_EQ(p->SamplingTime(), 0.000001);
  EXPECT_TRUE(errors.empty());
}

// Mended: a time refused with error 7 never cuts ExperimentLength.
TEST_F(PropsTest, SamplingTimeRefusedWithError7KeepsTheLength) {
  Idle(kQor);
  Active({0, 1});
  p->AutoStop(true);
  p->Max_Record_Count(5000);
  p->F_.ExperimentLength = 100;
  p->SamplingTime(0.01);  // 100 / 0.01 > 5000 would cut to 50 s
  EXPECT_EQ(errors, std::vector<int>{7});
  EXPECT_DOUBLE_EQ(p->ExperimentLength(), 100);
  EXPECT_DOUBLE_EQ(p->SamplingTime(), 0.2);
  EXPECT_EQ(p->NoOfData(), 501);
  // The handler sees the state already settled.
  double seen = 0;
  p->PelmoraError([&](TPelmora& sender, int) { seen = sender.SamplingTime(); });
  p->F_.SamplingTime = 1.0;
  p->SamplingTime(0.02);
  EXPECT_DOUBLE_EQ(seen, 0.2);
}

struct LengthCase {
  const char* what;
  int runningMode;
  bool autoStop;
  int maxRecords;
  double samplingTime;
  double value;
  double lengthAfter;
  int noOfData;
};

TEST_F(PropsTest, ExperimentLengthTable) {
  const LengthCase cases[] = {
      {"stored", 0, false, 50000, 0.2, 20, 20, 101},
      {"below 1 s gives 1", 0, false, 50000, 0.2, 0.5, 1, 6},
      {"negative leaves the length", 0, false, 50000, 0.2, -3, 10, 51},
      {"zero leaves the length", 0, false, 50000, 0.2, 0, 10, 51},
      {"AutoStop cuts to the record limit", 0, true, 1000, 0.01, 50, 10, 1001},
      {"AutoStop cut 2.5 s goes to 2", 0, true, 1000, 0.0025, 50, 2, 801},
      {"no cut within the limit", 0, true, 1000, 0.1, 50, 50, 501},
      {"capped records without AutoStop", 0, false, 1000, 0.01, 50, 50, 1001},
      {"refused during a run", 1, false, 50000, 0.2, 20, 10, 51},
      {"2.5 records round to 2", 0, false, 50000, 1.0, 2.5, 2.5, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Idle(kQor);
    p->F_.RunningMode = c.runningMode;
    p->F_.AutoStop = c.autoStop;
    p->F_.Max_Record_Count = c.maxRecords;
    p->F_.SamplingTime = c.samplingTime;
    p->F_.ExperimentLength = 10;
    p->F_.LoopCount = 7;
    p->F_.ErrorNumber = 4;
    p->ExperimentLength(c.value);
    EXPECT_DOUBLE_EQ(p->ExperimentLength(), c.lengthAfter);
    EXPECT_EQ(p->NoOfData(), c.noOfData);
    // Every set, refused or not, resets LoopCount to NoOfData.
    EXPECT_EQ(p->LoopCount(), c.noOfData);
    EXPECT_EQ(p->ErrorNumber(), 0);
  }
  EXPECT_TRUE(errors.empty());
}

struct InputCase {
  const char* what;
  int model;
  std::vector<int> active;
  bool timing;   // DigitalTimmingMode
  bool eightPort;  // GetModeFor8Port
  CHInput value;
  CHInput stored;
  int error;
  int labelled;  // channel whose unit reads "Time(s)", -1 none
};

TEST_F(PropsTest, CHInputModeTable) {
  const InputCase cases[] = {
      {"Vaxo, two channels: error 9", kVaxo, {0, 1}, false, false, CHInput::Digital, CHInput::Analog, 9, -1},
      {"Vaxo, only C", kVaxo, {2}, false, false, CHInput::Digital, CHInput::Digital, 0, 2},
      {"Tolemic, none active: error 9", kTolemic, {}, false, false, CHInput::Digital, CHInput::Analog, 9, -1},
      {"Qor3, timing flag, two channels", kQor3, {1, 3}, true, false, CHInput::Digital, CHInput::Digital, 0, 1},
      {"Sorn II, timing flag, none active", kSornII, {}, true, false, CHInput::Digital, CHInput::Digital, 0, -1},
      {"8-port stores Analog for Scope", kQor, {0}, false, true, CHInput::Scope, CHInput::Analog, 0, -1},
      {"8-port stores Analog for Digital", kQor, {0, 1}, false, true, CHInput::Digital, CHInput::Analog, 0, -1},
      {"USB sensors, two channels: the first", kUsb, {1, 2}, false, false, CHInput::Digital, CHInput::Digital, 0, 1},
      {"model 9 takes Digital unchanged", kUnnamed, {0, 1}, false, false, CHInput::Digital, CHInput::Digital, 0,
       -1},
      {"Scope stored", kAster, {0}, false, false, CHInput::Scope, CHInput::Scope, 0, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    p.reset();
    p = TPelmora::Create(nullptr, LinkFlavour::Studio(), rig.Env());
    p->PelmoraError([this](TPelmora&, int n) { errors.push_back(n); });
    errors.clear();
    Idle(c.model);
    std::vector<std::pair<int, int>> s;
    for (int ch : c.active) s.push_back({ch, kVoltage});
    Sensors(s);
    p->F_.DigitalTimmingMode = c.timing;
    p->F_.GetModeFor8Port = c.eightPort;
    p->F_.NoOfStroboSlit = 0;
    p->CHInputMode(c.value);
    EXPECT_EQ(p->CHInputMode(), c.stored);
    EXPECT_EQ(errors, c.error ? std::vector<int>{c.error} : std::vector<int>{});
    for (int ch = 0; ch < 8; ++ch) {
      const bool timingUnit = TPelmora::State().sensors.ch[ch].unit == "Time(s)";
      EXPECT_EQ(timingUnit, ch == c.labelled) << "channel " << ch;
      if (ch == c.labelled) {
        EXPECT_DOUBLE_EQ(TPelmora::State().sensors.ch[ch].resolution[1], 0.000001);
      }
    }
    if (c.labelled >= 0) {
      EXPECT_EQ(p->NoOfStroboSlit(), 1);
    }
    if (c.model == kUsb && c.labelled >= 0) {
      EXPECT_EQ(TPelmora::State().digitalChannel, c.labelled);
    }
  }
  // The same mode again, and any mode during a run, change nothing.
  Idle(kVaxo);
  Active({2});
  p->F_.CHInputMode = CHInput::Digital;
  p->CHInputMode(CHInput::Digital);
  p->F_.RunningMode = 1;
  p->CHInputMode(CHInput::Analog);
  EXPECT_EQ(p->CHInputMode(), CHInput::Digital);
}

// Mended: back to Analog, the channel Digital relabelled gets its sensor's
// name, unit and resolutions from the sensor tables again.
TEST_F(PropsTest, LeavingDigitalRestoresTheSensorTexts) {
  for (CHInput back : {CHInput::Analog, CHInput::Scope}) {
    SCOPED_TRACE(static_cast<int>(back));
    Idle(kVaxo);
    Sensors({{1, kTemperature}});
    p->F_.CHInputMode = CHInput::Analog;
    p->CHInputMode(CHInput::Digital);
    ASSERT_EQ(p->CHBUnit(), "Time(s)");
    p->CHInputMode(back);
    EXPECT_EQ(p->CHBUnit(), "C");
    EXPECT_EQ(p->CHBName(), "Temperature");
    const auto& r = TPelmora::State().sensors.ch[1].resolution;
    EXPECT_DOUBLE_EQ(r[0], 0.01);
    EXPECT_DOUBLE_EQ(r[1], 0.02);
    EXPECT_DOUBLE_EQ(r[2], 0.05);
  }
  // A sensor the tables do not list gets their defaults, never the timing label.
  Sensors({{0, 44}});
  p->CHInputMode(CHInput::Digital);
  ASSERT_EQ(p->CHAUnit(), "Time(s)");
  p->CHInputMode(CHInput::Analog);
  EXPECT_EQ(p->CHAUnit(), "");
  EXPECT_DOUBLE_EQ(TPelmora::State().sensors.ch[0].resolution[0], 0.001);
  EXPECT_TRUE(errors.empty());
}

struct OverSamplingCase {
  const char* what;
  double samplingTime;
  int current;
  int value;
  int runningMode;
  int after;
  int error;
};

TEST_F(PropsTest, NoOfOverSamplingLimits) {
  const OverSamplingCase cases[] = {
      {"within Round(1000 t)", 0.2, 0, 200, 0, 200, 0},
      {"above it: error 15, held at the limit", 0.2, 0, 201, 0, 200, 15},
      {"above 1 s the limit is 1000", 2.0, 0, 1500, 0, 1000, 15},
      {"1000 itself at 2 s", 2.0, 0, 1000, 0, 1000, 0},
      {"below half a millisecond the limit is 1", 0.0001, 0, 2, 0, 1, 15},
      {"Round(1000 * 0.0125) is 12, not 13", 0.0125, 0, 13, 0, 12, 15},
      {"zero refused", 0.2, 5, 0, 0, 5, 0},
      {"negative refused", 0.2, 5, -4, 0, 5, 0},
      {"refused during a run", 0.2, 5, 10, 1, 5, 0},
      {"the same value", 0.2, 5, 5, 0, 5, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Idle(kTolemic);
    p->F_.RunningMode = c.runningMode;
    p->F_.SamplingTime = c.samplingTime;
    p->F_.NoOfOverSampling = c.current;
    p->F_.ErrorNumber = 3;
    errors.clear();
    p->NoOfOverSampling(c.value);
    EXPECT_EQ(p->NoOfOverSampling(), c.after);
    EXPECT_EQ(p->ErrorNumber(), c.error);
    EXPECT_EQ(errors, c.error ? std::vector<int>{c.error} : std::vector<int>{});
  }
}

TEST_F(PropsTest, ChannelAccessors) {
  Idle(kQor);
  Sensors({{0, kVoltage}, {4, kTemperature}});
  // Active A, inactive C.
  EXPECT_TRUE(p->CHA());
  EXPECT_EQ(p->CHAName(), "Voltage");
  EXPECT_EQ(p->CHAUnit(), "V");
  EXPECT_EQ(p->CHAID(), kVoltage);
  EXPECT_FALSE(p->CHC());
  EXPECT_EQ(p->CHCName(), " ");
  EXPECT_EQ(p->CHBName(), "");
  EXPECT_EQ(p->CHCUnit(), "");
  EXPECT_EQ(p->CHCID(), -1);
  // E active with a sensor: false in 4-port mode, true in 8-port mode.
  EXPECT_FALSE(p->CHE());
  EXPECT_EQ(p->CHEUnit(), "C");
  p->F_.GetModeFor8Port = true;
  EXPECT_TRUE(p->CHE());
  EXPECT_FALSE(p->CHF());
  // CHA := false without a terminal block does nothing.
  p->CHA(false);
  EXPECT_TRUE(p->CHA());
  EXPECT_TRUE(TPelmora::State().sensors.ch[0].active);
}

// TerminalBlockUse has one owner: whoever sets it (the setter, an
// identification), GetSensorList and the channel accessors read the same.
TEST_F(PropsTest, TerminalBlockUseSetByTheHostIsWhatTheSensorListAndChannelsRead) {
  Idle(kSornII);
  Sensors({{0, kVoltage}, {2, kTemperature}});
  p->TerminalBlockUse(true);
  p->CHB(true);  // selectable now: B carries no sensor
  EXPECT_TRUE(p->CHB());
  EXPECT_TRUE(TPelmora::State().sensors.ch[1].terminalSelection);
  EXPECT_EQ(p->GetSensorList(), "-1,0,-1,-1");

  // An identification on a Sorn II with no sensor on A to C puts it in use;
  // the host takes it out again.
  rig.serial->listed.push_back("COM3");
  rig.serial->answering["COM3"] = [](const std::string& cmd) -> std::string {
    if (cmd == "s{10,3}") return "{Pelmora SORN}\r\n";
    if (cmd == "s{20}") return "{0,0,0,0}\r\n";
    return {};
  };
  p->F_.RunningMode = -1;
  p->VCPort(3);
  ASSERT_EQ(p->InitializeComm(), 0);
  ASSERT_EQ(TPelmora::State().modelState, kSornII);
  ASSERT_TRUE(p->TerminalBlockUse());
  p->CHA(true);
  EXPECT_EQ(p->GetSensorList(), "0,0,-1,-1") << "B's selection survives: the block stayed in use";
  p->TerminalBlockUse(false);
  EXPECT_EQ(p->GetSensorList(), "-1,-1,-1,-1");
  p->CHC(true);  // refused: no terminal block in use
  EXPECT_FALSE(p->CHC());
}

TEST_F(PropsTest, TerminalBlockSelectionReloadsTheTextsOfAToD) {
  Idle(kQor);
  Sensors({});
  auto& s = TPelmora::State();
  s.sensors.ch[1].sensorId = kTemperature;  // B carries a sensor but is not active
  s.sensors.ch[1].name = "stale";
  p->TerminalBlockUse(true);
  EXPECT_FALSE(p->CHA());
  p->CHA(true);
  EXPECT_TRUE(p->CHA());
  EXPECT_TRUE(s.sensors.ch[0].terminalSelection);
  EXPECT_TRUE(s.sensors.ch[0].active);
  EXPECT_EQ(s.sensors.ch[1].name, "Temperature");
  EXPECT_DOUBLE_EQ(s.sensors.ch[1].resolution[2], 0.05);
  // B's flag reads its active flag: it carries a sensor.
  s.sensors.ch[1].terminalSelection = true;
  EXPECT_FALSE(p->CHB());
  // A malformed resolution reaches the caller; the flag stays set.
  Put(kResolution, "Resolution30_1", "fast");
  EXPECT_THROW(p->CHC(true), std::exception);
  EXPECT_TRUE(s.sensors.ch[2].active);
  // During a run nothing happens.
  Put(kResolution, "Resolution30_1", "0.01");
  p->F_.RunningMode = 1;
  p->CHD(true);
  EXPECT_FALSE(s.sensors.ch[3].active);
}

TEST_F(PropsTest, OutputAndPwmGates) {
  for (int model : {kSornII, kAster, kVaxo, kUsb, kQor, kTolemic, kQor3, kUnnamed, -1}) {
    SCOPED_TRACE(model);
    Idle(model);
    p->F_.CHOutput = false;
    p->F_.ErrorNumber = 2;
    p->CHOutput(true);
    const bool allowed = model == kSornII || model == kAster || model == kQor || model == kTolemic || model == kQor3;
    EXPECT_EQ(p->CHOutput(), allowed);
    EXPECT_EQ(p->ErrorNumber(), 0);
  }
  Idle(kQor);
  Sensors({{3, kTemperature}});
  // Channel D without an analog module: neither PWM value is stored.
  p->PWMFreqSelect(true);
  EXPECT_FALSE(p->PWMFreqSelect());
  Sensors({{3, kVoltage}});
  p->PWMFreqValue(1000);
  EXPECT_EQ(p->PWMFreqValue(), 500);  // PWMFreqSelect still false
  p->PWMFreqSelect(true);
  EXPECT_TRUE(p->PWMFreqSelect());
  p->PWMFreqValue(1000);
  EXPECT_EQ(p->PWMFreqValue(), 1000);
  p->F_.RunningMode = 3;
  p->PWMFreqValue(2000);
  p->NoOfStroboSlit(9);
  EXPECT_EQ(p->PWMFreqValue(), 1000);
  EXPECT_EQ(p->NoOfStroboSlit(), 1);
  EXPECT_TRUE(errors.empty());
}

}  // namespace
