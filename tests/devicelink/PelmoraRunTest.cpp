// Runs over in-process fakes: the start sequence of every model and input
// mode, the stop, records and the automatic stop, errors 5, 6, 7 and 22,
// stops and starts from event handlers, the one-shot reading.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "devicelink/Pelmora.h"
#include "platform/Registry.h"
#include "FakeLink.h"

namespace {
using pel::link::ProcessState;

class PelmoraRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    p = TPelmora::Create(nullptr, LinkFlavour::Studio(), rig.Env());
    p->PelmoraError([this](TPelmora&, int n) { errors.push_back(n); });
    p->StartExperiment([this](TPelmora&) { ++starts; });
    p->StopExperiment([this](TPelmora&) { ++stops; });
    p->DataReceived([this](TPelmora&, const std::wstring& d) { records.emplace_back(d.begin(), d.end()); });
    auto& s = ProcessState();
    for (std::size_t i = 0; i < 8; ++i) {
      s.sensors.ch[i].resolution = {0.1, 0.1, 0.1, 0.000001};
      s.sensors.ch[i].photogate = s.sensors.ch[i].forceSensor = false;
    }
    s.digitalTimingOptions = {true, false, false};
  }
  // Box models on COM3; replies as the interface gives them.
  void ConnectBox(const std::string& identify) {
    rig.serial->listed.push_back("COM3");
    rig.serial->answering["COM3"] = [this, identify](const std::string& cmd) -> std::string {
      if (cmd == "s{10,3}") return identify + "\r\n";
      if (cmd == "s{16,0}") return "{1}\r\n";
      if (cmd == "s{11,3}") return "{1}\r\n";
      if (cmd == "s{11,5}") return "{8}\r\n";
      if (cmd == "s{20}") return idReply;
      if (cmd == "s{20,2}") return "{0,0,0,0,0,0,0,0}\r\n";
      if (cmd == "s{10,5}") return currentReply;
      return {};
    };
    p->VCPort(3);
    ASSERT_EQ(p->InitializeComm(), 0);
    Ready();
  }
  void ConnectTolemic() {
    p->AutoDetect(false);
    p->UseOnlyTolemic(true);
    rig.worker->peer = [this](const std::string& cmd) -> std::string {
      if (cmd == "s{10,3}") return "{Pelmora SORN}\r\n";
      if (cmd == "s{20}") return idReply;
      if (cmd == "s{10,5}") return currentReply;
      return {};
    };
    ASSERT_EQ(p->InitializeComm(), 0);
    ASSERT_EQ(p->PelmoraType(), "Tolemic");
    Ready();
  }
  void Ready() {
    p->F_.CheckForExperiment = false;
    errors.clear();
    mark = rig.serial->written.size();
    tcpMark = rig.worker->sent.size();
  }
  void Active(std::initializer_list<int> channels) {
    auto& s = ProcessState();
    for (auto& c : s.sensors.ch) c.active = false;
    for (int c : channels) s.sensors.ch[static_cast<std::size_t>(c)].active = true;
  }
  // Commands written since the connect, without port prefix and line end.
  std::vector<std::string> Sent() const {
    std::vector<std::string> out;
    for (std::size_t i = mark; i < rig.serial->written.size(); ++i) {
      std::string w = rig.serial->written[i];
      w = w.substr(w.find(':') + 1);
      out.push_back(w.substr(0, w.size() - 2));
    }
    for (std::size_t i = tcpMark; i < rig.worker->sent.size(); ++i) {
      const std::string& w = rig.worker->sent[i];
      out.push_back(w.substr(0, w.size() - 2));
    }
    return out;
  }
  // A normal frame of length 39 (its CR counted).
  static std::string Frame39(const std::string& fields) {
    std::string body = fields;
    body.insert(0, 36 - body.size(), ' ');
    return "{" + body + "}\r\n";
  }

  fake::Rig rig;
  std::shared_ptr<TPelmora> p;
  std::vector<int> errors;
  std::vector<std::string> records;
  int starts = 0, stops = 0;
  std::size_t mark = 0, tcpMark = 0;
  std::string currentReply;
  std::string idReply = "{0,0,0,0}\r\n";  // the sensor IDs of A to D
};

