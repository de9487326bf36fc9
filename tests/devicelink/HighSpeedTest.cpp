// High-speed captures, the bank directory, scope preparation and the 8-port
// switch over in-process fakes: refusals and what goes out, the capture's
// start and end, directory replies, the bank text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "devicelink/Pelmora.h"
#include "devicelink/sensors/RegistryPaths.h"
#include "FakeLink.h"
#include "platform/Registry.h"

namespace {
using pel::link::ProcessState;
using Strings = std::vector<std::string>;

const char* const kSorn = "{Pelmora SORN II}";
const char* const kAster = "{Pelmora ASTER}";
const char* const kQor = "{Pelmora QOR}";
const char* const kVaxo = "{Pelmora VAXO}";

class HighSpeedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    p.reset();
    errors.clear();
    replies.clear();
    starts = stops = 0;
    mark = 0;
    p = TPelmora::Create(nullptr, LinkFlavour::Studio(), rig.Env());
    p->PelmoraError([this](TPelmora&, int n) { errors.push_back(n); });
    p->StartExperiment([this](TPelmora&) { ++starts; });
    p->StopExperiment([this](TPelmora&) { ++stops; });
  }
  // Box models on COM3; `replies` answers the memory commands.
  void Connect(const std::string& identify) {
    rig.serial->listed.push_back("COM3");
    rig.serial->answering["COM3"] = [this, identify](const std::string& cmd) -> std::string {
      if (cmd == "s{10,3}") return identify + "\r\n";
      if (cmd == "s{16,0}") return "{1}\r\n";
      if (cmd == "s{11,3}") return "{1}\r\n";
      if (cmd == "s{11,5}") return "{8}\r\n";
      if (cmd == "s{20}") return idReply;
      if (cmd == "s{20,2}") return "{0,0,0,0,0,0,0,0}\r\n";
      const auto it = replies.find(cmd);
      return it == replies.end() ? std::string() : it->second;
    };
    p->VCPort(3);
    ASSERT_EQ(p->InitializeComm(), 0);
    p->F_.CheckForExperiment = false;
    Active({0});
    errors.clear();
    mark = rig.serial->written.size();
  }
  void Active(std::initializer_list<int> channels) {
    auto& s = ProcessState();
    for (auto& c : s.sensors.ch) c.active = false;
    for (int c : channels) s.sensors.ch[static_cast<std::size_t>(c)].active = true;
  }
  std::vector<std::string> Sent() {
    std::vector<std::string> out;
    for (std::size_t i = mark; i < rig.serial->written.size(); ++i) {
      std::string w = rig.serial->written[i];
      w = w.substr(w.find(':') + 1);
      out.push_back(w.substr(0, w.size() - 2));
    }
    mark = rig.serial->written.size();
    return out;
  }
  // Only the capture and memory commands (a start identifies the sensors first).
  Strings MemorySent() {
    Strings out;
    for (const std::string& c : Sent())
      if (c.rfind("s{8", 0) == 0) out.push_back(c);
    return out;
  }
  void Deliver(const std::string& text) { rig.serial->Deliver(text); }

  fake::Rig rig;
  std::shared_ptr<TPelmora> p;
  std::map<std::string, std::string> replies;
  std::string idReply = "{0,0,0,0}\r\n";  // a capture's start identifies the sensors
  std::vector<int> errors;
  int starts = 0, stops = 0;
  std::size_t mark = 0;
};

