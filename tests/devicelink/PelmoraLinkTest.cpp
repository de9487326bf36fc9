// TPelmora over in-process fakes with a virtual clock: construction, the
// link input and output, and connecting.
#include <gtest/gtest.h>

#include <array>

#include "devicelink/LinkFraming.h"
#include "devicelink/Pelmora.h"
#include "devicelink/sensors/SettingsSource.h"
#include "FakeLink.h"
#include "platform/HandOver.h"
#include "platform/MessageLoop.h"
#include "platform/Registry.h"

namespace {
using pel::link::ProcessState;

const char* const kMessageKey = "Software\\VB and VBA Program Settings\\Pelmora\\Message";

class PelmoraLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    p = TPelmora::Create(nullptr, LinkFlavour::Studio(), rig.Env());
    p->PelmoraError([this](TPelmora&, int n) { errors.push_back(n); });
    // The connect without the sensor identification (tested on its own).
    p->Hooks().autoSensorId = nullptr;
  }
  // A COM port that answers like an interface of the given identify reply.
  void Interface(const std::string& port, const std::string& identify) {
    rig.serial->listed.push_back(port);
    rig.serial->answering[port] = [identify](const std::string& cmd) -> std::string {
      if (cmd == "s{10,3}") return identify + "\r\n";
      if (cmd == "s{16,0}") return "{1}\r\n";
      if (cmd == "s{11,5}") return "{8}\r\n";
      if (cmd == "s{10,R}") return "{ P-100}\r\n";
      if (cmd == "s{10,4}") return "{2.1}\r\n";
      if (cmd == "s{20}") return "{0,0,0,0}\r\n";
      return {};
    };
  }
  fake::Rig rig;
  std::shared_ptr<TPelmora> p;
  std::vector<int> errors;
};

TEST_F(PelmoraLinkTest, DefaultsAfterConstruction) {
  const auto& f = p->F_;
  EXPECT_DOUBLE_EQ(f.SamplingTime, 0.2);
  EXPECT_DOUBLE_EQ(f.ExperimentLength, 10.0);
  EXPECT_EQ(f.NoOfData, 51);
  EXPECT_EQ(f.Max_Record_Count, 50000);
  EXPECT_EQ(f.PWMFreqValue, 500);
  EXPECT_EQ(f.NoOfStroboSlit, 1);
  EXPECT_EQ(f.CHInputMode, CHInput::Analog);
  EXPECT_EQ(f.RunningMode, -1);
  EXPECT_TRUE(f.InterfaceFunction_TimmingMode);
  EXPECT_TRUE(f.AutoDetect);
  EXPECT_TRUE(f.CheckForExperiment);
  EXPECT_EQ(p->PelmoraType(), "none");
  EXPECT_EQ(p->LangDirectory(), "");
  auto& s = ProcessState();
  EXPECT_EQ(s.pinValue[0], 50);
  EXPECT_EQ(s.pinValue[2], 50);
  for (int i = 0; i < 8; ++i) {
    EXPECT_FALSE(s.sensors.ch[i].active);
    EXPECT_EQ(s.sensors.ch[i].sensorId, 0);
  }
  EXPECT_EQ(s.digitalTimingOptions, (std::array<bool, 3>{true, false, false}));
  p.reset();
}

TEST_F(PelmoraLinkTest, WindowIsHiddenAndPaintsItselfTo26Square) {
  EXPECT_FALSE(IsWindowVisible(p->Handle()));
  SetWindowPos(p->Handle(), nullptr, 0, 0, 80, 40, SWP_NOMOVE | SWP_NOZORDER);
  SendMessageA(p->Handle(), WM_PAINT, 0, 0);
  RECT r;
  GetWindowRect(p->Handle(), &r);
  EXPECT_EQ(r.right - r.left, 26);
  EXPECT_EQ(r.bottom - r.top, 26);
}

