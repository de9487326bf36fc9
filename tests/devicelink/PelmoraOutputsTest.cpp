// TPelmora's outputs and sensor set-up over the in-process fakes: the exact
// command texts each method sends, by model, and the errors it raises.
#include <gtest/gtest.h>

#include <functional>

#include <utility>

#include "devicelink/Pelmora.h"
#include "FakeLink.h"
#include "setup/FakeSensors.h"

namespace {
using pel::link::ProcessState;
using Cmds = std::vector<std::string>;

constexpr int kSorn = 0, kAster = 1, kUsb = 3, kQor = 4, kTolemic = 5, kQor3 = 7;

class PelmoraOutputsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    p = TPelmora::Create(nullptr, LinkFlavour::Studio(), rig.Env());
    p->PelmoraError([this](TPelmora&, int n) { errors.push_back(n); });
    // An open port that takes every command and answers none.
    rig.serial->port = "COM3";
    rig.serial->answering["COM3"] = nullptr;
    rig.serial->open = true;
    auto& s = ProcessState();
    s.pwmOptionStored = false;
    s.pinValue = {50, 50, 50};
    s.usbNewReading = false;
    for (int i = 0; i < 8; ++i) {
      s.sensors.ch[i].active = i < 4;
      s.sensors.ch[i].sensorId = 10 + i;
      s.sensorRange[i] = 0;
    }
    sensors->Class("SensorMultiRange", 10).Class("SensorMultiRange", 11).Class("SensorMultiRange", 13);
    sensors->Class("SensorCalibration", 11).Class("SensorCalibration", 5);
    p->Outputs().catalog = sensors;
    p->Outputs().countUsbDevices = [this] { return usbDevices; };
    Connected(kSorn);
  }
  void Connected(int model) {
    ProcessState().modelState = model;
    p->F_.RunningMode = 0;
  }
  // Commands written since the last call, without port and line end.
  Cmds Sent() {
    Cmds out;
    for (const auto& w : rig.serial->written) out.push_back(w.substr(5, w.size() - 7));
    rig.serial->written.clear();
    return out;
  }
  std::vector<int> Errors() { return std::exchange(errors, {}); }

  fake::Rig rig;
  std::shared_ptr<TPelmora> p;
  std::shared_ptr<pel::setup::test::FakeSensors> sensors = std::make_shared<pel::setup::test::FakeSensors>();
  std::vector<int> errors;
  int usbDevices = 1;
};

TEST_F(PelmoraOutputsTest, PWMOptionSettingReplacesOutOfRangeValuesPerWaveform) {
  struct Case {
    PWMOption option;
    bool select;
    int freq;
    std::array<int, 3> pins;
    std::array<int, 3> storedPins;
    int storedFreq;
    bool storedSelect;
  };
  const Case cases[] = {
      {PWMOption::PWM, true, 2000, {120, 40, 99}, {50, 40, 99}, 500, true},
      {PWMOption::PWM, false, -1, {-1, 0, 100}, {50, 0, 50}, 500, false},
      {PWMOption::PWM, true, 1000, {0, 99, 1}, {0, 99, 1}, 1000, true},
      {PWMOption::DC_Valtage, true, 7, {20, 50, 5001}, {500, 50, 500}, 7, false},
      {PWMOption::DC_Valtage, false, 0, {5000, 49, 100}, {5000, 500, 100}, 0, false},
      {PWMOption::Sine_Wave, true, 0, {-1, 1000, 1001}, {500, 1000, 500}, 0, false},
      {PWMOption::Sawtooth_Wave_Ramp_Down, false, 0, {0, 1, 2000}, {0, 1, 500}, 0, false},
  };
  auto& s = ProcessState();
  for (const auto& c : cases) {
    EXPECT_EQ(p->PWMOptionSetting(true, c.option, c.select, c.freq, c.pins[0], c.pins[1], c.pins[2]), 0);
    EXPECT_TRUE(s.pwmOptionStored);
    EXPECT_EQ(p->F_.AControlIndex, c.option);
    EXPECT_EQ((std::array<int, 3>{s.pinValue[0], s.pinValue[1], s.pinValue[2]}), c.storedPins) << int(c.option);
    EXPECT_EQ(p->F_.PWMFreqValue, c.storedFreq) << int(c.option);
    EXPECT_EQ(p->F_.PWMFreqSelect, c.storedSelect) << int(c.option);
  }
  // Off keeps the stored values but drops the output.
  EXPECT_EQ(p->PWMOptionSetting(false, PWMOption::PWM, true, 1, 1, 1, 1), 0);
  EXPECT_FALSE(s.pwmOptionStored);
  EXPECT_EQ(s.pinValue[0], 0);
  EXPECT_EQ(Sent(), Cmds{});
  EXPECT_EQ(Errors(), std::vector<int>{});
}