struct StartCase {
  const char* name;
  bool tolemic;
  std::function<void(TPelmora&)> setup;
  std::vector<std::string> commands;
  int experimentMode;
  int runningMode;
};

TEST_F(PelmoraRunTest, StartCommandSequencesPerModelAndInputMode) {
  const std::vector<StartCase> cases = {
      {"analog 4-port", false, [](TPelmora&) {}, {"s{11,1}", "s{13,0}", "s{12,0.200}", "s{23,0}", "s{10,1}"}, 1, 1},
      {"analog 8-port", false, [](TPelmora& c) { c.F_.GetModeFor8Port = true; c.F_.NoOfOverSampling = 4; },
       {"s{11,5}", "s{13,0}", "s{12,0.200}", "s{23,4}", "s{10,1}"}, 1, 1},
      {"fast, channel C", false,
       [](TPelmora& c) {
         for (auto& ch : ProcessState().sensors.ch) ch.active = false;
         ProcessState().sensors.ch[2].active = true;
         c.F_.FastSamplingMode = true;
         c.F_.SamplingTime = 0.001;
       },
       {"s{11,1}", "s{13,3}", "s{12,0.001}", "s{23,0}", "s{10,1}"}, 2, 1},
      {"digital timing mode", false,
       [](TPelmora& c) {
         c.F_.CHInputMode = CHInput::Digital;
         c.F_.DigitalTimmingMode = true;
         c.F_.NoOfStroboSlit = 3;
         ProcessState().digitalTimingOptions = {false, true, true};
       },
       {"s{11,2}", "s{16,1,0,1,1}", "s{16,2,3}", "s{10,1}"}, 1, 1},
      {"timing stream, channel B", false,
       [](TPelmora& c) {
         for (auto& ch : ProcessState().sensors.ch) ch.active = false;
         ProcessState().sensors.ch[1].active = true;
         c.F_.CHInputMode = CHInput::Digital;
         c.F_.DigitalTimmingMode = false;
       },
       {"s{11,0}", "s{13,2}", "s{10,1}"}, 3, 1},
      {"scope", false, [](TPelmora& c) { c.F_.CHInputMode = CHInput::Scope; }, {"s{11,3}", "s{88,1,20}"}, 0, 6},
      {"stored PWM output", false,
       [](TPelmora& c) {
         ProcessState().pwmOptionStored = true;
         c.F_.AControlIndex = PWMOption::Sine_Wave;
         ProcessState().pinValue[0] = 5;
       },
       {"s{11,1}", "s{13,0}", "s{12,0.200}", "s{23,0}", "s{14,3,   5,  50,  50}", "s{10,1}"}, 1, 1},
      {"stored PWM frequency", false,
       [](TPelmora& c) {
         ProcessState().pwmOptionStored = true;
         c.F_.PWMFreqSelect = true;
       },
       {"s{11,1}", "s{13,0}", "s{12,0.200}", "s{23,0}", "s{15, 500}", "s{10,1}"}, 1, 1},
      {"Tolemic 0.2 s", true, [](TPelmora&) {},
       {"s{146,0}", "s{11,1}", "s{12,0.200000,51}", "s{23,0}", "s{10,1}"}, 1, 1},
      {"Tolemic below 0.01 s", true,
       [](TPelmora& c) {
         c.F_.SamplingTime = 0.005;
         c.F_.NoOfData = 2001;
       },
       {"s{146,1}", "s{11,1}", "s{12,0.005000,2001}", "s{23,0}", "s{10,1}"}, 2, 1},
      {"Tolemic scope with a stored output", true,
       [](TPelmora& c) {
         c.F_.CHInputMode = CHInput::Scope;
         ProcessState().pwmOptionStored = true;
       },
       {"s{11,3}", "s{88,1,20}", "s{14,1,  50,  50,  50}"}, 0, 6},
  };
  bool first = true;
  for (const auto& c : cases) {
    if (!first) {  // a fresh component and rig per case
      p->CloseComm();
      p.reset();
      rig = fake::Rig{};
      starts = stops = 0;
      SetUp();
    }
    first = false;
    ProcessState().pwmOptionStored = false;
    if (c.tolemic)
      ConnectTolemic();
    else
      ConnectBox("{Pelmora ASTER}");
    Active({0});
    c.setup(*p);
    EXPECT_EQ(p->Pelmora(true), 0) << c.name;
    EXPECT_EQ(Sent(), c.commands) << c.name;
    EXPECT_EQ(p->ExperimentMode(), c.experimentMode) << c.name;
    EXPECT_EQ(p->RunningMode(), c.runningMode) << c.name;
    EXPECT_EQ(starts, 1) << c.name;
    // Every start ends with frame mode on, a scope start too; only the scope
    // start reads its bytes in binary mode.
    EXPECT_TRUE(ProcessState().receive.frameMode) << c.name;
    EXPECT_EQ(ProcessState().receive.binary, c.runningMode == 6) << c.name;
    EXPECT_TRUE(errors.empty()) << c.name;
  }
  ProcessState().pwmOptionStored = false;
}

