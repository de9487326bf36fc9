// The sensor ID reply into the channel tables, and AutoSensorID's course
// with a scripted link.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "FakeSettings.h"
#include "devicelink/sensors/Identification.h"

namespace {
using namespace pel::sensors;
using pel::sensors::testing::FakeSettings;
using pel::sensors::testing::kMessage;
using pel::sensors::testing::kResolution;
using Ids = std::array<int, 8>;

Ids ids(const SensorChannels& t) {
  Ids out{};
  for (int i = 0; i < 8; ++i) out[i] = t.ch[i].sensorId;
  return out;
}
std::array<bool, 8> active(const SensorChannels& t) {
  std::array<bool, 8> out{};
  for (int i = 0; i < 8; ++i) out[i] = t.ch[i].active;
  return out;
}
void setIds(SensorChannels& t, const Ids& v) {
  for (int i = 0; i < 8; ++i) t.ch[i].sensorId = v[i];
}

constexpr bool T = true, F = false;

TEST(IdReply, Table) {
  FakeSettings s;
  s.set(kMessage, "AnalogModule", "3");
  const SensorRegistry reg(s);
  const Ids before{1, 2, 3, 4, 5, 6, 7, 8};
  struct Case {
    const char* what;
    const char* reply;
    bool mode8;
    int model;
    int wantError;
    Ids wantIds;
    bool wantTerminal;
  } cases[] = {
      {"4-port, one sensor", "{12,0,0,0}\r\n", F, 1, 0, {12, 0, 0, 0, 0, 0, 0, 0}, F},
      {"blank after the brace", "{ 12, 0, 5, 2}\r\n", F, 4, 0, {12, 0, 5, 2, 0, 0, 0, 0}, F},
      {"negatives become 0", "{5,-1,7,2}\r\n", F, 1, 0, {5, 0, 7, 2, 0, 0, 0, 0}, F},
      {"terminal block on a Sorn II", "{0,0,0,0}\r\n", F, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}, T},
      {"no terminal block elsewhere", "{0,0,0,0}\r\n", F, 7, 0, {0, 0, 0, 0, 0, 0, 0, 0}, F},
      {"module on D with a terminal block", "{0,0,0,3}\r\n", F, 0, 0, {0, 0, 0, 3, 0, 0, 0, 0}, T},
      {"time-out", "", F, 1, 30, {1, 2, 3, 4, 5, 6, 7, 8}, F},
      {"two IDs", "{5,6}\r\n", F, 1, 30, {1, 2, 3, 4, 5, 6, 7, 8}, F},
      {"no closing brace", "{5,6,7,8\r\n", F, 1, 30, {1, 2, 3, 4, 5, 6, 7, 8}, F},
      {"letter in field 2", "{9,x,9,9}\r\n", F, 1, 0, {9, 2, 3, 4, 5, 6, 7, 8}, F},
      {"letter in field 1", "{x,9,9,9}\r\n", F, 1, 0, {1, 2, 3, 4, 5, 6, 7, 8}, F},
      {"8-port with 4 IDs", "{1,2,3,4}\r\n", T, 4, 0, {1, 2, 3, 4, 0, 0, 0, 0}, F},
      {"8-port with 8 IDs", "{11,12,13,14,15,16,17,18}\r\n", T, 4, 0, {11, 12, 13, 14, 15, 16, 17, 18}, F},
      {"8-port with 6 IDs", "{11,12,13,14,15,16}\r\n", T, 4, 0, {11, 12, 13, 14, 15, 16, 7, 8}, F},
      {"8 IDs in 4-port mode", "{11,12,13,14,15,16,17,18}\r\n", F, 4, 0, {11, 12, 13, 14, 0, 0, 0, 0}, F},
      {"8-port, bad 7th", "{11,12,13,14,15,16,z,18}\r\n", T, 4, 0, {11, 12, 13, 14, 15, 16, 7, 8}, F},
      {"empty fields merge", "{1,,2,3,4}\r\n", F, 1, 0, {1, 2, 3, 4, 0, 0, 0, 0}, F},
  };
  for (const auto& c : cases) {
    SensorChannels t;
    setIds(t, before);
    bool terminal = !c.wantTerminal;  // overwritten either way
    EXPECT_EQ(applyIdReply(c.reply, c.mode8, c.model, reg, t, terminal), c.wantError) << c.what;
    EXPECT_EQ(ids(t), c.wantIds) << c.what;
    EXPECT_EQ(terminal, c.wantTerminal) << c.what;
  }
}