TEST_F(PelmoraOutputsTest, OneClampForTheComponentAndTheRules) {
  auto& s = ProcessState();
  s.pinValue[0] = -1;
  s.pinValue[1] = 1000;
  s.pinValue[2] = 1001;
  p->ClampOutputParameters(0, 1000, 500);
  EXPECT_EQ((std::array<int, 3>{s.pinValue[0], s.pinValue[1], s.pinValue[2]}), (std::array<int, 3>{500, 1000, 500}));
}

TEST_F(PelmoraOutputsTest, OutputSettingRefusals) {
  auto& s = ProcessState();
  Connected(kQor);
  EXPECT_EQ(p->PWMOptionSetting(true, PWMOption::Sine_Wave, false, 0, 1, 2, 3), 22);
  EXPECT_FALSE(s.pwmOptionStored);
  Connected(kSorn);
  p->F_.RunningMode = 1;
  EXPECT_EQ(p->PWMOptionSetting(true, PWMOption::Sine_Wave, false, 0, 1, 2, 3), 22);
  EXPECT_EQ(Errors(), (std::vector<int>{22, 22}));

  // Digital input or fast sampling refuses and drops a stored output.
  for (int digital = 0; digital < 2; ++digital) {
    Connected(kSorn);
    EXPECT_EQ(p->PWMOptionSetting(true, PWMOption::Sine_Wave, false, 0, 1, 2, 3), 0);
    p->F_.CHInputMode = digital ? CHInput::Digital : CHInput::Analog;
    p->F_.FastSamplingMode = !digital;
    EXPECT_EQ(p->PWMOptionSetting(true, PWMOption::Sine_Wave, false, 0, 1, 2, 3), 27);
    EXPECT_FALSE(s.pwmOptionStored);
    p->F_.CHInputMode = CHInput::Analog;
    p->F_.FastSamplingMode = false;
    EXPECT_EQ(p->DemoOutput(true), 18);
    EXPECT_EQ(p->RunningMode(), 0);
    EXPECT_EQ(Errors(), (std::vector<int>{27, 18}));
  }
  EXPECT_EQ(Sent(), Cmds{});
}

TEST_F(PelmoraOutputsTest, DemoOutputSendsTheStoredOutputAndStops) {
  struct Case {
    PWMOption option;
    bool select;
    int freq;
    std::array<int, 3> pins;
    CHInput input;
    std::string output, stop;
  };
  const Case cases[] = {
      {PWMOption::Square_Wave, false, 0, {100, 200, 300}, CHInput::Analog, "s{14,4, 100, 200, 300}", "s{10,0}"},
      {PWMOption::PWM, true, 500, {1, 2, 3}, CHInput::Analog, "s{15, 500}", "s{10,0}"},
      {PWMOption::PWM, false, 5, {0, 99, 7}, CHInput::Scope, "s{14,1,   0,  99,   7}", "s{88,0}"},
      {PWMOption::DC_Valtage, false, 0, {5000, 50, 1234}, CHInput::Analog, "s{14,2,5000,  50,1234}", "s{10,0}"},
      {PWMOption::Sawtooth_Wave_Ramp_Down, false, 0, {1000, 9, 10}, CHInput::Scope, "s{14,7,1000,   9,  10}",
       "s{88,0}"},
  };
  for (const auto& c : cases) {
    p->F_.CHInputMode = c.input;
    p->F_.Run = false;
    ASSERT_EQ(p->PWMOptionSetting(true, c.option, c.select, c.freq, c.pins[0], c.pins[1], c.pins[2]), 0);
    EXPECT_EQ(p->DemoOutput(true), 0);
    EXPECT_EQ(Sent(), (Cmds{"s{11,1}", "s{12,00.200}", c.output, "s{10,1}"}));
    EXPECT_EQ(p->RunningMode(), 3);
    EXPECT_TRUE(p->F_.Run);
    // While it runs, set-up that needs an idle link is refused.
    EXPECT_EQ(p->PWMOptionSetting(true, c.option, c.select, c.freq, 1, 1, 1), 22);
    EXPECT_EQ(p->DemoOutput(false), 0);
    EXPECT_EQ(Sent(), Cmds{c.stop});
    EXPECT_EQ(p->RunningMode(), 0);
    EXPECT_TRUE(p->F_.Run);  // cleared by the next stop of a run
  }
  EXPECT_EQ(Errors(), std::vector<int>(std::size(cases), 22));
}