TEST_F(PelmoraRunTest, DigitalStartSetsTheTimingThroughTheSetters) {
  ConnectBox("{Pelmora ASTER}");
  Active({0});
  p->F_.CHInputMode = CHInput::Digital;
  p->F_.DigitalTimmingMode = true;
  p->F_.SamplingTime = 1.0;
  for (int slits : {0, -4, 300}) {
    p->F_.NoOfStroboSlit = slits;
    mark = rig.serial->written.size();
    ASSERT_EQ(p->Pelmora(true), 0);
    EXPECT_DOUBLE_EQ(p->F_.SamplingTime, 0.2);
    EXPECT_DOUBLE_EQ(p->F_.ExperimentLength, p->Max_Record_Count() * 0.2);
    EXPECT_EQ(p->F_.NoOfData, p->Max_Record_Count() + 1);
    // The slit count goes out as the host set it; only the timing parser
    // keeps it to 1 to 255.
    const auto sent = Sent();
    EXPECT_NE(std::find(sent.begin(), sent.end(), "s{16,2," + std::to_string(slits) + "}"), sent.end()) << slits;
    EXPECT_EQ(p->F_.NoOfStroboSlit, slits);
    p->Pelmora(false);
  }
}

TEST_F(PelmoraRunTest, StopSendsTheStopCommandsAndFiresStopExperimentEvenWhenIdle) {
  ConnectBox("{Pelmora ASTER}");
  EXPECT_EQ(p->Pelmora(false), 0);
  EXPECT_EQ(Sent(), (std::vector<std::string>{"s{10,0}", "s{50,0}"}));
  EXPECT_EQ(stops, 1);
  EXPECT_EQ(p->RunningMode(), 0);

  Active({0});
  p->F_.CHInputMode = CHInput::Scope;
  ASSERT_EQ(p->Pelmora(true), 0);
  ASSERT_EQ(p->RunningMode(), 6);
  ASSERT_TRUE(ProcessState().receive.binary);
  mark = rig.serial->written.size();
  EXPECT_EQ(p->Pelmora(false), 0);
  EXPECT_EQ(Sent(), (std::vector<std::string>{"s{88,0}", "s{50,0}"}));
  EXPECT_EQ(p->RunningMode(), 0);
  EXPECT_FALSE(p->F_.Run);
  EXPECT_FALSE(ProcessState().receive.binary);
  EXPECT_FALSE(ProcessState().receive.frameMode);
  EXPECT_EQ(stops, 2);
}