TEST_F(HighSpeedTest, RefusalsRaiseTheirErrorAndSendNothing) {
  struct Case {
    const char* name;
    const char* model;
    int runningMode;
    std::function<int(TPelmora&)> call;  // the error it returns (or ErrorNumber after it)
    int error;
  };
  auto errorAfter = [](std::function<void(TPelmora&)> f) {
    return [f](TPelmora& c) {
      f(c);
      return c.ErrorNumber();
    };
  };
  const std::vector<Case> cases = {
      {"setting while running", kSorn, 1, [](TPelmora& c) { return c.HighSpeedSetting(1, 0.001); }, 27},
      {"setting on a Vaxo", kVaxo, 0, [](TPelmora& c) { return c.HighSpeedSetting(1, 0.001); }, 23},
      {"setting channel 0", kSorn, 0, [](TPelmora& c) { return c.HighSpeedSetting(0, 0.001); }, 23},
      {"setting channel 9", kAster, 0, [](TPelmora& c) { return c.HighSpeedSetting(9, 0.001); }, 23},
      {"setting an inactive channel", kQor, 0, [](TPelmora& c) { return c.HighSpeedSetting(2, 0.001); }, 23},
      {"setting above 60 s", kQor, 0, [](TPelmora& c) { return c.HighSpeedSetting(1, 60.0001); }, 24},
      {"setting below 0.1 ms", kQor, 0, [](TPelmora& c) { return c.HighSpeedSetting(1, 0.00009); }, 24},
      {"setting NaN", kQor, 0, [](TPelmora& c) { return c.HighSpeedSetting(1, std::nan("")); }, 24},
      {"start on a Vaxo", kVaxo, 0, [](TPelmora& c) { return c.HighSpeedExperiment(true, {}); }, 0},
      {"stop on a Vaxo", kVaxo, 0, [](TPelmora& c) { return c.HighSpeedExperiment(false, {}); }, 0},
      {"start while running", kSorn, 1, [](TPelmora& c) { return c.HighSpeedExperiment(true, {}); }, 22},
      {"stop while identifying", kSorn, 4, [](TPelmora& c) { return c.HighSpeedExperiment(false, {}); }, 22},
      {"start during a capture", kAster, 5, [](TPelmora& c) { return c.HighSpeedExperiment(true, {}); }, 22},
      {"directory while running", kSorn, 1, [](TPelmora& c) { return c.HighSpeedExplorer(); }, 27},
      {"directory on a Vaxo", kVaxo, 0, [](TPelmora& c) { return c.HighSpeedExplorer(); }, 27},
      {"bank info while running", kSorn, 6, errorAfter([](TPelmora& c) { EXPECT_EQ(c.ReadBankInfo(1), ""); }), 27},
      {"bank info on a Vaxo", kVaxo, 0, errorAfter([](TPelmora& c) { EXPECT_EQ(c.ReadBankInfo(1), ""); }), 27},
      {"bank info of bank 0", kSorn, 0, errorAfter([](TPelmora& c) { EXPECT_EQ(c.ReadBankInfo(0), ""); }), 28},
      {"bank info past the directory", kAster, 0, errorAfter([](TPelmora& c) { EXPECT_EQ(c.ReadBankInfo(2), ""); }),
       28},
      {"download while running", kSorn, 1, errorAfter([](TPelmora& c) { c.LoadMemoryData(1, true); }), 27},
      {"download on a Vaxo", kVaxo, 0, errorAfter([](TPelmora& c) { c.LoadMemoryData(1, true); }), 27},
      {"download of bank 0", kQor, 0, errorAfter([](TPelmora& c) { c.LoadMemoryData(0, true); }), 27},
      {"download past the directory", kAster, 0, errorAfter([](TPelmora& c) { c.LoadMemoryData(2, true); }), 27},
      {"download stop while idle", kAster, 0, errorAfter([](TPelmora& c) { c.LoadMemoryData(1, false); }), 0},
      {"download of a bank without a recorded channel", kSorn, 0,
       errorAfter([](TPelmora& c) { c.LoadMemoryData(1, true); }), 27},
      {"erase on a Sorn II", kSorn, 0,
       [](TPelmora& c) {
         c.F_.ErrorNumber = 7;  // left as it is
         return c.EraseMemoryData(1, true);
       },
       7},
      {"erase past the directory", kAster, 0, [](TPelmora& c) { return c.EraseMemoryData(2, false); }, 28},
      {"erase during a capture", kAster, 5, [](TPelmora& c) { return c.EraseMemoryData(1, true); }, 27},
  };
  for (const Case& c : cases) {
    SetUp();
    Connect(c.model);
    p->F_.MemoryTotalIndex = 1;
    p->F_.RunningMode = c.runningMode;
    EXPECT_EQ(c.call(*p), c.error) << c.name;
    EXPECT_EQ(p->ErrorNumber(), c.error) << c.name;
    EXPECT_EQ(errors, c.error && c.error != 7 ? std::vector<int>{c.error} : std::vector<int>{}) << c.name;
    EXPECT_EQ(Sent(), Strings{}) << c.name;
    EXPECT_EQ(p->RunningMode(), c.runningMode) << c.name;
    EXPECT_EQ(starts + stops, 0) << c.name;
  }
}

