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
  ViewStreamSettings();
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

void TPelmora::ViewStreamSettings() {
  // The stream context reads these fields where they live: nothing is copied
  // in, so a setting changed during a run (sign inversion) shows at once.
  auto& s = State();
  auto& v = runs_.streamFields;
  v.owner = this;
  v.modelState = &s.modelState;
  v.mode8Port = &F_.GetModeFor8Port;
  v.channel = [](const void* owner, int c) {
    const auto& p = *static_cast<const TPelmora*>(owner);
    const auto& st = State();
    const auto i = static_cast<std::size_t>(c);
    pel::records::ChannelSetup ch;
    ch.active = st.sensors.ch[i].active;
    ch.rangeIndex = st.sensorRange[i];
    ch.resolution = st.sensors.ch[i].resolution;
    ch.signInvert = p.F_.signInvert[i];
    ch.photogate = st.sensors.ch[i].photogate;
    return ch;
  };
  v.samplingTime = &F_.SamplingTime;
  v.loopCount = &F_.LoopCount;
  v.noOfData = &F_.NoOfData;
  v.maxRecordCount = &F_.Max_Record_Count;
  v.autoStop = &F_.AutoStop;
  v.setZeroMode = &F_.SetZeroMode;
  v.digitalInput = [](const void* owner) {
    return static_cast<const TPelmora*>(owner)->F_.CHInputMode == CHInput::Digital;
  };
  v.digitalTimmingMode = &F_.DigitalTimmingMode;
  v.digitalTiming = &s.digitalTimingOptions;
  v.noOfStroboSlit = &F_.NoOfStroboSlit;
  v.digitalChannel = &s.digitalChannel;
  runs_.stream.fields = &v;
}

void TPelmora::ParseLastFrame(int parser) {
  // The parsers read their own copy: a handler may take further frames.
  const std::string frame = State().receive.lastFrame;
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
    if (!Released()) Host().PumpMessages();
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
      // A close asked for from an event, or a host that let go, ends the wait.
      if (closePending_ || Abandoned()) return {};
      collected += TakeFrame();
      if (pel::link::ReplyComplete(collected)) break;
    }
    return pel::records::FormatCurrentValue(runs_.stream, collected);
  } catch (...) {
    return {};
  }
}