TEST(IdReply, ActiveFlags) {
  FakeSettings s;
  s.set(kMessage, "AnalogModule", "x,3");
  s.set(kMessage, "PowerModule", "21");
  const SensorRegistry reg(s);

  SensorChannels t;
  bool terminal = false;
  t.ch[1].terminalSelection = true;
  applyIdReply("{12,0,0,0}\r\n", false, 0, reg, t, terminal);
  EXPECT_EQ(active(t), (std::array<bool, 8>{T, F, F, F, F, F, F, F}));
  EXPECT_FALSE(t.ch[1].terminalSelection) << "cleared without a terminal block";

  // Terminal block: the activity is the CHA..CHD selection.
  t = {};
  t.ch[0].terminalSelection = true;
  t.ch[2].terminalSelection = true;
  applyIdReply("{0,0,0,0}\r\n", false, 0, reg, t, terminal);
  EXPECT_EQ(active(t), (std::array<bool, 8>{T, F, T, F, F, F, F, F}));
  EXPECT_TRUE(t.ch[0].terminalSelection);

  // D follows its selection unless it carries a module.
  t = {};
  applyIdReply("{0,0,0,7}\r\n", false, 0, reg, t, terminal);
  EXPECT_FALSE(t.ch[3].active);
  applyIdReply("{0,0,0,3}\r\n", false, 0, reg, t, terminal);
  EXPECT_TRUE(t.ch[3].active);
  t = {};
  applyIdReply("{0,0,0,21}\r\n", false, 2, reg, t, terminal);
  EXPECT_TRUE(t.ch[3].active);

  // Error 30 recomputes the flags from the IDs kept.
  t = {};
  setIds(t, {5, -1, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(applyIdReply("{1}", false, 1, reg, t, terminal), 30);
  EXPECT_EQ(ids(t), (Ids{5, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(active(t), (std::array<bool, 8>{T, F, F, F, F, F, F, F}));
}

TEST(IdentifyCommands, ByModeAndInput) {
  struct Case {
    bool mode8;
    InputMode input;
    bool timing;
    const char* first;
    const char* identify;
  } cases[] = {
      {F, InputMode::Analog, F, "s{11,1}", "s{20}"},  {F, InputMode::Scope, T, "s{11,1}", "s{20}"},
      {F, InputMode::Digital, T, "s{11,2}", "s{20}"}, {F, InputMode::Digital, F, "s{11,0}", "s{20}"},
      {T, InputMode::Digital, T, "s{11,5}", "s{20,2}"}, {T, InputMode::Analog, F, "s{11,5}", "s{20,2}"},
  };
  for (const auto& c : cases) {
    const auto cmd = identifyCommands(c.mode8, c.input, c.timing);
    EXPECT_EQ(cmd.inputMode, c.first);
    EXPECT_EQ(cmd.identify, c.identify);
  }
}

// Records what AutoSensorID does with the link and answers with a script.
class ScriptedLink final : public IdentifyLink {
 public:
  explicit ScriptedLink(int& errorNumber) : errorNumber_(errorNumber) {}
  void pumpAndPoll() override { log.push_back("pump"); }
  void sendCommand(std::string_view c) override { log.emplace_back(c); }
  void flushInput() override { log.push_back("flush"); }
  std::string waitReply() override {
    log.push_back("wait");
    if (duringWait) duringWait();
    return reply;
  }
  void raiseDeviceError(int n) override {
    errorNumber_ = n;
    raised.push_back(n);
  }
  std::string reply;
  std::function<void()> duringWait;
  std::vector<std::string> log;
  std::vector<int> raised;

 private:
  int& errorNumber_;
};

struct Component {
  int runningMode = 0;
  int errorNumber = 0;
  bool terminalBlockUse = false;
  SignInvertFlags signInvert{};
  IdentifyFields fields() { return {runningMode, errorNumber, terminalBlockUse, signInvert}; }
  SensorChannels t;
  ScriptedLink link{errorNumber};
  IdentifyOptions opt{1, false, InputMode::Analog, false};
};

FakeSettings namedSensors() {
  FakeSettings s;
  const std::string info = kMessage + "\\1033\\SensorInfo";
  s.set(info, "Name12", "Light");
  s.set(info, "Name5", "Voltage");
  return s;
}

TEST(AutoSensorId, BoxPathSendsTheCommandsAndLoadsTexts) {
  const FakeSettings s = namedSensors();
  const SensorRegistry reg(s);
  Component c;
  c.link.reply = "{12,0,5,0}\r\n";
  EXPECT_EQ(autoSensorId(c.link, reg, 1033, c.opt, c.fields(), c.t), 0);
  EXPECT_EQ(c.link.log, (std::vector<std::string>{"pump", "s{11,1}", "flush", "s{20}", "wait"}));
  EXPECT_EQ(c.runningMode, 0);
  EXPECT_EQ(c.t.ch[0].name, "Light");
  EXPECT_EQ(c.t.ch[2].name, "Voltage");
  EXPECT_EQ(c.t.ch[2].lastLoadedId, 5);

  c.opt = {4, true, InputMode::Analog, false};
  c.link.log.clear();
  c.link.reply = "{12,0,5,0,0,0,0,0}\r\n";
  EXPECT_EQ(autoSensorId(c.link, reg, 1033, c.opt, c.fields(), c.t), 0);
  // The 8-port switch's own answer is awaited, so it cannot pass for the IDs.
  EXPECT_EQ(c.link.log, (std::vector<std::string>{"pump", "s{11,5}", "wait", "flush", "s{20,2}", "wait"}));
}

TEST(AutoSensorId, TextsAreReadOnlyWhenAnIdChanged) {
  const FakeSettings s = namedSensors();
  const SensorRegistry reg(s);
  Component c;
  c.link.reply = "{12,0,0,0}\r\n";
  autoSensorId(c.link, reg, 1033, c.opt, c.fields(), c.t);
  const int reads = s.reads;
  EXPECT_GT(reads, 0);
  autoSensorId(c.link, reg, 1033, c.opt, c.fields(), c.t);
  EXPECT_EQ(s.reads - reads, 3) << "only the three module lists of channel D";
  c.link.reply = "{5,0,0,0}\r\n";
  autoSensorId(c.link, reg, 1033, c.opt, c.fields(), c.t);
  EXPECT_EQ(c.t.ch[0].name, "Voltage");
}

TEST(AutoSensorId, TooFewIdsIsError30AndKeepsTheIds) {
  const FakeSettings s = namedSensors();
  const SensorRegistry reg(s);
  Component c;
  c.link.reply = "{12,0,0,0}\r\n";
  autoSensorId(c.link, reg, 1033, c.opt, c.fields(), c.t);
  for (const char* reply : {"", "{5,6}\r\n"}) {
    c.link.reply = reply;
    EXPECT_EQ(autoSensorId(c.link, reg, 1033, c.opt, c.fields(), c.t), 30) << reply;
    EXPECT_EQ(c.errorNumber, 30);
    EXPECT_EQ(c.runningMode, 0);
    EXPECT_EQ(c.t.ch[0].sensorId, 12);
    EXPECT_TRUE(c.t.ch[0].active);
  }
  EXPECT_EQ(c.link.raised, (std::vector<int>{30, 30}));
  c.link.reply = "{12,0,0,0}\r\n";
  EXPECT_EQ(autoSensorId(c.link, reg, 1033, c.opt, c.fields(), c.t), 0);
  EXPECT_EQ(c.errorNumber, 0) << "cleared at entry";
}

TEST(AutoSensorId, RefusedWhenNotIdleWithNothingSent) {
  const FakeSettings s = namedSensors();
  const SensorRegistry reg(s);
  for (int mode : {-1, 1, 3, 4, 5, 6}) {
    Component c;
    c.runningMode = mode;
    c.link.reply = "{12,0,0,0}\r\n";
    EXPECT_EQ(autoSensorId(c.link, reg, 1033, c.opt, c.fields(), c.t), 22);
    EXPECT_TRUE(c.link.log.empty());
    EXPECT_EQ(c.link.raised, (std::vector<int>{22}));
    EXPECT_EQ(c.runningMode, mode);
    EXPECT_EQ(c.t.ch[0].sensorId, 0);
  }
}

TEST(AutoSensorId, UnnamedModelSendsNothing) {
  const FakeSettings s = namedSensors();
  const SensorRegistry reg(s);
  Component c;
  c.opt.modelState = 9;
  c.t.ch[1].sensorId = 12;  // left from before: loads, as the IDs differ from the loaded ones
  EXPECT_EQ(autoSensorId(c.link, reg, 1033, c.opt, c.fields(), c.t), 0);
  EXPECT_TRUE(c.link.log.empty());
  EXPECT_EQ(c.t.ch[1].sensorId, 12);
  EXPECT_EQ(c.t.ch[1].name, "Light");
  EXPECT_EQ(c.runningMode, 0);

  int usbRuns = 0;
  c.opt.modelState = 3;
  autoSensorId(c.link, reg, 1033, c.opt, c.fields(), c.t, [&] { ++usbRuns; });
  EXPECT_EQ(usbRuns, 1);
  EXPECT_TRUE(c.link.log.empty());
}

TEST(AutoSensorId, RunningModeIsRestoredWhenTheReloadThrows) {
  FakeSettings s = namedSensors();
  s.set(kResolution, "Resolution12_1", "fine");
  const SensorRegistry reg(s);
  Component c;
  c.link.reply = "{12,0,0,0}\r\n";
  EXPECT_THROW(autoSensorId(c.link, reg, 1033, c.opt, c.fields(), c.t), RegistryValueError);
  EXPECT_EQ(c.runningMode, 0);
  EXPECT_EQ(c.t.ch[0].lastLoadedId, 0) << "not noted as loaded: the next identification tries again";
  // Another operation is possible at once.
  s.set(kResolution, "Resolution12_1", "0.1");
  EXPECT_EQ(autoSensorId(c.link, reg, 1033, c.opt, c.fields(), c.t), 0);
  EXPECT_EQ(c.t.ch[0].resolution[0], 0.1);
}

TEST(AutoSensorId, CloseDuringTheWaitIsNotUndone) {
  const FakeSettings s = namedSensors();
  const SensorRegistry reg(s);
  Component c;
  c.link.reply = "{12,0,0,0}\r\n";
  c.link.duringWait = [&] { c.runningMode = -1; };
  autoSensorId(c.link, reg, 1033, c.opt, c.fields(), c.t);
  EXPECT_EQ(c.runningMode, -1);
  EXPECT_EQ(c.t.ch[0].name, "") << "no load once the identification was cut short";
}

}  // namespace