TEST_F(HighSpeedTest, SettingSendsTheIntervalIn01msUnits) {
  struct Case {
    const char* model;
    int channel;
    double seconds;
    const char* command;
    const char* ack;
    int error;
  };
  const Case cases[] = {
      {kSorn, 1, 0.0005, "s{82,1,5}", "[09]\r\n", 0},
      {kQor, 1, 0.00123, "s{82,1,12}", "[09]\r\n", 0},
      {kAster, 3, 60, "s{82,3,600000}", "{1}\r\n", 0},
      {kSorn, 2, 0.0001, "s{82,2,1}", "[09]\r\n", 0},
      {kSorn, 1, 0.5, "s{82,1,5000}", "[02]\r\n", 26},
      {kAster, 1, 0.5, "s{82,1,5000}", "[09]\r\n", 26},  // an Aster acknowledges with "{1}"
      {kQor, 1, 0.5, "s{82,1,5000}", "", 26},
  };
  for (const Case& c : cases) {
    SetUp();
    Connect(c.model);
    Active({0, 1, 2});
    replies[c.command] = c.ack;
    EXPECT_EQ(p->HighSpeedSetting(c.channel, c.seconds), c.error) << c.command;
    EXPECT_EQ(Sent(), Strings{c.command});
    EXPECT_EQ(ProcessState().highSpeed.channel, c.channel) << "kept even when refused";
  }
}

TEST_F(HighSpeedTest, CaptureStartsAndEndsOnTheBanksLine) {
  idReply = "{12,0,0,0}\r\n";
  Connect(kQor);
  replies["s{80,1}"] = "[01]\r\n";
  EXPECT_EQ(p->HighSpeedExperiment(true, TxHighSpeedRunMode::CommandMode), 0);
  EXPECT_EQ(MemorySent(), Strings{"s{80,1}"});
  EXPECT_EQ(p->RunningMode(), 5);
  EXPECT_EQ(p->ExperimentMode(), 8);
  EXPECT_TRUE(p->Run());
  EXPECT_EQ(starts, 1);
  EXPECT_EQ(ProcessState().highSpeed.channel, 1) << "an unset channel becomes A";

  Deliver("[00,12345]\r\n");  // 11 characters: not the end
  EXPECT_EQ(p->RunningMode(), 5);
  EXPECT_EQ(stops, 0);
  Deliver("[01,00000,05,012,000,000,0003]\r\n");  // 31 characters with its CR
  EXPECT_EQ(p->RunningMode(), 0);
  EXPECT_EQ(p->ExperimentMode(), 0);
  EXPECT_FALSE(p->Run());
  EXPECT_FALSE(ProcessState().receive.frameMode);
  EXPECT_EQ(stops, 1);
  EXPECT_TRUE(errors.empty());
}