TEST_F(PelmoraLinkTest, VCPortSetterTakesOnlyListedPorts) {
  rig.serial->listed = {"COM1", "COM4"};
  p->VCPort(3);
  EXPECT_EQ(p->VCPort(), 0);
  p->VCPort(4);
  EXPECT_EQ(p->VCPort(), 4);
  rig.serial->listed = {"COM10"};
  p->VCPort(1);  // found anywhere in the list
  EXPECT_EQ(p->VCPort(), 1);
  p->VCPort(2);
  EXPECT_EQ(p->VCPort(), 1);
}

TEST_F(PelmoraLinkTest, RaiseDeviceErrorSetsTheNumberBeforeTheHandlerRuns) {
  int seenField = 0, seenArg = 0;
  p->PelmoraError([&](TPelmora& sender, int n) {
    seenField = sender.ErrorNumber();
    seenArg = n;
  });
  p->RaiseDeviceError(7);
  EXPECT_EQ(seenField, 7);
  EXPECT_EQ(seenArg, 7);
  p->PelmoraError({});
  p->RaiseDeviceError(9);
  EXPECT_EQ(p->ErrorNumber(), 9);
}

TEST_F(PelmoraLinkTest, ReplyWaitTakesA61stPassReplyAndDropsA62nd) {
  rig.serial->answering["COM1"] = nullptr;
  rig.serial->SetPort("COM1");
  rig.serial->Open();
  for (int pass : {1, 30, 61, 62}) {
    const int start = rig.host->sleeps;
    rig.host->AtSleep(start + pass, [this] { rig.serial->Deliver("{ok}\r\n"); });
    const std::string reply = p->WaitReply();
    EXPECT_EQ(reply, pass <= 61 ? "{ok}\r\n" : "") << pass;
    EXPECT_EQ(rig.host->sleeps - start, pass <= 61 ? pass : 62) << pass;
    p->FlushInput();
  }
  // A reply that never completes: empty after 62 passes of 5 ms each.
  const auto before = rig.host->now;
  rig.serial->Deliver("{never");
  EXPECT_EQ(p->WaitReply(), "");
  EXPECT_EQ(rig.host->now - before, 62 * 5);
}

TEST_F(PelmoraLinkTest, ReplyInPiecesAndBracesInAnyOrder) {
  rig.serial->answering["COM1"] = nullptr;
  rig.serial->SetPort("COM1");
  rig.serial->Open();
  rig.host->After(20, [this] { rig.serial->Deliver("OK{ 1."); });
  rig.host->After(50, [this] { rig.serial->Deliver("5 2"); });
  rig.host->After(90, [this] { rig.serial->Deliver(".5}\r\n"); });
  const std::string reply = p->WaitReply();
  EXPECT_EQ(reply, "OK{ 1.5 2.5}\r\n");
  EXPECT_EQ(pel::link::ReplyBody(reply), " 1.5 2.5");
  rig.host->After(5, [this] { rig.serial->Deliver("}x{"); });
  EXPECT_EQ(p->WaitReply(), "}x{");
}

TEST_F(PelmoraLinkTest, ActiveXFlavourWaitsInTenMillisecondSteps) {
  fake::Rig other;
  p.reset();
  auto x = TPelmora::Create(nullptr, LinkFlavour::ActiveX(), other.Env());
  const auto before = other.host->now;
  EXPECT_EQ(x->WaitReply(), "");
  EXPECT_EQ(other.host->now - before, 62 * 10);
}

