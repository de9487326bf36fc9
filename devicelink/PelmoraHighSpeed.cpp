// High-speed captures into the box's memory and its bank directory: the
// capture setting, start and stop, the end-of-capture frame, the directory,
// the bank description, erase and the digital timing options.
#include <cmath>
#include <string>

#include "devicelink/LinkFraming.h"
#include "devicelink/LinkModel.h"
#include "devicelink/Pelmora.h"
#include "devicelink/records/BankRecords.h"
#include "devicelink/sensors/SensorRegistry.h"

namespace {
namespace model = pel::link::model;
namespace rec = pel::records;

bool HasMemory(int m) { return m == model::SornII || m == model::Aster || m == model::Qor; }

bool ChannelActive(int ch) { return ch >= 1 && ch <= 8 && TPelmora::State().sensors.ch[static_cast<std::size_t>(ch - 1)].active; }

// A frame longer than this ends a capture (the box's bank line).
constexpr int kEndOfCaptureLength = 28;
}  // namespace

void TPelmora::InstallHighSpeedHooks() {
  State().highSpeed = {};
  hooks_.endOfCapture = [](TPelmora& p) { p.EndOfCapture(); };
}

int TPelmora::HighSpeedSetting(int pCH, double pSpeed) {
  Frame frame(*this);
  F_.ErrorNumber = 0;
  auto& s = State();
  if (F_.RunningMode != 0) {
    RaiseDeviceError(27);
    return 27;
  }
  if (!HasMemory(s.modelState) || !ChannelActive(pCH)) {
    RaiseDeviceError(23);
    return 23;
  }
  if (!(pSpeed >= 0.0001 && pSpeed <= 60.0)) {  // a NaN is refused too
    RaiseDeviceError(24);
    return 24;
  }
  if (InExchange()) {
    RaiseDeviceError(22);
    return 22;
  }
  Exchange guard(*this);
  s.receive.frameMode = false;
  s.highSpeed.channel = pCH;
  FlushInput();
  const long long n = std::llround(std::nearbyint(pSpeed * 10000.0));
  SendCommand("s{82," + std::to_string(pCH) + "," + std::to_string(n) + "}");
  // Up to about 300 ms, over at once when the box answered.
  const std::string reply = CollectReply(30, 10);
  const char* ack = s.modelState == model::Aster ? "{1}" : "[09]";
  if (reply.find(ack) == std::string::npos) RaiseDeviceError(26);
  return F_.ErrorNumber;
}

int TPelmora::HighSpeedExperiment(bool pRun, TxHighSpeedRunMode pMode) {
  Frame frame(*this);
  F_.ErrorNumber = 0;
  auto& s = State();
  if (!HasMemory(s.modelState)) return 0;
  // A download's RunningMode 5 is not a capture: neither start nor stop may end it.
  if ((F_.RunningMode != 0 && F_.RunningMode != 5) || (F_.RunningMode == 5 && pRun) || s.highSpeed.downloading) {
    RaiseDeviceError(22);
    return 22;
  }
  if (!pRun) {
    SendCommand("s{80,0}");
    Host().PumpMessages();
    SendCommand("s{80,0}");
    SendCommand("s{80,0}");
    F_.Run = false;
    F_.RunningMode = 0;
    F_.ExperimentMode = 0;
    s.receive.frameMode = false;
    FireStopExperiment();
    if (!Released()) Host().PumpMessages();
    return F_.ErrorNumber;
  }
  if (InExchange()) {
    RaiseDeviceError(22);
    return 22;
  }
  Exchange guard(*this);
  if (hooks_.autoSensorId) hooks_.autoSensorId(*this);  // its error stays, the start goes on
  if (closePending_ || Abandoned()) return F_.ErrorNumber;
  const int channel = s.highSpeed.channel == 0 ? 1 : s.highSpeed.channel;
  if (!ChannelActive(channel)) {
    RaiseDeviceError(25);
    return 25;
  }
  s.highSpeed.channel = channel;
  const bool aster = s.modelState == model::Aster;
  SendCommand(aster && pMode == TxHighSpeedRunMode::InterfaceMode ? "s{83}" : "s{80,1}");
  const std::string reply = CollectReply(30, 10);
  if (reply.find(aster ? "{0}" : "[02]") != std::string::npos) {
    RaiseDeviceError(28);
    return 28;
  }
  if (closePending_ || Abandoned()) return F_.ErrorNumber;
  F_.Run = true;
  F_.RunningMode = 5;
  F_.ExperimentMode = 8;
  s.receive.frameMode = true;
  FireStartExperiment();
  if (!Released()) Host().PumpMessages();
  return F_.ErrorNumber;
}

void TPelmora::EndOfCapture() {
  auto& rx = State().receive;
  if (rx.lastFrameLength <= kEndOfCaptureLength) return;
  F_.ErrorNumber = 0;
  F_.Run = false;
  F_.RunningMode = 0;
  F_.ExperimentMode = 0;
  rx.frameMode = false;
  TakeFrame();
  Host().PumpMessages();
  FireStopExperiment();
  if (!Released()) Host().PumpMessages();
}