TEST_F(HighSpeedTest, CaptureRefusedStartsAndStops) {
  idReply = "{12,0,0,0}\r\n";
  Connect(kQor);
  replies["s{80,1}"] = "[02]\r\n";
  EXPECT_EQ(p->HighSpeedExperiment(true, TxHighSpeedRunMode::CommandMode), 28);
  EXPECT_EQ(MemorySent(), Strings{"s{80,1}"});
  EXPECT_EQ(p->RunningMode(), 0);
  EXPECT_EQ(starts, 0);

  ProcessState().highSpeed.channel = 2;  // B is not active
  EXPECT_EQ(p->HighSpeedExperiment(true, TxHighSpeedRunMode::CommandMode), 25);
  EXPECT_EQ(MemorySent(), Strings{});
  EXPECT_EQ(p->RunningMode(), 0);
  EXPECT_EQ(starts, 0);

  SetUp();
  idReply = "{12,0,0,0}\r\n";
  Connect(kAster);
  replies["s{83}"] = "{0}\r\n";
  EXPECT_EQ(p->HighSpeedExperiment(true, TxHighSpeedRunMode::InterfaceMode), 28);
  EXPECT_EQ(MemorySent(), Strings{"s{83}"});

  replies["s{83}"] = "{1}\r\n";
  EXPECT_EQ(p->HighSpeedExperiment(true, TxHighSpeedRunMode::InterfaceMode), 0);
  EXPECT_EQ(p->RunningMode(), 5);
  EXPECT_EQ(p->HighSpeedExperiment(false, TxHighSpeedRunMode::CommandMode), 0);
  EXPECT_EQ(MemorySent(), (Strings{"s{83}", "s{80,0}", "s{80,0}", "s{80,0}"}));
  EXPECT_EQ(p->RunningMode(), 0);
  EXPECT_EQ(p->ExperimentMode(), 0);
  EXPECT_EQ(stops, 1);
}

TEST_F(HighSpeedTest, SornDirectoryReplies) {
  struct Case {
    const char* reply;
    int componentSensors;  // channels A..C with a sensor ID
    int total;
    int error;
    std::array<int, 3> ids, columns;
    double seconds;
    int records;
  };
  const Case cases[] = {
      {"[01,00001,00,012,000,005,0003]\r\n", 2, 1, 0, {12, 0, 5}, {1, 0, 2}, 0.001, 45},
      {"[01,00000,05,012,013,014,0002]\r\n", 0, 1, 0, {12, 13, 14}, {1, 2, 3}, 0.0005, 60},
      {"[01,00001,00,012,000,000,0000]\r\n", 1, 0, 0, {12, 0, 0}, {1, 0, 0}, 0.001, 0},
      {"[01,00001,00,012,000,005,00", 1, 0, 0, {12, 0, 5}, {1, 0, 2}, 0.001, 0},  // cut in the block count
      {"[01,00001,00,01", 1, 0, 0, {-1, -1, -1}, {-1, -1, -1}, 0.001, 0},         // cut in sensor A
      {"{1}\r\n", 1, 0, 22, {-1, -1, -1}, {-1, -1, -1}, -1.0, 0},                  // too short
      {"", 1, 0, 22, {-1, -1, -1}, {-1, -1, -1}, -1.0, 0},
  };
  for (const Case& c : cases) {
    SetUp();
    Connect(kSorn);
    for (int i = 0; i < 3; ++i) ProcessState().sensors.ch[static_cast<std::size_t>(i)].sensorId = i < c.componentSensors ? 7 : 0;
    replies["s{80,3}"] = c.reply;
    EXPECT_EQ(p->HighSpeedExplorer(), c.error) << c.reply;
    EXPECT_EQ(Sent(), Strings{"s{80,3}"});
    EXPECT_EQ(p->MemoryTotalIndex(), c.total) << c.reply;
    const auto& bank = ProcessState().highSpeed.directory.banks[0];
    for (std::size_t i = 0; i < 3; ++i) {
      EXPECT_EQ(bank.sensorId[i], c.ids[i]) << c.reply;
      EXPECT_EQ(bank.dataColumn[i], c.columns[i]) << c.reply;
    }
    EXPECT_DOUBLE_EQ(bank.samplingTime, c.seconds) << c.reply;
    EXPECT_EQ(bank.recordsPerChannel, c.records) << c.reply;
  }
}