TEST_F(PelmoraOutputsTest, DemoOutputNeedsAnIdleSornII) {
  ASSERT_EQ(p->PWMOptionSetting(true, PWMOption::Sine_Wave, false, 0, 1, 2, 3), 0);
  for (int m : {kAster, kUsb, kQor, kTolemic, kQor3}) {
    Connected(m);
    EXPECT_EQ(p->DemoOutput(true), 22) << m;
  }
  Connected(kSorn);
  for (int mode : {-1, 1, 4, 5, 6}) {
    p->F_.RunningMode = mode;
    EXPECT_EQ(p->DemoOutput(true), 22) << mode;
    EXPECT_EQ(p->RunningMode(), mode);
  }
  EXPECT_EQ(Sent(), Cmds{});
  EXPECT_EQ(Errors(), std::vector<int>(10, 22));
}

// A refused demo starts nothing; a demo that runs can always be stopped.
TEST_F(PelmoraOutputsTest, RefusedDemoStartsNothingAndARunningDemoStillStops) {
  ASSERT_EQ(p->PWMOptionSetting(true, PWMOption::Sine_Wave, false, 0, 1, 2, 3), 0);
  p->F_.CHInputMode = CHInput::Digital;  // changed after the output was stored
  EXPECT_EQ(p->DemoOutput(true), 27);
  EXPECT_EQ(Sent(), Cmds{});
  EXPECT_EQ(p->RunningMode(), 0);
  EXPECT_FALSE(p->F_.Run);

  p->F_.CHInputMode = CHInput::Analog;
  ASSERT_EQ(p->PWMOptionSetting(true, PWMOption::Sine_Wave, false, 0, 1, 2, 3), 0);
  ASSERT_EQ(p->DemoOutput(true), 0);
  Sent();
  p->F_.FastSamplingMode = true;  // the re-check now refuses and drops the setting
  EXPECT_EQ(p->DemoOutput(true), 27);
  EXPECT_FALSE(ProcessState().pwmOptionStored);
  EXPECT_EQ(p->RunningMode(), 3);
  EXPECT_EQ(Sent(), Cmds{});
  EXPECT_EQ(p->DemoOutput(false), 0);
  EXPECT_EQ(Sent(), Cmds{"s{10,0}"});
  EXPECT_EQ(p->RunningMode(), 0);
  EXPECT_EQ(p->DemoOutput(false), 18);  // nothing stored, nothing running
  EXPECT_EQ(Errors(), (std::vector<int>{27, 27, 18}));
}

TEST_F(PelmoraOutputsTest, OutputLineSendsTheLineValue) {
  for (int m : {kSorn, kAster, kQor, kTolemic, kQor3}) {
    Connected(m);
    for (int v = 0; v <= 7; ++v) {
      EXPECT_EQ(p->OutputLine(v), 0);
      EXPECT_EQ(Sent(), Cmds{"s{50," + std::to_string(v) + "}"});
    }
    for (int v : {8, 9, -1, 10, 1 << 30}) {
      EXPECT_EQ(p->OutputLine(v), 0);
      EXPECT_EQ(Sent(), Cmds{"s{50,0}"}) << v;
    }
  }
  p->F_.RunningMode = 1;  // allowed during a run
  EXPECT_EQ(p->OutputLine(5), 0);
  EXPECT_EQ(Sent(), Cmds{"s{50,5}"});
  p->F_.RunningMode = -1;
  EXPECT_EQ(p->OutputLine(5), 22);
  Connected(kUsb);
  EXPECT_EQ(p->OutputLine(5), 22);
  EXPECT_EQ(Sent(), Cmds{});
  EXPECT_EQ(Errors(), (std::vector<int>{22, 22}));
}