TEST_F(PelmoraLinkTest, CommandGoesOutOnEveryOpenTransportAndFailureRaises8) {
  rig.serial->answering["COM1"] = nullptr;
  rig.serial->SetPort("COM1");
  rig.serial->Open();
  rig.worker->peer = [](const std::string&) { return std::string(); };
  rig.worker->ConnectLocal();
  p->SendCommand("s{10,3}");
  ASSERT_EQ(rig.serial->written.size(), 1u);
  EXPECT_EQ(rig.serial->written[0], "COM1:s{10,3}\r\n");
  ASSERT_EQ(rig.worker->sent.size(), 1u);
  EXPECT_EQ(rig.worker->sent[0], "s{10,3}\r\n");
  p->SendCommand("");
  EXPECT_EQ(rig.serial->written.back(), "COM1:\r\n");
  rig.serial->failWrites = true;
  const int pumps = rig.host->pumps;
  p->SendCommand("s{10,0}");
  EXPECT_EQ(errors, std::vector<int>{8});
  EXPECT_EQ(rig.worker->sent.back(), "s{10,0}\r\n");  // TCP still went
  EXPECT_GE(rig.host->pumps - pumps, 2);
  // A text the TCP worker could not send raises 8 as a failed port write does.
  rig.worker->handlers.sendFailed();
  EXPECT_EQ(errors, (std::vector<int>{8, 8}));
}

TEST_F(PelmoraLinkTest, FrameDispatchByModeAndLengthCountsTheCarriageReturn) {
  rig.serial->answering["COM1"] = nullptr;
  rig.serial->SetPort("COM1");
  rig.serial->Open();
  std::vector<int> analog;
  p->Hooks().analogFrame = [&](TPelmora&) { analog.push_back(ProcessState().receive.lastFrameLength); };
  ProcessState().receive.frameMode = true;
  p->F_.ExperimentMode = 1;
  const std::string line50 = "{" + std::string(48, '1') + "}";  // 50 + CR = 51
  const std::string line49 = "{" + std::string(47, '1') + "}";  // 49 + CR = 50
  rig.serial->Deliver(line49 + "\r\n");
  EXPECT_TRUE(analog.empty());
  // Split between "}" and the line end: no sample lost, length still 51.
  rig.serial->Deliver(line50);
  EXPECT_TRUE(analog.empty());
  rig.serial->Deliver("\r\n[" + std::string(48, '2') + "]\r\n");
  EXPECT_EQ(analog, (std::vector<int>{51, 51}));
  EXPECT_EQ(ProcessState().receive.lastFrame, "{" + std::string(48, '2') + "}\r");
  // No experiment: further input is drained and dropped.
  p->F_.ExperimentMode = 0;
  rig.serial->Deliver(line50 + "\r\n");
  EXPECT_EQ(ProcessState().receive.buffer, "");
  EXPECT_EQ(analog.size(), 2u);
}

TEST_F(PelmoraLinkTest, BinaryInputIsBoundedByTheRawBuffer) {
  rig.serial->answering["COM1"] = nullptr;
  rig.serial->SetPort("COM1");
  rig.serial->Open();
  auto& rx = ProcessState().receive;
  rx.binary = true;
  rig.serial->Deliver(std::string(700, 'a'));
  rig.serial->Deliver(std::string(700, 'b'));
  EXPECT_EQ(rx.rawCount, 1024u);
  EXPECT_EQ(rx.rawDropped, 376u);
  EXPECT_EQ(rx.raw[699], 'a');
  EXPECT_EQ(rx.raw[700], 'b');
  EXPECT_EQ(rx.buffer, "");
  rx.binary = false;
}

TEST_F(PelmoraLinkTest, ClampOutputParametersReplacesOutOfRangeValues) {
  auto& s = ProcessState();
  s.pinValue[0] = -1;
  s.pinValue[1] = 50;
  s.pinValue[2] = 101;
  p->ClampOutputParameters(0, 100, 7);
  EXPECT_EQ(s.pinValue[0], 7);
  EXPECT_EQ(s.pinValue[1], 50);
  EXPECT_EQ(s.pinValue[2], 7);
}