TEST_F(HighSpeedTest, AsterDirectoryAndErase) {
  Connect(kAster);
  replies["s{80,10}"] = "{1,0,1,0}\r\n";
  replies["s{80,11,1}"] = "{00001,00,012,000,000,00500}\r\n";
  replies["s{80,11,3}"] = "{00000,05,012,000,005,00090}\r\n";
  EXPECT_EQ(p->HighSpeedExplorer(), 0);
  EXPECT_EQ(Sent(), (Strings{"s{80,10}", "s{80,11,1}", "s{80,11,3}"}));
  EXPECT_EQ(p->MemoryTotalIndex(), 2);
  const auto& dir = ProcessState().highSpeed.directory;
  EXPECT_EQ(dir.banks[0].bankNumber, 1);
  EXPECT_EQ(dir.banks[0].recordsPerChannel, 500);
  EXPECT_EQ(dir.banks[1].bankNumber, 3);
  EXPECT_EQ(dir.banks[1].recordsPerChannel, 45);
  EXPECT_EQ(dir.banks[1].dataColumn, (std::array<int, 4>{1, 0, 2, -1}));

  replies["s{80,14,3}"] = "{1}\r\n";
  replies["s{80,10}"] = "{1,0,0,0}\r\n";
  EXPECT_EQ(p->EraseMemoryData(2, false), 0);
  EXPECT_EQ(Sent(), (Strings{"s{80,14,3}", "s{80,10}", "s{80,11,1}"}));
  EXPECT_EQ(p->MemoryTotalIndex(), 1);

  // More banks flagged than the directory holds; a bank whose description
  // is empty is not listed; erasing all waits a bounded time for a reply.
  std::string flags = "{";
  for (int k = 0; k < 20; ++k) flags += k ? ",1" : "1";
  replies["s{80,10}"] = flags + "}\r\n";
  replies["s{80,11,1}"] = "{}\r\n";
  for (int k = 2; k <= 16; ++k) replies["s{80,11," + std::to_string(k) + "}"] = "{00001,00,012,000,000,00045}\r\n";
  const long long before = rig.host->now;
  EXPECT_EQ(p->EraseMemoryData(0, true), 0);
  EXPECT_LE(rig.host->now - before, 3000 + 16 * 1000 + 2000);
  const Strings sent = Sent();
  EXPECT_EQ(sent.front(), "s{80,13}");
  EXPECT_EQ(sent.back(), "s{80,11,16}");
  EXPECT_EQ(p->MemoryTotalIndex(), 15);
  EXPECT_EQ(dir.banks[0].bankNumber, 2);
  EXPECT_EQ(dir.banks[0].recordsPerChannel, 45);
  EXPECT_EQ(dir.banks[14].bankNumber, 16);
  EXPECT_EQ(dir.banks[15].bankNumber, 0);
}

TEST_F(HighSpeedTest, BankInfoText) {
  using pel::reg::Root;
  const std::string key = pel::sensors::paths::sensorInfoKey(p->LanguageID()).substr(1);
  const std::string unit = pel::sensors::paths::unitValue(12);
  const std::string messages = std::string(pel::sensors::paths::kMessageKey).substr(1);
  const bool hadMessages = pel::reg::keyExists(Root::CurrentUser, messages);
  ASSERT_TRUE(pel::reg::writeString(Root::CurrentUser, key, unit, "Voltage(V)"));
  Connect(kSorn);
  replies["s{80,3}"] = "[01,00001,00,012,000,000,0017]\r\n";
  ProcessState().sensors.ch[0].sensorId = 12;
  ASSERT_EQ(p->HighSpeedExplorer(), 0);
  EXPECT_EQ(p->ReadBankInfo(1), "1,0.00100000,Voltage(V),none,none,510;12,0,0");
  const auto& ch = ProcessState().sensors.ch;
  EXPECT_EQ(ch[0].unit, "Voltage(V)");
  EXPECT_EQ(ch[1].unit, "none");
  EXPECT_EQ(ch[2].unit, "none");
  if (!hadMessages) {
    pel::reg::deleteTree(Root::CurrentUser, messages);
  } else {
    HKEY k;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_SET_VALUE, &k) == ERROR_SUCCESS) {
      RegDeleteValueA(k, unit.c_str());
      RegCloseKey(k);
    }
  }
}

