// Records of a run: the stream parsers on the receive dispatch, delivery to
// the host, the recent-records list, conversion settings and the one-shot
// reading.
#include <string>

#include "devicelink/LinkFraming.h"
#include "devicelink/LinkModel.h"
#include "devicelink/Pelmora.h"
#include "devicelink/records/Conversion.h"
#include "devicelink/records/CurrentValue.h"
#include "devicelink/records/StreamParsers.h"
#include "devicelink/sensors/SensorRegistry.h"

namespace {
namespace model = pel::link::model;

enum Parser { kAnalog, kFastSingle, kFastBlock, kTiming };

// Hands the parsers' records to the component; a run that ended while a
// record was delivered (a handler or the automatic stop) ends the frame.
class ComponentSink final : public pel::records::RecordSink {
 public:
  explicit ComponentSink(TPelmora& p) : p_(p), stops_(p.Runs().stopCount) {}
  bool DeliverRecord(const std::string& record) override {
    if (Ended()) return false;
    p_.DeliverRecord(record);
    return !Ended();
  }
  void AutoStop() override {
    if (!Ended()) p_.Pelmora(false);
  }

 private:
  bool Ended() const { return p_.Runs().stopCount != stops_ || p_.F_.ExperimentMode == 0 || p_.Released(); }
  TPelmora& p_;
  const int stops_;
};
}  // namespace

void TPelmora::InstallRunHooks() {
  hooks_.analogFrame = [](TPelmora& p) { p.ParseLastFrame(kAnalog); };
  hooks_.fastSingle = [](TPelmora& p) { p.ParseLastFrame(kFastSingle); };
  hooks_.fastBlock = [](TPelmora& p) { p.ParseLastFrame(kFastBlock); };
  hooks_.timingFrame = [](TPelmora& p) { p.ParseLastFrame(kTiming); };
  hooks_.loopCountRule = [](TPelmora& p) {
    pel::records::ApplyLoopCountRule(p.Runs().stream);
  };
  hooks_.haltAcquisition = [](TPelmora& p) { p.HaltAcquisition(); };
  // The start's class tests (digital module on D, force sensors, photogates)
  // read the registry's lists; an item that is not a number matches nothing.
  runs_.sensorInClass = [](const std::string& className, int sensorId) {
    return SensorSettings().isPartOfSensor(sensorId, className);
  };
}

void TPelmora::SyncStreamSettings() {
  auto& s = State();
  auto& ctx = runs_.stream;
  ctx.modelState = s.modelState;
  ctx.mode8Port = F_.GetModeFor8Port;
  for (std::size_t i = 0; i < 8; ++i) {
    auto& c = ctx.channels[i];
    c.active = s.sensors.ch[i].active;
    c.rangeIndex = s.sensorRange[i];
    c.resolution = s.sensors.ch[i].resolution;
    c.signInvert = F_.signInvert[i];
    c.photogate = s.sensors.ch[i].photogate;
  }
  ctx.samplingTime = F_.SamplingTime;
  ctx.loopCount = F_.LoopCount;
  ctx.noOfData = F_.NoOfData;
  ctx.maxRecordCount = F_.Max_Record_Count;
  ctx.autoStop = F_.AutoStop;
  ctx.setZeroMode = F_.SetZeroMode;
  ctx.digitalInput = F_.CHInputMode == CHInput::Digital;
  ctx.digitalTimmingMode = F_.DigitalTimmingMode;
  ctx.digitalTiming = s.digitalTimingOptions;
  ctx.noOfStroboSlit = F_.NoOfStroboSlit;
}

void TPelmora::ParseLastFrame(int parser) {
  // The parsers read their own copy: a handler may take further frames.
  const std::string frame = State().receive.lastFrame;
  SyncStreamSettings();  // sign inversion may change during a run
  auto& ctx = runs_.stream;
  ComponentSink sink(*this);
  switch (parser) {
    case kAnalog: pel::records::ParseAnalogFrame(ctx, frame, sink); break;
    case kFastSingle: pel::records::ParseFastSingleFrame(ctx, frame, sink); break;
    case kFastBlock: pel::records::ParseFastBlockFrame(ctx, frame, sink); break;
    case kTiming: pel::records::ParseTimingFrame(ctx, frame, sink); break;
    default: break;
  }
}

bool TPelmora::DeliverRecord(const std::string& record) {
  Frame frame(*this);
  const int stops = runs_.stopCount;
  // One guard over the three steps: a handler that throws ends them, so that
  // record is not listed and nothing is pumped; the run goes on.
  try {
    if (F_.DataReceived) FireDataReceived(std::wstring(record.begin(), record.end()));
    runs_.recent.Append(record);
    Host().PumpMessages();
  } catch (...) {
  }
  return runs_.stopCount == stops;
}

void TPelmora::SetConvertUnit(int Index, int pType, double pA, double pB) {
  pel::records::SetConvertUnit(runs_.stream.convert, Index, pType, pA, pB);
}

std::string TPelmora::GetDataList() { return runs_.recent.GetDataList(); }

std::string TPelmora::GetCurrentValue() {
  Frame frame(*this);
  if (!F_.PelmoraConnected || F_.RunningMode != 0) return {};
  const int m = State().modelState;
  if (m == model::Usb) return UsbCurrentValue();
  if (m != model::Aster && m != model::Tolemic && m != model::Qor3) return {};
  if (InExchange()) {
    RaiseDeviceError(22);
    return {};
  }
  Exchange guard(*this);
  try {
    FlushInput();
    SendCommand("s{10,5}");
    std::string collected;
    for (int pass = 0; pass < 62; ++pass) {
      Host().SleepMs(15);
      Host().PumpMessages();
      PollInput();
      collected += TakeFrame();
      if (pel::link::ReplyComplete(collected)) break;
    }
    SyncStreamSettings();
    return pel::records::FormatCurrentValue(runs_.stream, collected);
  } catch (...) {
    return {};
  }
}