TEST_F(PelmoraLinkTest, UserSetPortIdentifiesProbesAndReadsProductInfo) {
  Interface("COM3", "{Pelmora SORN II}");
  p->VCPort(3);
  ASSERT_EQ(p->VCPort(), 3);
  EXPECT_EQ(p->InitializeComm(), 0);
  EXPECT_TRUE(p->PelmoraConnected());
  EXPECT_EQ(p->PelmoraType(), "Sorn II");
  EXPECT_EQ(p->RunningMode(), 0);
  EXPECT_TRUE(p->InterfaceFunction_TimmingMode());
  EXPECT_TRUE(p->DigitalTimmingMode());
  EXPECT_FALSE(p->InterfaceFunction_ScopeMode());
  EXPECT_TRUE(p->Mode8Port());
  EXPECT_EQ(p->ProductNo(), " P-100");
  EXPECT_EQ(p->VersionNo(), "2.1");
  EXPECT_EQ(p->Max_Record_Count(), 50000);
  // Wake-up line first, then the identify.
  ASSERT_GE(rig.serial->written.size(), 2u);
  EXPECT_EQ(rig.serial->written[0], "COM3:\r\n");
  EXPECT_EQ(rig.serial->written[1], "COM3:s{10,3}\r\n");
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(p->InitializeComm(), 0);  // already connected: nothing happens
  EXPECT_EQ(rig.serial->written.size(), 7u);
  EXPECT_EQ(p->CloseComm(), 0);
  EXPECT_FALSE(rig.serial->open);
  EXPECT_EQ(p->PelmoraType(), "none");
  EXPECT_EQ(p->RunningMode(), -1);
  EXPECT_EQ(p->InitializeComm(), 0);  // and again after a close
  EXPECT_EQ(p->PelmoraType(), "Sorn II");
}

// An 8-port box answers its mode switch. A box that takes longer to answer
// than the flushes after the command (60 ms here, every answer in turn) must
// not have that answer read as the ID list: the identification waits for it.
TEST_F(PelmoraLinkTest, EightPortIdentificationAwaitsTheModeSwitchAnswer) {
  Interface("COM3", "{Pelmora QOR}");
  p->VCPort(3);
  ASSERT_EQ(p->InitializeComm(), 0);
  ASSERT_TRUE(p->SetChangeModeFor8Port(true));
  auto& answer = rig.serial->answering["COM3"];
  answer = [probe = answer](const std::string& cmd) -> std::string {
    return cmd == "s{20,2}" ? "{12,0,0,0,5,0,0,12}\r\n" : probe(cmd);
  };
  rig.serial->delayMs = 60;
  EXPECT_EQ(p->AutoSensorID(), 0);
  std::array<int, 8> ids{};
  for (std::size_t i = 0; i < 8; ++i) ids[i] = ProcessState().sensors.ch[i].sensorId;
  EXPECT_EQ(ids, (std::array<int, 8>{12, 0, 0, 0, 5, 0, 0, 12}));
  EXPECT_TRUE(errors.empty());
}

TEST_F(PelmoraLinkTest, SilentPortGarbageAndNothingGiveError1) {
  rig.serial->listed = {"COM3", "COM4"};
  rig.serial->answering["COM3"] = nullptr;  // silent
  rig.serial->answering["COM4"] = [](const std::string&) { return std::string("\x01#?garbage{}\r\n"); };
  p->VCPort(3);
  EXPECT_EQ(p->InitializeComm(), 1);
  EXPECT_EQ(errors, std::vector<int>{1});
  EXPECT_FALSE(p->PelmoraConnected());
  EXPECT_EQ(p->VCPort(), 0);
  EXPECT_FALSE(rig.serial->open);
  EXPECT_EQ(rig.worker->connects, 1);
  EXPECT_EQ(rig.usb->opens, 1);
  EXPECT_EQ(rig.usb->closes, 1);
}