// A box model's stop ends in OutputLine(0), which clears ErrorNumber: it
// returns 0, also after a start that raised 5 or 30. The unnamed model and
// USB sensors do not get there and return ErrorNumber as they find it.
TEST_F(PelmoraRunTest, StopReturnsZeroOnBoxModelsElseTheErrorNumberItFinds) {
  const auto box = [this](const char* identify) { return [this, identify] { ConnectBox(identify); }; };
  const auto tolemic = [this] { ConnectTolemic(); };
  const auto usb = [this] {
    rig.usb->devices = 1;
    p->UseOnlyUSBSensor(true);
    p->AutoDetect(false);
    ASSERT_EQ(p->InitializeComm(), 0);
    ASSERT_EQ(p->PelmoraType(), "USB");
    Ready();
  };
  // Each leaves ErrorNumber non-zero and returns it.
  const auto digitalModuleStart = [this] {  // error 5
    Active({0, 3});
    ProcessState().sensors.ch[3].sensorId = 77;
    p->Runs().sensorInClass = [](const std::string& cls, int id) { return cls == "DigitalModule" && id == 77; };
    return p->Pelmora(true);
  };
  const auto fewIdsStart = [this] {  // error 30 from the start's identification
    Active({0});
    idReply = "{0,0}\r\n";
    p->F_.CheckForExperiment = true;
    return p->Pelmora(true);
  };
  const auto earlier = [this](int n) {
    return [this, n] {
      p->F_.ErrorNumber = n;
      return n;
    };
  };
  struct StopCase {
    const char* name;
    std::function<void()> connect;
    std::function<int()> leaveError;
    int left;    // what leaveError leaves
    int result;  // of the stop, and ErrorNumber after it
    std::vector<std::string> commands;
  };
  const std::vector<std::string> boxStop = {"s{10,0}", "s{50,0}"};
  const std::vector<StopCase> cases = {
      {"Sorn II, idle", box("{Pelmora SORN}"), earlier(13), 13, 0, boxStop},
      {"Aster after a start that raised 5", box("{Pelmora ASTER}"), digitalModuleStart, 5, 0, boxStop},
      {"Qor-3 after a start that raised 30", box("{Pelmora QOR03}"), fewIdsStart, 30, 0, boxStop},
      {"Tolemic after a start that raised 30", tolemic, fewIdsStart, 30, 0, boxStop},
      {"unnamed model", box("{Pelmora X-9}"), earlier(13), 13, 13, {}},
      {"USB sensors", usb, earlier(14), 14, 14, {}},
  };
  bool first = true;
  for (const auto& c : cases) {
    if (!first) {
      p->CloseComm();
      p.reset();
      rig = fake::Rig{};
      starts = stops = 0;
      idReply = "{0,0,0,0}\r\n";
      SetUp();
    }
    first = false;
    c.connect();
    ASSERT_EQ(c.leaveError(), c.left) << c.name;
    ASSERT_EQ(p->ErrorNumber(), c.left) << c.name;
    errors.clear();
    mark = rig.serial->written.size();
    tcpMark = rig.worker->sent.size();
    EXPECT_EQ(p->Pelmora(false), c.result) << c.name;
    EXPECT_EQ(p->ErrorNumber(), c.result) << c.name;
    EXPECT_EQ(Sent(), c.commands) << c.name;
    EXPECT_TRUE(errors.empty()) << c.name;
    EXPECT_EQ(stops, 1) << c.name;
    EXPECT_EQ(p->RunningMode(), 0) << c.name;
  }
}

// A start reports what it raised itself, not an error left from earlier; a
// start while a run is going only clears the recent records and returns
// ErrorNumber as it is.
TEST_F(PelmoraRunTest, StartReportsItsOwnErrorAndDuringARunErrorNumberAsItIs) {
  ConnectBox("{Pelmora ASTER}");
  Active({0});
  p->F_.ErrorNumber = 13;
  EXPECT_EQ(p->Pelmora(true), 0);
  EXPECT_EQ(p->ErrorNumber(), 0);
  p->Pelmora(false);

  Active({0, 3});
  ProcessState().sensors.ch[3].sensorId = 77;
  p->Runs().sensorInClass = [](const std::string& cls, int id) { return cls == "DigitalModule" && id == 77; };
  ASSERT_EQ(p->Pelmora(true), 5);
  ASSERT_EQ(p->RunningMode(), 1);
  p->DeliverRecord("1;");
  errors.clear();
  mark = rig.serial->written.size();
  EXPECT_EQ(p->Pelmora(true), 5);
  EXPECT_EQ(p->ErrorNumber(), 5);
  EXPECT_EQ(p->GetDataList(), "");
  EXPECT_TRUE(Sent().empty());
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(starts, 2);
  EXPECT_EQ(p->RunningMode(), 1);

  // A handler that raises an error during the run: the next start returns it.
  p->F_.ErrorNumber = 12;
  EXPECT_EQ(p->Pelmora(true), 12);
  p->Pelmora(false);
}