int TPelmora::HighSpeedExplorer() {
  Frame frame(*this);
  F_.ErrorNumber = 0;
  auto& s = State();
  if (F_.RunningMode != 0 || !HasMemory(s.modelState)) {
    RaiseDeviceError(27);
    return 27;
  }
  if (InExchange()) {
    RaiseDeviceError(22);
    return 22;
  }
  Exchange guard(*this);
  const bool aster = s.modelState == model::Aster;
  s.receive.frameMode = false;
  Host().PumpMessages();
  TakeFrame();
  SendCommand(aster ? "s{80,10}" : "s{80,3}");
  // Up to about a second; a reply read before its end would be cut short.
  const std::string reply = CollectReply(100, 10);
  if (reply.size() < 6) {
    RaiseDeviceError(22);
    return 22;
  }
  rec::BankDirectory dir;
  if (aster) {
    ReadAsterDirectory(dir, reply);
  } else {
    int withSensor = 0;
    for (std::size_t i = 0; i < 3; ++i) withSensor += s.sensors.ch[i].sensorId > 0 ? 1 : 0;
    rec::ParseSornDirectory(reply, withSensor, dir);
  }
  s.highSpeed.directory = dir;
  F_.MemoryTotalIndex = dir.MemoryTotalIndex;
  return F_.ErrorNumber;
}

void TPelmora::ReadAsterDirectory(rec::BankDirectory& dir, const std::string& flagReply) {
  for (int k : rec::ParseAsterFlagList(flagReply)) {
    if (closePending_ || Abandoned()) return;
    FlushInput();
    SendCommand("s{80,11," + std::to_string(k) + "}");
    const std::string info = CollectReply(100, 10);
    // A bank the box does not describe cannot be read: it is not listed.
    if (pel::link::ReplyBody(info).empty()) continue;
    rec::BankRecord& bank = dir.banks[static_cast<std::size_t>(dir.MemoryTotalIndex)];
    ++dir.MemoryTotalIndex;
    bank.bankNumber = k;
    if (!rec::ParseAsterBankInfo(info, k, F_.Max_Record_Count, bank)) return;
  }
}

std::string TPelmora::ReadBankInfo(int pBank) {
  Frame frame(*this);
  F_.ErrorNumber = 0;
  auto& s = State();
  if (F_.RunningMode != 0 || !HasMemory(s.modelState)) {
    RaiseDeviceError(27);
    return {};
  }
  if (pBank < 1 || pBank > F_.MemoryTotalIndex || pBank > rec::kMaxBanks) {
    RaiseDeviceError(28);
    return {};
  }
  const rec::BankRecord& bank = s.highSpeed.directory.banks[static_cast<std::size_t>(pBank - 1)];
  try {
    pel::sensors::loadSensorInfo(SensorSettings(), F_.LanguageID, s.sensors, F_.signInvert,
                                 {bank.sensorId[0], bank.sensorId[1], bank.sensorId[2], bank.sensorId[3]});
  } catch (...) {
    // A resolution that is not a number: the texts loaded before it stay.
  }
  std::array<std::string, 3> units;
  for (std::size_t i = 0; i < 3; ++i) {
    if (bank.sensorId[i] == 0) s.sensors.ch[i].unit = "none";
    units[i] = s.sensors.ch[i].unit;
  }
  return rec::FormatBankInfo(pBank, bank, units);
}

int TPelmora::EraseMemoryData(int pBank, bool pAll) {
  Frame frame(*this);
  auto& s = State();
  if (s.modelState != model::Aster) return F_.ErrorNumber;
  // The directory read that follows refuses a busy link with 27 anyway; an
  // erase sent into a capture or download would spoil it.
  if (F_.RunningMode != 0) {
    RaiseDeviceError(27);
    return 27;
  }
  if (!pAll && (pBank < 1 || pBank > F_.MemoryTotalIndex || pBank > rec::kMaxBanks)) {
    RaiseDeviceError(28);
    return 28;
  }
  if (InExchange()) {
    RaiseDeviceError(22);
    return 22;
  }
  {
    Exchange guard(*this);
    FlushInput();
    if (pAll)
      SendCommand("s{80,13}");
    else
      SendCommand("s{80,14," + std::to_string(s.highSpeed.directory.banks[static_cast<std::size_t>(pBank - 1)].bankNumber) + "}");
    // Any reply ends the wait; after about 3 s it ends as if one had come.
    for (int pass = 0; pass < 30; ++pass) {
      Host().PumpMessages();
      PollInput();
      if (!TakeFrame().empty() || closePending_ || Abandoned()) break;
      Host().SleepMs(100);
    }
  }
  if (Abandoned()) return F_.ErrorNumber;
  try {
    HighSpeedExplorer();
  } catch (...) {
  }
  return F_.ErrorNumber;
}

void TPelmora::SetDigitalTiming(bool _P1, bool _P2, bool _P3) {
  Frame frame(*this);
  State().digitalTimingOptions = _P1 ? std::array<bool, 3>{true, false, false} : std::array<bool, 3>{false, _P2, _P3};
}