TEST_F(PelmoraLinkTest, RegistrySearchProbesFoundPortsInCaseFreeOrder) {
  const std::string key = "SYSTEM\\CurrentControlSet\\Enum\\FTDIBUS\\PelmoraTest\\0000\\Device Parameters";
  ASSERT_TRUE(pel::reg::writeString(pel::reg::Root::LocalMachine, key, "PortName", "COM10"));
  rig.serial->listed = {"COM2", "COM10", "COM1"};
  rig.serial->answering["COM1"] = nullptr;
  rig.serial->answering["COM2"] = nullptr;
  Interface("COM10", "{Pelmora QOR03}");
  rig.serial->listed.pop_back();
  const int rc = p->InitializeComm();
  pel::reg::deleteTree(pel::reg::Root::LocalMachine, "SYSTEM\\CurrentControlSet\\Enum\\FTDIBUS\\PelmoraTest");
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(p->PelmoraType(), "Qor-3");
  EXPECT_EQ(p->VCPort(), 10);
  EXPECT_EQ(p->Max_Record_Count(), 5000);
  // "COM1" matches the found "COM10" too; COM2 was not found and stays shut.
  EXPECT_EQ(rig.serial->opened, (std::vector<std::string>{"COM1", "COM10"}));
  // No wake-up line in the search.
  ASSERT_GE(rig.serial->written.size(), 2u);
  EXPECT_EQ(rig.serial->written[0], "COM1:s{10,3}\r\n");
  EXPECT_EQ(rig.serial->written[1], "COM10:s{10,3}\r\n");
}