// CloseComm stops what runs on the box though ExperimentMode is 0 there (a
// demo output, a scope run); the Run flag that a demo output's stop leaves
// set is no run and sends nothing.
TEST_F(PelmoraRunTest, CloseCommStopsDemoOutputAndScopeRunsButNoLeftOverRunFlag) {
  ConnectBox("{Pelmora SORN}");
  const auto reconnect = [this] {
    ASSERT_EQ(p->InitializeComm(), 0);
    Ready();
  };
  ASSERT_EQ(p->PWMOptionSetting(true, PWMOption::Square_Wave, false, 0, 100, 200, 300), 0);
  ASSERT_EQ(p->DemoOutput(true), 0);
  ASSERT_EQ(p->RunningMode(), 3);
  mark = rig.serial->written.size();
  EXPECT_EQ(p->CloseComm(), 0);
  EXPECT_EQ(Sent(), (std::vector<std::string>{"s{10,0}", "s{50,0}"}));
  EXPECT_EQ(stops, 1);
  EXPECT_FALSE(p->Run());

  reconnect();
  ASSERT_EQ(p->DemoOutput(true), 0);
  ASSERT_EQ(p->DemoOutput(false), 0);
  ASSERT_EQ(p->RunningMode(), 0);
  ASSERT_TRUE(p->Run());  // kept until the next stop of a run
  mark = rig.serial->written.size();
  EXPECT_EQ(p->CloseComm(), 0);
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(stops, 1);
  ProcessState().pwmOptionStored = false;

  reconnect();
  Active({0});
  p->F_.CHInputMode = CHInput::Scope;
  ASSERT_EQ(p->Pelmora(true), 0);
  ASSERT_EQ(p->RunningMode(), 6);
  ASSERT_EQ(p->ExperimentMode(), 0);
  mark = rig.serial->written.size();
  EXPECT_EQ(p->CloseComm(), 0);
  EXPECT_EQ(Sent(), (std::vector<std::string>{"s{88,0}", "s{50,0}"}));
  EXPECT_EQ(stops, 2);
  EXPECT_FALSE(p->Run());
  EXPECT_FALSE(ProcessState().receive.binary);
}

// A DataReceived handler that throws ends that record's delivery: the record
// is not listed and the message loop is not pumped for it; the run and the
// records after it go on.
TEST_F(PelmoraRunTest, AThrowingDataReceivedHandlerEndsThatRecordsDelivery) {
  ConnectBox("{Pelmora ASTER}");
  Active({0});
  std::vector<std::string> course;
  p->DataReceived([&](TPelmora&, const std::wstring& d) {
    records.emplace_back(d.begin(), d.end());
    course.push_back("record " + std::to_string(records.size()));
    if (records.size() == 2) throw std::runtime_error("host failed");
  });
  ASSERT_EQ(p->Pelmora(true), 0);
  rig.host->onPump = [&] { course.push_back("pump"); };
  rig.serial->Deliver(Frame39("1") + Frame39("2") + Frame39("3"));
  rig.host->onPump = nullptr;
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(course, (std::vector<std::string>{"record 1", "pump", "record 2", "record 3", "pump"}));
  EXPECT_EQ(p->RunningMode(), 1);
  EXPECT_EQ(p->GetDataList(), records[0] + records[2]);
}

TEST_F(PelmoraRunTest, ClosedOrBusyComponentRefusesWithError6Or22) {
  EXPECT_EQ(p->Pelmora(true), 6);
  EXPECT_EQ(p->Pelmora(false), 6);
  EXPECT_EQ(errors, (std::vector<int>{6, 6}));
  EXPECT_EQ(stops, 0);
  ConnectBox("{Pelmora ASTER}");
  for (int busy : {3, 4, 5}) {
    p->F_.RunningMode = busy;
    EXPECT_EQ(p->Pelmora(true), 22);
  }
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(starts, 0);
}