TEST_F(PelmoraOutputsTest, RangeCommandCarriesThreeOrFourChannelsByModel) {
  auto& s = ProcessState();
  struct Case {
    int model;
    std::string sent;
  };
  const Case cases[] = {{kSorn, "s{21,1,2,3}"},      {kAster, "s{21,1,2,3}"}, {kQor, "s{21,1,2,3}"},
                        {kTolemic, "s{21,1,2,3,2}"}, {kQor3, "s{21,1,2,3,2}"}};
  for (const auto& c : cases) {
    Connected(c.model);
    s.sensorRange = {0, 0, 2, 1, 0, 0, 0, 0};
    EXPECT_EQ(p->SensorRangeSetting(2, SensorRangeType::General_Purpose), 0) << c.model;
    EXPECT_EQ(Sent(), Cmds{c.sent}) << c.model;
    EXPECT_EQ(s.sensorRange[1], 1);
  }
  EXPECT_EQ(Errors(), std::vector<int>{});
}

TEST_F(PelmoraOutputsTest, RangeRefusals) {
  auto& s = ProcessState();
  struct Case {
    int model;
    bool terminalBlock;
    int ch, range, error;
  };
  const Case cases[] = {
      {kQor, true, 2, 1, 19},    {kUsb, true, 2, 1, 19},   {kQor, false, 0, 1, 12},  {kQor, false, 9, 1, 12},
      {kQor, false, 5, 1, 12},   {kQor, false, 2, 3, 14},  {kQor, false, 2, -1, 14}, {kUsb, false, 2, 4, 14},
      {kUsb, false, 2, -1, 14},  {kQor, false, 3, 1, 13},  {kUsb, false, 3, 1, 13},  {kUsb, false, 9, 1, 12},
      {kUsb, false, 6, 1, 12},   {kSorn, false, 3, 1, 13},
  };
  int packets = 0;
  p->Outputs().sendUsbRangePacket = [&](TPelmora&, const pel::setup::UsbRangePacket&) { ++packets; };
  for (const auto& c : cases) {
    Connected(c.model);
    p->F_.TerminalBlockUse = c.terminalBlock;
    s.sensorRange.fill(0);
    EXPECT_EQ(p->SensorRangeSetting(c.ch, c.range), c.error) << c.model << " " << c.ch << " " << c.range;
    EXPECT_EQ(Errors(), std::vector<int>{c.error});
    EXPECT_EQ(s.sensorRange, (std::array<unsigned char, 8>{}));
  }
  EXPECT_EQ(Sent(), Cmds{});
  EXPECT_EQ(packets, 0);
  // A terminal block does not stop the SORN II.
  Connected(kSorn);
  p->F_.TerminalBlockUse = true;
  EXPECT_EQ(p->SensorRangeSetting(1, 2), 0);
  EXPECT_EQ(Sent(), Cmds{"s{21,3,1,1}"});
}

TEST_F(PelmoraOutputsTest, RangeOnUsbSensorsGoesToTheUsbHook) {
  Connected(kUsb);
  std::vector<std::pair<int, std::string>> packets;
  p->Outputs().sendUsbRangePacket = [&](TPelmora&, const pel::setup::UsbRangePacket& pk) {
    packets.push_back({pk.channel, pk.data});
  };
  EXPECT_EQ(p->SensorRangeSetting(2, 2), 0);
  EXPECT_EQ(p->SensorRangeSetting(4, 0), 0);
  EXPECT_EQ(packets, (std::vector<std::pair<int, std::string>>{{1, "2"}, {3, "0"}}));
  EXPECT_EQ(ProcessState().sensorRange[1], 2);
  EXPECT_EQ(Sent(), Cmds{});
}

