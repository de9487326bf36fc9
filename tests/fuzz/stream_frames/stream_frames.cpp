// Received text, in pieces of any size, through the frame taking and the
// dispatch of a run into the four stream parsers, with the settings a run
// would have.
//
// Input: 12 bytes of settings, then pieces (a length byte and its bytes).
//   0 ExperimentMode (1 normal, 2 fast, 3 timing, else 0)  1 model state
//   2 active channels (bit 0 = A)  3 flags (below)  4 timing options (bits 0-2)
//   5 NoOfData  6 LoopCount  7 NoOfStroboSlit  8 resolution  9 conversion
//   10 sampling time  11 the record after which a handler stops the run (0: never)
//   flags: 1 AutoStop, 2 SetZeroMode, 4 8-port, 8 digital input, 16
//   DigitalTimmingMode, 32 Qor block frames over COM, 64 the automatic stop
//   takes effect, 128 channel A inverted and D a photogate
//
// Checks: with AutoStop no record numbered above NoOfData (the normal stream
// of a zero-setting run aside); numbers rise and match the record counter;
// every record is numbers separated by "," and ended by ";", with a value
// per channel; frames run from "{" to CR; the receive text stays bounded;
// the link's dispatch by frame length and the records' own deliver the same.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "devicelink/LinkFraming.h"
#include "devicelink/LinkModel.h"
#include "devicelink/ReceiveState.h"
#include "devicelink/records/NumberText.h"
#include "devicelink/records/StreamParsers.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

using namespace pel::records;
using pel::fuzz::FuzzInput;
using pel::link::Dispatch;

struct Run {
  StreamContext ctx;
  int mode = 0;
  bool fastQor = false;
  bool stopTakesEffect = false;
  std::size_t stopAfter = 0;
};

Run Settings(FuzzInput& in) {
  static const int kModes[] = {1, 2, 3, 0};
  static const int kModels[] = {0, 1, 2, 4, 5, 7, 9};
  static const double kResolutions[] = {0.001, 0.1, 0.05, 0.0, 1e-300, 1e300, 1.0, -0.5};
  static const double kCoefficients[] = {0.0, 1.0, 2.0, -1.0, 0.5, 1e308, -1e-308, 1e-300};
  static const double kSamplingTimes[] = {0.2, 0.001, 0.005, 1.0, 0.0, 1e-9, 60.0, 1e300};
  Run r;
  r.mode = in.Pick(kModes);
  StreamSettings& s = r.ctx.own;
  s.modelState = in.Pick(kModels);
  const std::uint8_t active = in.Byte();
  const std::uint8_t flags = in.Byte();
  const std::uint8_t options = in.Byte();
  s.autoStop = flags & 1;
  s.setZeroMode = flags & 2;
  s.mode8Port = flags & 4;
  s.digitalInput = flags & 8;
  s.digitalTimmingMode = flags & 16;
  r.fastQor = flags & 32;
  r.stopTakesEffect = flags & 64;
  s.digitalTiming = {(options & 1) != 0, (options & 2) != 0, (options & 4) != 0};
  s.noOfData = in.Byte();
  s.loopCount = in.Byte();
  s.maxRecordCount = s.noOfData > 0 ? s.noOfData - 1 : 0;  // a digital run plans Max_Record_Count + 1
  s.noOfStroboSlit = in.Byte();
  const double resolution = in.Pick(kResolutions);
  const std::uint8_t conversion = in.Byte();
  for (int c = 0; c < kChannels; ++c) {
    ChannelSetup& ch = s.channels[static_cast<std::size_t>(c)];
    ch.active = (active >> c) & 1u;
    ch.resolution = {resolution, resolution, resolution, 0.000001};
    r.ctx.convert[static_cast<std::size_t>(c)] =
        ConvertSetting{conversion % 10, kCoefficients[(conversion >> 4) % 8], kCoefficients[(conversion >> 1) % 8]};
  }
  s.channels[0].signInvert = flags & 128;
  s.channels[3].photogate = flags & 128;
  s.samplingTime = in.Pick(kSamplingTimes);
  r.stopAfter = in.Byte();
  ResetRunState(r.ctx);
  return r;
}

// The records of one run, checked as they come.
class Sink final : public RecordSink {
 public:
  explicit Sink(Run& run) : run_(run) {}
  Dispatch parser = Dispatch::Drop;  // the parser now running
  std::vector<std::string> records;
  int autoStops = 0;