TEST_F(PelmoraRunTest, DigitalModuleOnChannelDRaises5AndTheStartGoesOn) {
  ConnectBox("{Pelmora ASTER}");
  Active({0, 3});
  ProcessState().sensors.ch[3].sensorId = 77;
  p->Runs().sensorInClass = [](const std::string& cls, int id) { return cls == "DigitalModule" && id == 77; };
  p->F_.ErrorNumber = 9;  // left from earlier: not this start's
  EXPECT_EQ(p->Pelmora(true), 5);
  EXPECT_EQ(errors, std::vector<int>{5});
  EXPECT_EQ(p->RunningMode(), 1);
  auto sent = Sent();
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(sent.front(), "s{50,0}");
  EXPECT_EQ(sent.back(), "s{10,1}");
  p->Pelmora(false);

  // Slow enough: no error, the lines still go off; the digital branch's
  // setters do not hide an error of this start either.
  p->F_.SamplingTime = 0.5;
  errors.clear();
  EXPECT_EQ(p->Pelmora(true), 0);
  EXPECT_TRUE(errors.empty());
  p->Pelmora(false);
  p->F_.SamplingTime = 0.1;
  p->F_.CHInputMode = CHInput::Digital;
  p->F_.DigitalTimmingMode = true;
  EXPECT_EQ(p->Pelmora(true), 5);
  EXPECT_EQ(p->ErrorNumber(), 5);
}

TEST_F(PelmoraRunTest, FastModeWithSeveralChannelsFallsBackAndPlansTheRecordsAgain) {
  ConnectBox("{Pelmora ASTER}");
  Active({0, 1});
  p->F_.DigitalTimmingMode = false;
  p->F_.FastSamplingMode = true;
  p->F_.SamplingTime = 0.002;
  p->F_.ExperimentLength = 10.0;
  p->F_.NoOfData = 5001;
  p->F_.LoopCount = 5001;
  p->F_.AutoStop = true;
  EXPECT_EQ(p->Pelmora(true), 7);
  EXPECT_EQ(errors, std::vector<int>{7});
  EXPECT_FALSE(p->F_.FastSamplingMode);
  EXPECT_DOUBLE_EQ(p->F_.SamplingTime, 0.2);
  EXPECT_EQ(p->F_.NoOfData, 51);  // a 10 s run, not 5001 records of 0.2 s
  EXPECT_EQ(p->F_.LoopCount, 51);
  const auto sent = Sent();
  EXPECT_NE(std::find(sent.begin(), sent.end(), "s{12,0.200}"), sent.end());
  EXPECT_EQ(p->ExperimentMode(), 1);
}

TEST_F(PelmoraRunTest, RecordsUntilTheAutomaticStopThenNothing) {
  ConnectBox("{Pelmora ASTER}");
  Active({0, 1});
  p->F_.AutoStop = true;
  p->F_.NoOfData = 3;
  p->F_.LoopCount = 3;
  ASSERT_EQ(p->Pelmora(true), 0);
  std::string burst;
  for (int i = 0; i < 5; ++i) burst += Frame39("1.24 " + std::to_string(i) + ".3");
  rig.serial->Deliver(burst);
  EXPECT_EQ(records, (std::vector<std::string>{"1,0.00000000,  1.200000,  0.300000, 0.0, 0.0;",
                                                "2,0.20000000,  1.200000,  1.300000, 0.0, 0.0;",
                                                "3,0.40000000,  1.200000,  2.300000, 0.0, 0.0;"}));
  EXPECT_EQ(stops, 1);
  EXPECT_EQ(p->RunningMode(), 0);
  const auto sent = Sent();
  ASSERT_GE(sent.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(sent.end() - 3, sent.end()),
            (std::vector<std::string>{"s{10,1}", "s{10,0}", "s{50,0}"}));
  rig.serial->Deliver(Frame39("9 9"));
  EXPECT_EQ(records.size(), 3u);
  EXPECT_EQ(p->GetDataList(), records[0] + records[1] + records[2]);
  EXPECT_EQ(p->GetDataList(), "");
}

TEST_F(PelmoraRunTest, LoopCountRestartsTheTimeWhileNumbersRunOn) {
  ConnectBox("{Pelmora ASTER}");
  Active({0});
  p->F_.NoOfData = 10;
  p->F_.LoopCount = 3;
  ASSERT_EQ(p->Pelmora(true), 0);
  std::string burst;
  for (int i = 0; i < 5; ++i) burst += Frame39("1");
  rig.serial->Deliver(burst);
  ASSERT_EQ(records.size(), 5u);
  EXPECT_EQ(records[2].substr(0, 12), "3,0.40000000");
  EXPECT_EQ(records[3].substr(0, 12), "4,0.00000000");
  EXPECT_EQ(records[4].substr(0, 12), "5,0.20000000");
}