TEST_F(PelmoraOutputsTest, ZeroSettingOnABox) {
  p->F_.SetZeroMode = true;
  for (int m : {kSorn, kQor, kQor3}) {
    Connected(m);
    EXPECT_EQ(p->SensorZeroSetting(2, true), 0);
    EXPECT_EQ(p->SensorZeroSetting(2, false), 0);
    EXPECT_EQ(Sent(), (Cmds{"s{22,2,1}", "s{22,2,0}"}));
    EXPECT_EQ(p->SensorZeroSetting(1, true), 0);  // not a calibration sensor
    EXPECT_EQ(Sent(), Cmds{});
  }
  struct Case {
    bool zeroMode, terminalBlock;
    int ch, error;
  };
  const Case refusals[] = {{false, false, 2, 19}, {true, true, 2, 19}, {true, false, 0, 12},
                           {true, false, 9, 12},  {true, false, 6, 10}};
  for (const auto& c : refusals) {
    p->F_.SetZeroMode = c.zeroMode;
    p->F_.TerminalBlockUse = c.terminalBlock;
    EXPECT_EQ(p->SensorZeroSetting(c.ch, true), c.error) << c.ch;
    EXPECT_EQ(p->ErrorNumber(), c.error);
  }
  EXPECT_EQ(Sent(), Cmds{});
  EXPECT_EQ(Errors(), (std::vector<int>{19, 19, 12, 12, 10}));
}

TEST_F(PelmoraOutputsTest, CalibrationPointsAndTheHandOverOnUsbSensors) {
  Connected(kUsb);
  p->F_.SetZeroMode = true;
  auto& cal = p->Outputs().calibration;
  cal.ClearPoints();
  auto& s = ProcessState();
  s.usbNewReading = true;
  p->Outputs().latestUsbReading[1] = 2.0;
  EXPECT_TRUE(p->SetCalibratData(2, 2.5));
  EXPECT_FALSE(s.usbNewReading);
  EXPECT_EQ(cal.PointCount(), 1);
  EXPECT_EQ(p->SensorZeroSetting(2, true), 0);
  auto taken = cal.PeekPending();
  ASSERT_TRUE(taken);
  EXPECT_TRUE(taken->order.on);
  EXPECT_EQ(taken->order.channel, 1);
  EXPECT_DOUBLE_EQ(taken->order.coefficients.constant, 0.5);
  EXPECT_DOUBLE_EQ(taken->order.coefficients.linear, 1.0);
  EXPECT_DOUBLE_EQ(taken->order.coefficients.quadratic, 0.0);

  // Equal readings give no line: refused, and the calibration waiting stays.
  EXPECT_TRUE(p->SetCalibratData(2, 3.0));
  EXPECT_EQ(p->SensorZeroSetting(2, true), 11);
  auto still = cal.PeekPending();
  ASSERT_TRUE(still);
  EXPECT_EQ(still->ticket, taken->ticket);
  EXPECT_DOUBLE_EQ(still->order.coefficients.constant, 0.5);

  // Off hands over the reset; with no device present nothing is handed over.
  EXPECT_EQ(p->SensorZeroSetting(2, false), 0);
  auto reset = cal.PeekPending();
  ASSERT_TRUE(reset);
  EXPECT_FALSE(reset->order.on);
  usbDevices = 0;
  EXPECT_EQ(p->SensorZeroSetting(2, true), 0);
  EXPECT_EQ(cal.PeekPending()->ticket, reset->ticket);
  usbDevices = 1;
  EXPECT_EQ(p->SensorZeroSetting(6, true), 10);
  EXPECT_EQ(cal.PeekPending()->ticket, reset->ticket);
  EXPECT_EQ(Errors(), (std::vector<int>{11, 10}));
  EXPECT_EQ(Sent(), Cmds{});
}

TEST_F(PelmoraOutputsTest, SensorIdFiveGetsTheBrokenLine) {
  Connected(kUsb);
  p->F_.SetZeroMode = true;
  ProcessState().sensors.ch[0].sensorId = 5;
  auto& cal = p->Outputs().calibration;
  cal.ClearPoints();
  p->Outputs().latestUsbReading[0] = 3.9;
  ASSERT_TRUE(p->SetCalibratData(1, 4.01));
  p->Outputs().latestUsbReading[0] = 9.6;
  ASSERT_TRUE(p->SetCalibratData(1, 9.2));
  EXPECT_EQ(p->SensorZeroSetting(1, true), 0);
  const auto t = cal.PeekPending();
  ASSERT_TRUE(t);
  EXPECT_TRUE(t->order.twoSegment);
  EXPECT_DOUBLE_EQ(t->order.segmentBreak, 7.0);
  const auto& a = t->order.coefficients;
  const auto& b = t->order.second;
  EXPECT_NEAR(a.constant + a.linear * 3.9, 4.01, 1e-12);
  EXPECT_NEAR(a.constant + a.linear * 7.0, 7.0, 1e-12);
  EXPECT_NEAR(b.constant + b.linear * 9.6, 9.2, 1e-12);
  EXPECT_NEAR(b.constant + b.linear * 7.0, 7.0, 1e-12);
}