// The registry search through a fixture under the enumeration roots: which
// ports count as found (and are opened), and the order they are tried in.
TEST_F(PelmoraLinkTest, RegistrySearchRules) {
  using pel::reg::Root;
  const std::string enumKey = "SYSTEM\\CurrentControlSet\\Enum\\";
  struct Key {
    std::string path;  // below Enum
    std::string portName;
  };
  struct Case {
    const char* name;
    std::vector<Key> keys;
    std::vector<std::string> listed;
    std::vector<std::string> opened;  // in the order tried
    std::string connectedAs;          // the port that answers, "" for none
  };
  const std::string bridge = "USB\\VID_10C4&PID_EA60\\PelmoraTest0";
  const Case cases[] = {
      {"the bridge under USB", {{bridge + "\\Device Parameters", "COM5"}}, {"COM5", "COM6"}, {"COM5"}, ""},
      {"the bridge in lower case", {{"USB\\vid_10c4&pid_ea60\\PelmoraTest1\\Device Parameters", "COM5"}},
       {"COM5"}, {"COM5"}, ""},
      {"the bridge key itself", {{"USB\\VID_10C4&PID_EA60", "COM6"}}, {"COM6"}, {"COM6"}, ""},
      {"another USB device", {{"USB\\VID_0403&PID_6001\\PelmoraTest2\\Device Parameters", "COM6"}}, {"COM6"},
       {}, ""},
      {"the bridge below a root hub",
       {{"USB\\ROOT_HUB30\\VID_10C4&PID_EA60\\PelmoraTest3\\Device Parameters", "COM7"}}, {"COM7"}, {}, ""},
      {"any device under FTDIBUS", {{"FTDIBUS\\PelmoraTest+A1\\0000\\Device Parameters", "COM8"}}, {"COM8"},
       {"COM8"}, ""},
      {"any device under BTHENUM", {{"BTHENUM\\{PelmoraTest}\\7&1\\Device Parameters", "COM9"}}, {"COM9"},
       {"COM9"}, ""},
      // Without regard to case "com5" comes before "COM6"; in plain byte
      // order it would come after. The first to answer is taken.
      {"case-free order of mixed-case names",
       {{"FTDIBUS\\PelmoraTest+B1\\0000\\Device Parameters", "COM6"},
        {"FTDIBUS\\PelmoraTest+B2\\0000\\Device Parameters", "com5"}},
       {"COM6", "com5"}, {"com5"}, "com5"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> made;  // top keys this case created
    for (const auto& k : c.keys) {
      const std::string top = k.path.substr(0, k.path.find('\\', k.path.find('\\') + 1));
      if (!pel::reg::keyExists(Root::LocalMachine, enumKey + top)) made.push_back(enumKey + top);
      ASSERT_TRUE(pel::reg::writeString(Root::LocalMachine, enumKey + k.path, "PortName", k.portName));
    }
    p->CloseComm();
    rig.serial->opened.clear();
    rig.serial->answering.clear();
    for (const auto& port : c.listed) {
      if (c.connectedAs.empty())
        rig.serial->answering[port] = nullptr;  // silent
      else
        Interface(port, port == c.connectedAs ? "{Pelmora VAXO}" : "{Pelmora SORN}");
    }
    rig.serial->listed = c.listed;
    p->InitializeComm();
    for (const auto& top : made) pel::reg::deleteTree(Root::LocalMachine, top);
    EXPECT_EQ(rig.serial->opened, c.opened);
    EXPECT_EQ(p->PelmoraConnected(), !c.connectedAs.empty());
    if (!c.connectedAs.empty()) {
      EXPECT_EQ(p->PelmoraType(), "Vaxo");
      EXPECT_EQ(p->VCPort(), 5);
    }
  }
}

TEST_F(PelmoraLinkTest, TcpCountsAsTolemicAndTheIdentificationClearsAFailedProbesError) {
  // The user-set port fails every write (error 8), then TCP answers.
  rig.serial->listed = {"COM3"};
  rig.serial->answering["COM3"] = nullptr;
  rig.serial->failWrites = true;
  p->VCPort(3);
  rig.worker->peer = [](const std::string& cmd) -> std::string {
    if (cmd == "s{10,3}") return "{Pelmora SORN}\r\n";
    if (cmd == "s{11,3}") return "{1}\r\n";
    if (cmd == "s{20}") return "{0,0,0,0}\r\n";
    return {};
  };
  // The error stays through the product query; the sensor identification
  // clears it, so the connect returns what that raised.
  int seenByIdentification = -1;
  p->Hooks().autoSensorId = [&](TPelmora& c) {
    seenByIdentification = c.ErrorNumber();
    c.IdentifySensors();
  };
  EXPECT_EQ(p->InitializeComm(), 0);
  EXPECT_EQ(seenByIdentification, 8);
  EXPECT_EQ(p->ErrorNumber(), 0);
  EXPECT_EQ(errors.front(), 8);
  EXPECT_EQ(p->PelmoraType(), "Tolemic");
  EXPECT_EQ(p->ProductNo(), "Tolemic");
  EXPECT_EQ(p->VersionNo(), "6.0");
  EXPECT_TRUE(p->InterfaceFunction_ScopeMode());
  EXPECT_FALSE(p->InterfaceFunction_TimmingMode());
  EXPECT_FALSE(p->Mode8Port());
  EXPECT_EQ(p->Max_Record_Count(), 5000);
  EXPECT_EQ(p->CloseComm(), 0);
  EXPECT_FALSE(rig.worker->connected);
}

TEST_F(PelmoraLinkTest, TransportChoiceFlags) {
  rig.usb->devices = 2;
  p->UseOnlyUSBSensor(true);
  p->AutoDetect(false);
  Interface("COM3", "{Pelmora SORN}");
  p->VCPort(3);
  EXPECT_EQ(p->InitializeComm(), 0);
  EXPECT_EQ(p->PelmoraType(), "USB");
  EXPECT_EQ(p->ProductNo(), "USB");
  EXPECT_EQ(p->VersionNo(), "2.0");
  EXPECT_TRUE(rig.serial->opened.empty());
  EXPECT_TRUE(p->Mode8Port());
  EXPECT_EQ(p->CloseComm(), 0);
  EXPECT_EQ(rig.usb->closes, 1);

  // UseOnlyTolemic without AutoDetect: the COM ports, then TCP, never USB.
  // The USB connect left VCPort 0: set it again, so that the COM step has a
  // port to try.
  p->UseOnlyUSBSensor(false);
  p->UseOnlyTolemic(true);
  rig.serial->answering["COM3"] = nullptr;
  p->VCPort(3);
  ASSERT_EQ(p->VCPort(), 3);
  EXPECT_EQ(p->InitializeComm(), 1);
  EXPECT_EQ(rig.serial->opened, std::vector<std::string>{"COM3"});
  EXPECT_EQ(rig.usb->opens, 1);  // USB not tried again
  EXPECT_EQ(rig.worker->connects, 1);
  // And a port that answers connects there before TCP is asked.
  Interface("COM4", "{Pelmora VAXO}");
  p->VCPort(4);
  EXPECT_EQ(p->InitializeComm(), 0);
  EXPECT_EQ(p->PelmoraType(), "Vaxo");
  EXPECT_EQ(rig.worker->connects, 1);
  EXPECT_EQ(rig.usb->opens, 1);
}

TEST_F(PelmoraLinkTest, CloseCommStopsScopeRunsAndLeavesTextMode) {
  Interface("COM3", "{Pelmora Aster}");
  p->VCPort(3);
  ASSERT_EQ(p->InitializeComm(), 0);
  int halts = 0;
  p->Hooks().haltAcquisition = [&](TPelmora& c) {
    ++halts;
    c.F_.RunningMode = 0;
  };
  p->F_.RunningMode = 6;
  ProcessState().receive.binary = true;
  ProcessState().receive.frameMode = true;
  EXPECT_EQ(p->CloseComm(), 0);
  EXPECT_EQ(halts, 1);
  EXPECT_FALSE(ProcessState().receive.binary);
  EXPECT_FALSE(ProcessState().receive.frameMode);
  EXPECT_EQ(p->InitializeComm(), 0);
  EXPECT_EQ(p->PelmoraType(), "Aster");
}

TEST_F(PelmoraLinkTest, HostCallsFromAHandlerDuringAWaitKeepTheOuterExchange) {
  Interface("COM3", "{Pelmora VAXO}");
  p->VCPort(3);
  // With the sensor identification, which clears the refusal's error.
  p->Hooks().autoSensorId = [](TPelmora& c) { c.IdentifySensors(); };
  int nested = -1;
  rig.host->onPump = [&] {
    rig.host->onPump = nullptr;
    nested = p->InitializeComm();  // refused: a command is waiting
  };
  EXPECT_EQ(p->InitializeComm(), 0);
  EXPECT_EQ(nested, 22);
  EXPECT_EQ(errors, std::vector<int>{22});
  EXPECT_EQ(p->PelmoraType(), "Vaxo");
  EXPECT_EQ(p->VersionNo(), "2.1");  // the outer exchange got its replies

  // A close asked for inside a wait happens when the outer call ends.
  EXPECT_EQ(p->CloseComm(), 0);
  rig.host->onPump = [&] {
    rig.host->onPump = nullptr;
    p->CloseComm();
  };
  p->InitializeComm();
  EXPECT_FALSE(p->PelmoraConnected());
  EXPECT_FALSE(rig.serial->open);
}

TEST_F(PelmoraLinkTest, HostLettingGoDuringAWaitEndsTheComponentAfterIt) {
  rig.serial->listed = {"COM3"};
  rig.serial->answering["COM3"] = nullptr;
  p->VCPort(3);
  std::weak_ptr<TPelmora> weak = p;
  TPelmora* raw = p.get();
  rig.host->onPump = [&] {
    rig.host->onPump = nullptr;
    p.reset();  // the host ends the component from an event handler
  };
  raw->InitializeComm();
  EXPECT_TRUE(weak.expired());
  EXPECT_TRUE(errors.empty());  // no error event into a host being torn down
  EXPECT_TRUE(rig.workerStopped);
}

TEST(PelmoraPollTick, HostLettingGoInsideATickEndsTheComponentFromTheQueue) {
  fake::Rig rig;
  auto env = rig.Env();
  env.pollTimer = true;
  auto p = TPelmora::Create(nullptr, LinkFlavour::Studio(), env);
  std::weak_ptr<TPelmora> weak = p;
  TPelmora* raw = p.get();
  rig.host->onPump = [&] {
    rig.host->onPump = nullptr;
    p.reset();
  };
  raw->PollTick();  // the timer's own tick: it must not free the timer under itself
  EXPECT_TRUE(weak.expired());     // the host's reference is gone ...
  EXPECT_FALSE(rig.workerStopped); // ... the component ends from the queue
  for (int i = 0; i < 20 && !rig.workerStopped; ++i) pel::pumpMessages();
  EXPECT_TRUE(rig.workerStopped);
}

TEST_F(PelmoraLinkTest, DestructionAbsorbsTheUsbLibrarysException) {
  rig.usb->throwOnClose = true;
  EXPECT_NO_THROW(p.reset());
}

TEST_F(PelmoraLinkTest, SecondComponentKeepsItsOwnWorkerWhenTheFirstGoes) {
  fake::Rig second;
  auto q = TPelmora::Create(nullptr, LinkFlavour::Studio(), second.Env());
  q->Hooks().autoSensorId = nullptr;
  p.reset();
  EXPECT_FALSE(second.worker->stopped);
  second.worker->peer = [](const std::string& cmd) -> std::string {
    return cmd == "s{10,3}" ? "{Pelmora}\r\n" : "";
  };
  q->AutoDetect(false);
  q->UseOnlyTolemic(true);
  EXPECT_EQ(q->InitializeComm(), 0);
  EXPECT_EQ(q->PelmoraType(), "Tolemic");
}

TEST(PelmoraConstruction, TheLastComponentToGoRestoresTheWakeHook) {
  bool called = false;
  auto previous = pel::HandOver::instance().setWakeHook([&] { called = true; });
  {
    fake::Rig r1, r2;
    auto a = TPelmora::Create(nullptr, LinkFlavour::Studio(), r1.Env());
    auto b = TPelmora::Create(nullptr, LinkFlavour::Studio(), r2.Env());
    a.reset();  // b still lives: the hook must not be handed back yet
    auto current = pel::HandOver::instance().setWakeHook({});
    ASSERT_TRUE(current);
    current();
    EXPECT_FALSE(called);
    pel::HandOver::instance().setWakeHook(current);
  }
  auto restored = pel::HandOver::instance().setWakeHook(previous);
  ASSERT_TRUE(restored);
  restored();
  EXPECT_TRUE(called);
}

TEST(PelmoraConstruction, LanguageIdThatIsNoNumberFailsTheConstruction) {
  const std::string old = pel::reg::readString(pel::reg::Root::CurrentUser, kMessageKey, "LCID");
  ASSERT_TRUE(pel::reg::writeString(pel::reg::Root::CurrentUser, kMessageKey, "LCID", "abc"));
  fake::Rig rig;
  EXPECT_THROW(TPelmora::Create(nullptr, LinkFlavour::Studio(), rig.Env()), pel::sensors::RegistryValueError);
  ASSERT_TRUE(pel::reg::writeString(pel::reg::Root::CurrentUser, kMessageKey, "LCID", "1031"));
  ASSERT_TRUE(pel::reg::writeString(pel::reg::Root::CurrentUser, std::string(kMessageKey) + "\\1031", "Language",
                                    "Deutsch"));
  {
    auto p = TPelmora::Create(nullptr, LinkFlavour::Studio(), rig.Env());
    EXPECT_EQ(p->LanguageID(), 1031);
  }
  pel::reg::writeString(pel::reg::Root::CurrentUser, kMessageKey, "LCID", old);
  pel::reg::deleteTree(pel::reg::Root::CurrentUser, std::string(kMessageKey) + "\\1031");
}

}  // namespace