TEST_F(PelmoraRunTest, StopFromADataReceivedHandlerEndsDeliveryAtOnce) {
  ConnectTolemic();
  Active({0, 1});
  p->F_.SamplingTime = 0.005;
  p->DataReceived([this](TPelmora& c, const std::wstring& d) {
    records.emplace_back(d.begin(), d.end());
    if (records.size() == 2) c.Pelmora(false);
  });
  ASSERT_EQ(p->Pelmora(true), 0);
  ASSERT_EQ(p->ExperimentMode(), 2);
  // One block frame of four samples of A and B, then another frame.
  std::string body = "{ 1 2 3 4 5 6 7 8";
  body += std::string(60 - body.size(), ' ') + "}\r\n";
  rig.worker->Deliver(body + body);
  // Block records separate their values by ", ".
  EXPECT_EQ(records, (std::vector<std::string>{"1,0.00000000,  1.000000,   2.000000,  0.0,  0.0;",
                                                "2,0.00500000,  3.000000,   4.000000,  0.0,  0.0;"}));
  EXPECT_EQ(stops, 1);
  EXPECT_EQ(p->RunningMode(), 0);
}

TEST_F(PelmoraRunTest, StopOrSecondStartFromStartExperimentIsNotUndone) {
  ConnectBox("{Pelmora ASTER}");
  Active({0});
  int nested = -1;
  p->StartExperiment([&](TPelmora& c) {
    ++starts;
    nested = c.Pelmora(true);
  });
  ASSERT_EQ(p->Pelmora(true), 0);
  EXPECT_EQ(nested, 0);
  auto sent = Sent();
  EXPECT_EQ(std::count(sent.begin(), sent.end(), "s{11,1}"), 1);
  EXPECT_EQ(starts, 1);
  p->Pelmora(false);

  mark = rig.serial->written.size();
  p->StartExperiment([&](TPelmora& c) { c.Pelmora(false); });
  EXPECT_EQ(p->Pelmora(true), 0);
  sent = Sent();
  EXPECT_EQ(std::count(sent.begin(), sent.end(), "s{10,1}"), 0);
  EXPECT_EQ(sent.back(), "s{50,0}");
  EXPECT_EQ(p->RunningMode(), 0);
  EXPECT_FALSE(p->F_.Run);
  EXPECT_EQ(stops, 2);
}

TEST_F(PelmoraRunTest, GetCurrentValueQuantisesAndConverts) {
  EXPECT_EQ(p->GetCurrentValue(), "");  // not connected
  ConnectBox("{Pelmora ASTER}");
  ProcessState().sensors.ch[0].resolution = {0.05, 0.05, 0.05, 0};
  currentReply = "{ 1.27 0 2.5}\r\n";
  EXPECT_EQ(p->GetCurrentValue(), "  1.250000,0.0,  2.500000,0.0,0.0,0.0,0.0,0.0;");
  p->SetConvertUnit(1, 1, 2.0, 0.5);
  p->SetConvertUnit(0, 1, 9.0, 9.0);  // ignored
  p->SetConvertUnit(9, 1, 9.0, 9.0);  // ignored
  EXPECT_EQ(p->GetCurrentValue(), "  3.000000,0.0,  2.500000,0.0,0.0,0.0,0.0,0.0;");
  p->F_.RunningMode = 1;
  EXPECT_EQ(p->GetCurrentValue(), "");
}

TEST_F(PelmoraRunTest, RecentRecordsSettleAt5001AndSurviveAStop) {
  ConnectBox("{Pelmora ASTER}");
  for (int i = 0; i < 5003; ++i) p->DeliverRecord(std::to_string(i) + ";");
  p->Pelmora(false);
  const std::string list = p->GetDataList();
  EXPECT_EQ(std::count(list.begin(), list.end(), ';'), 5001);
  EXPECT_EQ(list.substr(0, 2), "2;");
  EXPECT_EQ(p->GetDataList(), "");
  p->DeliverRecord("x;");
  Active({0});
  ASSERT_EQ(p->Pelmora(true), 0);  // a start clears it
  EXPECT_EQ(p->GetDataList(), "");
}