TEST_F(PelmoraOutputsTest, SetCalibratDataRules) {
  auto& cal = p->Outputs().calibration;
  cal.ClearPoints();
  p->F_.SetZeroMode = true;
  Connected(kUsb);
  for (int ch : {0, 9, -3}) {
    EXPECT_FALSE(p->SetCalibratData(ch, 1.0));
    EXPECT_EQ(p->ErrorNumber(), 12);
  }
  EXPECT_EQ(Errors(), (std::vector<int>{12, 12, 12}));
  p->F_.ErrorNumber = 4;  // left alone unless 12 is raised
  for (int i = 0; i < 6; ++i) EXPECT_TRUE(p->SetCalibratData(2, i));
  EXPECT_EQ(cal.PointCount(), 5);  // the sixth is dropped
  EXPECT_EQ(cal.Points().back().reference, 4.0);
  EXPECT_FALSE(p->SetCalibratData(1, 1.0));  // not a calibration sensor: points cleared
  EXPECT_EQ(cal.PointCount(), 0);
  Connected(kTolemic);
  EXPECT_TRUE(p->SetCalibratData(2, 1.0));
  EXPECT_EQ(cal.PointCount(), 0);
  Connected(kSorn);
  EXPECT_FALSE(p->SetCalibratData(2, 1.0));
  Connected(kUsb);
  p->F_.SetZeroMode = false;
  EXPECT_FALSE(p->SetCalibratData(2, 1.0));
  EXPECT_EQ(cal.PointCount(), 0);
  EXPECT_EQ(p->ErrorNumber(), 4);
  EXPECT_EQ(Errors(), std::vector<int>{});
}

TEST_F(PelmoraOutputsTest, SignInvertPerChannel) {
  p->F_.signInvert.fill(false);
  p->SetSignInvert(3, true);
  p->SetSignInvert(8, true);
  p->SetSignInvert(0, true);
  p->SetSignInvert(9, true);
  EXPECT_EQ(p->F_.signInvert, (std::array<bool, 8>{false, false, true, false, false, false, false, true}));
  EXPECT_TRUE(p->GetSignInvert(3));
  EXPECT_TRUE(p->GetSignInvert(8));
  EXPECT_FALSE(p->GetSignInvert(1));
  EXPECT_FALSE(p->GetSignInvert(0));
  EXPECT_FALSE(p->GetSignInvert(9));
  p->SetSignInvert(3, false);
  EXPECT_FALSE(p->GetSignInvert(3));
  p->F_.RunningMode = -1;  // neither looks at the link
  p->SetSignInvert(1, true);
  EXPECT_TRUE(p->GetSignInvert(1));
}

// The set-up calls work on the component's own fields: what an event
// handler sets while such a call pumps (its commands' sends) is kept.
TEST_F(PelmoraOutputsTest, AFieldSetByAHandlerDuringASetUpCallsPumpIsKept) {
  struct Case {
    const char* name;
    std::function<void()> call;
  };
  const Case cases[] = {
      {"SensorRangeSetting", [&] { p->SensorRangeSetting(1, 1); }},
      {"DemoOutput", [&] {
         ProcessState().pwmOptionStored = true;
         p->DemoOutput(true);
         p->DemoOutput(false);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    p->F_.NoOfStroboSlit = 1;
    p->LoopCount(3);
    int pumps = 0;
    rig.host->onPump = [&] {
      if (pumps++ > 0) return;
      p->F_.NoOfStroboSlit = 9;
      p->LoopCount(77);
      ProcessState().sensors.ch[5].name = "set in the pump";
    };
    c.call();
    rig.host->onPump = nullptr;
    EXPECT_GT(pumps, 0);
    EXPECT_EQ(p->NoOfStroboSlit(), 9);
    EXPECT_EQ(p->LoopCount(), 77);
    EXPECT_EQ(ProcessState().sensors.ch[5].name, "set in the pump");
    Errors();
  }
}

}  // namespace