TEST_F(HighSpeedTest, DigitalTimingOptions) {
  p->SetDigitalTiming(true, true, true);
  EXPECT_EQ(ProcessState().digitalTimingOptions, (std::array<bool, 3>{true, false, false}));
  p->SetDigitalTiming(false, true, false);
  EXPECT_EQ(ProcessState().digitalTimingOptions, (std::array<bool, 3>{false, true, false}));
}

TEST_F(HighSpeedTest, ScopePreparation) {
  Connect(kQor);
  p->F_.NoOfData = 200;
  struct TimeCase {
    int n;
    double seconds;  // 0: refused
  };
  for (const TimeCase c : {TimeCase{1, 0.000025}, {40, 0.001}, {10000, 0.25}, {50, 0}, {0, 0}, {-4, 0}}) {
    p->F_.SamplingTime = 0.2;
    p->SetScopeTime(c.n);
    if (c.seconds > 0) {
      EXPECT_DOUBLE_EQ(p->SamplingTime(), c.seconds) << c.n;
      EXPECT_DOUBLE_EQ(p->ExperimentLength(), 200 * c.seconds) << c.n;
      EXPECT_EQ(Sent(), Strings{"s{89," + std::to_string(c.n) + "}"});
    } else {
      EXPECT_DOUBLE_EQ(p->SamplingTime(), 0.2) << c.n;
      EXPECT_EQ(Sent(), Strings{}) << c.n;
    }
  }
  struct RowsCase {
    int rows, runningMode, noOfData;
  };
  for (const RowsCase c : {RowsCase{25, 0, 250}, {20, 0, 200}, {32, 0, 320}, {33, 0, 777}, {19, 0, 777}, {25, 1, 777}}) {
    p->F_.NoOfData = 777;
    p->F_.RunningMode = c.runningMode;
    p->SetScopeRows(c.rows);
    EXPECT_EQ(p->NoOfData(), c.noOfData) << c.rows;
  }
  p->F_.RunningMode = 0;
  struct SensorCase {
    const char* list;
    std::array<int, 8> map;
    int count;
  };
  const SensorCase sensors[] = {
      {"3,1", {0, -1, 1, -1, -1, -1, -1, -1}, 2},
      {"0,9,x", {-1, -1, -1, -1, -1, -1, -1, -1}, 0},
      {"8, 2,2", {-1, 0, -1, -1, -1, -1, -1, 1}, 2},
      {"", {-1, -1, -1, -1, -1, -1, -1, -1}, 0},
  };
  for (const SensorCase& c : sensors) {
    p->SetScopeSensor(c.list);
    EXPECT_EQ(ProcessState().highSpeed.scopeColumns.map, c.map) << c.list;
    EXPECT_EQ(ProcessState().highSpeed.scopeColumns.count, c.count) << c.list;
  }
  p->SetScopeTriggerMode(1, 2, 0.5);
  EXPECT_EQ(Sent(), Strings{});
}

TEST_F(HighSpeedTest, ScopeStartReadsTheRowsTheHostSet) {
  Connect(kQor);
  p->SetScopeRows(25);
  p->F_.CHInputMode = CHInput::Scope;
  EXPECT_EQ(p->Pelmora(true), 0);
  EXPECT_EQ(p->RunningMode(), 6);
  EXPECT_EQ(p->NoOfData(), 250);
  const Strings sent = Sent();
  EXPECT_NE(std::find(sent.begin(), sent.end(), "s{88,1,25}"), sent.end());
}

TEST_F(HighSpeedTest, EightPortSwitch) {
  struct Case {
    bool mode8Port, value, result;
  };
  for (const Case c : {Case{true, true, true}, {true, false, false}, {false, true, false}, {false, false, false}}) {
    p->F_.Mode8Port = c.mode8Port;
    p->F_.GetModeFor8Port = !c.result;
    EXPECT_EQ(p->SetChangeModeFor8Port(c.value), c.result);
    EXPECT_EQ(p->GetModeFor8Port(), c.result);
  }
}

}  // namespace