// The class lists of the current user's settings key, removed again after.
struct ClassLists {
  static constexpr const char* kMessage = "Software\\VB and VBA Program Settings\\Pelmora\\Message";
  explicit ClassLists(std::initializer_list<std::pair<const char*, const char*>> lists) {
    pel::reg::deleteTree(pel::reg::Root::CurrentUser, kMessage);
    for (const auto& [name, list] : lists) EXPECT_TRUE(pel::reg::writeString(pel::reg::Root::CurrentUser, kMessage, name, list));
  }
  ~ClassLists() { pel::reg::deleteTree(pel::reg::Root::CurrentUser, kMessage); }
};

// The start's class tests read the registry's lists (a digital module on D,
// force sensors and photogates); an item that is not a number matches
// nothing and spoils nothing.
TEST_F(PelmoraRunTest, StartReadsTheSensorClassesFromTheRegistry) {
  const ClassLists lists{{"DigitalModule", "3, x,77"}, {"PhotoGateSensor", "41,,"}, {"ForceSensor", "a,42"}};
  ConnectBox("{Pelmora ASTER}");
  Active({0, 3});
  ProcessState().sensors.ch[3].sensorId = 77;
  EXPECT_EQ(p->Pelmora(true), 5);
  EXPECT_EQ(errors, std::vector<int>{5});
  ASSERT_FALSE(Sent().empty());
  EXPECT_EQ(Sent().front(), "s{50,0}");
  p->Pelmora(false);

  p->CloseComm();
  p.reset();
  rig = fake::Rig{};
  SetUp();
  ConnectTolemic();
  Active({1, 2});
  auto& ch = ProcessState().sensors.ch;
  ch[1].sensorId = 41;
  ch[2].sensorId = 42;
  ch[3].sensorId = 0;
  EXPECT_EQ(p->Pelmora(true), 0);
  EXPECT_TRUE(ch[1].photogate);
  EXPECT_FALSE(ch[1].forceSensor);
  EXPECT_TRUE(ch[2].forceSensor);
  EXPECT_FALSE(ch[2].photogate);
  EXPECT_FALSE(ch[0].photogate || ch[0].forceSensor);
  p->Pelmora(false);
}

// A SetSignInvert made by a handler while the start's identification waits
// for its reply stays: the run's records carry the inverted sign.
TEST_F(PelmoraRunTest, SignInvertSetDuringTheIdentificationHoldsForTheRun) {
  ConnectBox("{Pelmora ASTER}");
  Active({0, 1});
  p->F_.CheckForExperiment = true;
  bool set = false;
  rig.host->onPump = [&] {
    if (p->RunningMode() == 4 && !set) {
      set = true;
      p->SetSignInvert(1, true);
    }
  };
  ASSERT_EQ(p->Pelmora(true), 0);
  rig.host->onPump = nullptr;
  ASSERT_TRUE(set) << "the identification pumped the host's messages";
  EXPECT_TRUE(p->GetSignInvert(1));
  EXPECT_FALSE(p->GetSignInvert(2));
  rig.serial->Deliver(Frame39("1.24 0.3"));
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0], "1,0.00000000, -1.200000,  0.300000, 0.0, 0.0;");
  p->Pelmora(false);
}

// The digital channel has one owner, kept per process: the start of a
// timing run chooses it, the box command names it, and a new component
// (whose constructor leaves it alone) reads the same one.
TEST_F(PelmoraRunTest, DigitalChannelChosenByTheStartIsTheLinksOne) {
  ConnectBox("{Pelmora ASTER}");
  Active({2});
  p->F_.CHInputMode = CHInput::Digital;
  p->F_.DigitalTimmingMode = false;
  ASSERT_EQ(p->Pelmora(true), 0);
  const auto sent = Sent();
  EXPECT_NE(std::find(sent.begin(), sent.end(), "s{13,3}"), sent.end());
  EXPECT_EQ(ProcessState().digitalChannel, 2);
  EXPECT_EQ(p->Runs().stream.digitalChannel(), 2);
  EXPECT_EQ(ProcessState().sensors.ch[2].unit, "Time(s)");
  p->Pelmora(false);

  p->CloseComm();
  p.reset();
  rig = fake::Rig{};
  SetUp();
  EXPECT_EQ(ProcessState().digitalChannel, 2);
  EXPECT_EQ(p->Runs().stream.digitalChannel(), 2);
  ProcessState().digitalChannel = 0;
}

}  // namespace