  bool DeliverRecord(const std::string& record) override {
    Check(record);
    records.push_back(record);
    if (run_.stopAfter > 0 && records.size() >= run_.stopAfter) {
      run_.mode = 0;  // the handler ran Pelmora(false)
      return false;
    }
    return true;
  }
  void AutoStop() override {
    ++autoStops;
    if (run_.stopTakesEffect) run_.mode = 0;
  }

 private:
  void Check(const std::string& record) {
    const StreamContext& ctx = run_.ctx;
    std::vector<std::string> fields;
    PEL_FUZZ_CHECK(pel::fuzz::RecordFields(record, fields), record);
    int number = 0;
    PEL_FUZZ_CHECK(ParseInteger(fields[0], number), record);
    PEL_FUZZ_CHECK(number == ctx.recordCounter && number > last_, record);
    last_ = number;
    const bool bound = ctx.autoStop() && !(parser == Dispatch::Analog && ctx.setZeroMode());
    PEL_FUZZ_CHECK(!bound || number <= ctx.noOfData(), record + " planned " + std::to_string(ctx.noOfData()));
    for (std::size_t i = 1; i < fields.size(); ++i) {
      double v = 0;
      PEL_FUZZ_CHECK(ParseNumber(fields[i], v, Blanks::around), record);
    }
    const std::size_t values = fields.size() - 2;
    const auto channels = static_cast<std::size_t>(ctx.ChannelCount());
    if (parser == Dispatch::Timing)
      PEL_FUZZ_CHECK(fields.size() == 2, record);
    else if (parser == Dispatch::Analog)
      PEL_FUZZ_CHECK(values >= channels && values <= 8, record);
    else
      PEL_FUZZ_CHECK(values == channels, record);
  }

  Run& run_;
  int last_ = 0;
};

// The receive handler of the link: pieces appended, brackets mapped, every
// complete frame taken and handed on by ExperimentMode and frame length.
template <class Handle>
void Receive(FuzzInput in, Run& run, Handle&& handle) {
  pel::link::ReceiveState rx;
  rx.frameMode = true;
  while (!in.Empty()) {
    rx.appendText(in.Piece());
    PEL_FUZZ_CHECK(rx.buffer.size() <= pel::link::ReceiveState::kMaxText, std::to_string(rx.buffer.size()));
    pel::link::MapBrackets(rx.buffer);
    while (pel::link::HoldsFrame(rx.buffer)) {
      std::string frame = pel::link::TakeFrame(rx.buffer, true, rx.lastFrameLength);
      if (frame.empty()) break;
      PEL_FUZZ_CHECK(frame.front() == '{' && frame.back() == '\r', frame);
      PEL_FUZZ_CHECK(static_cast<std::size_t>(rx.lastFrameLength) == frame.size(), frame);
      if (!handle(frame)) rx.buffer.clear();  // any other mode drains the input
      ApplyLoopCountRule(run.ctx);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  const Run settings = Settings(in);

  Run a = settings;
  Sink sa(a);
  Receive(in, a, [&](const std::string& frame) {
    const Dispatch target = pel::link::ChooseDispatch(a.mode, a.ctx.modelState(), static_cast<int>(frame.size()), a.fastQor);
    sa.parser = target;
    switch (target) {
      case Dispatch::Analog: ParseAnalogFrame(a.ctx, frame, sa); break;
      case Dispatch::FastBlock: ParseFastBlockFrame(a.ctx, frame, sa); break;
      case Dispatch::FastSingle: ParseFastSingleFrame(a.ctx, frame, sa); break;
      case Dispatch::Timing: ParseTimingFrame(a.ctx, frame, sa); break;
      case Dispatch::DrainInput: return false;
      default: break;
    }
    return true;
  });

  Run b = settings;
  Sink sb(b);
  Receive(in, b, [&](const std::string& frame) {
    sb.parser = pel::link::ChooseDispatch(b.mode, b.ctx.modelState(), static_cast<int>(frame.size()), b.fastQor);
    return DispatchStreamFrame(b.mode, b.ctx, frame, sb, b.fastQor);
  });

  PEL_FUZZ_CHECK(sa.records == sb.records,
                 std::to_string(sa.records.size()) + " records against " + std::to_string(sb.records.size()));
  PEL_FUZZ_CHECK(a.ctx.recordCounter == b.ctx.recordCounter && a.ctx.timeCounter == b.ctx.timeCounter, "counters");
  return 0;
}
