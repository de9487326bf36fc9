#include "devicelink/records/StreamParsers.h"

#include <algorithm>
#include <string>
#include <vector>

#include "devicelink/LinkFraming.h"
#include "devicelink/records/NumberText.h"

namespace pel::records {
namespace {

// Fields of the frame body. A body that ends in two or more blanks ends in an
// empty field, which is no number: like any bad field it ends the frame.
std::vector<std::string> BodyFields(std::string_view frame) {
  return pel::link::SplitFields(pel::link::ReplyBody(frame), ' ');
}

// "%d,%10.8f" of the next record; advances both counters.
std::string StartRecord(StreamContext& ctx) {
  const double time = ctx.timeCounter * ctx.samplingTime();
  ++ctx.recordCounter;
  ++ctx.timeCounter;
  std::string record = std::to_string(ctx.recordCounter);
  record += ',';
  AppendFixed(record, time, 10, 8);
  return record;
}

// Quantised, converted and sign-corrected value of channel c.
double ChannelValue(const StreamContext& ctx, int c, double v) {
  const ChannelSetup ch = ctx.channel(c);
  double x = ConvertValue(ctx.convert, c, Quantise(v, ch.Resolution()));
  return ch.signInvert ? -x : x;
}

bool PlannedCountReached(const StreamContext& ctx) {
  return ctx.autoStop() && ctx.recordCounter >= ctx.noOfData();
}

}  // namespace

void ParseAnalogFrame(StreamContext& ctx, std::string_view frame, RecordSink& sink) {
  const std::vector<std::string> fields = BodyFields(frame);
  if (fields.empty()) return;
  if (!ctx.setZeroMode() && PlannedCountReached(ctx)) {  // a frame that raced the stop
    sink.AutoStop();
    return;
  }
  std::string record = StartRecord(ctx);
  const int n = std::min(static_cast<int>(fields.size()), kChannels);
  for (int k = 0; k < n; ++k) {
    double v = 0;
    if (!ParseNumber(fields[static_cast<size_t>(k)], v)) return;  // no record; counters stay advanced
    const ChannelSetup ch = ctx.channel(k);
    record += ',';
    if (v == 0.0 || ch.Resolution() == 0.0) {
      record += " 0.0";
      continue;
    }
    double x = ChannelValue(ctx, k, v);
    if (ch.photogate && ctx.digitalTimmingMode() && ctx.digitalInput()) x /= 1000.0;
    AppendFixed(record, x, 10, 6);
  }
  // Every field is read as a number, also those past the eighth channel: a
  // bad one (an empty last field after two blanks) ends the frame.
  for (size_t k = static_cast<size_t>(n); k < fields.size(); ++k) {
    double v = 0;
    if (!ParseNumber(fields[k], v)) return;
  }
  for (int k = n; k < ctx.ChannelCount(); ++k) record += ", 0.0";
  record += ';';
  if (!sink.DeliverRecord(record)) return;
  if (!ctx.setZeroMode() && PlannedCountReached(ctx)) sink.AutoStop();
}

void ParseFastSingleFrame(StreamContext& ctx, std::string_view frame, RecordSink& sink) {
  const std::vector<std::string> fields = BodyFields(frame);
  for (const std::string& field : fields) {
    if (PlannedCountReached(ctx)) {
      sink.AutoStop();
      return;
    }
    std::string record = StartRecord(ctx);
    double v = 0;
    if (!ParseNumber(field, v)) return;
    for (int c = 0; c < ctx.ChannelCount(); ++c) {
      const ChannelSetup ch = ctx.channel(c);
      record += ',';
      if (ch.active && ch.Resolution() != 0.0)
        AppendFixed(record, ChannelValue(ctx, c, v), 10, 6);
      else
        record += " 0.0";
    }
    record += ';';
    if (!sink.DeliverRecord(record)) return;
    // Stop at the planned record itself, not only when the next sample comes.
    if (PlannedCountReached(ctx)) {
      sink.AutoStop();
      return;
    }
    ApplyLoopCountRule(ctx);
  }
}

void ParseFastBlockFrame(StreamContext& ctx, std::string_view frame, RecordSink& sink) {
  const std::vector<std::string> fields = BodyFields(frame);
  int activeCount = 0;
  for (int c = 0; c < ctx.ChannelCount(); ++c)
    if (ctx.channel(c).active) ++activeCount;
  if (activeCount == 0) return;  // no field would ever be consumed

  size_t i = 0;
  while (i < fields.size()) {
    // The plan is tested before a sample is taken: a sample left incomplete
    // by the previous frame has used up its number already.
    if (PlannedCountReached(ctx)) {
      sink.AutoStop();
      return;
    }
    std::string record = StartRecord(ctx);
    record += ',';
    for (int c = 0; c < ctx.ChannelCount(); ++c) {
      const ChannelSetup ch = ctx.channel(c);
      if (c > 0) record += ", ";
      if (!ch.active) {
        record += " 0.0";
        continue;
      }
      double v = 0;
      if (i >= fields.size() || !ParseNumber(fields[i], v)) return;  // incomplete sample: dropped
      ++i;
      if (ch.Resolution() == 0.0)
        record += " 0.0";
      else
        AppendFixed(record, ChannelValue(ctx, c, v), 10, 6);
    }
    record += ';';
    if (!sink.DeliverRecord(record)) return;
    if (PlannedCountReached(ctx)) {
      sink.AutoStop();
      return;
    }
    ApplyLoopCountRule(ctx);
  }
}

bool EmitTimingRecord(StreamContext& ctx, int k, double ticks, RecordSink& sink) {
  TimingState& st = ctx.timing[static_cast<size_t>(k)];
  st.edgeCount = 0;
  st.ticks = 0.0;
  if (!(ticks > 0.0)) return true;
  if (PlannedCountReached(ctx)) {  // one frame may hold many edges
    sink.AutoStop();
    return false;
  }
  ++ctx.recordCounter;
  ++ctx.timeCounter;
  std::string record = std::to_string(ctx.recordCounter);
  record += ',';
  AppendFixed(record, ticks * 0.001, 10, 6);
  record += ';';
  return sink.DeliverRecord(record);
}

void ParseTimingFrame(StreamContext& ctx, std::string_view frame, RecordSink& sink) {
  const std::string body = pel::link::ReplyBody(frame);
  const int k = (ctx.digitalChannel() >= 0 && ctx.digitalChannel() < kChannels) ? ctx.digitalChannel() : 0;
  const int slits = EffectiveStroboSlit(ctx.noOfStroboSlit());
  const size_t n = std::min<size_t>(body.size(), 72);
  for (size_t i = 0; i < n; ++i) {
    TimingState& st = ctx.timing[static_cast<size_t>(k)];
    const char ch = body[i];
    st.lastGate = ch;
    bool running = true;
    if (ctx.digitalTiming()[0]) {  // slit counting
      if (!st.gateOn && ch == '1') {
        st.gateOn = true;
        ++st.edgeCount;
      } else if (st.gateOn && ch == '0') {
        st.gateOn = false;
        if (st.edgeCount == slits) running = EmitTimingRecord(ctx, k, st.ticks, sink);
      }
    } else if (!st.gateOn && ch == '1') {
      st.gateOn = true;
      if (ctx.digitalTiming()[1])
        running = EmitTimingRecord(ctx, k, st.ticks, sink);
      else
        st.ticks = 0.0;
    } else if (st.gateOn && ch == '0') {
      st.gateOn = false;
      if (ctx.digitalTiming()[2])
        running = EmitTimingRecord(ctx, k, st.ticks, sink);
      else
        st.ticks = 0.0;
    }
    if (!running) return;
    st.ticks += 1.0;
  }
  if (ctx.autoStop() && ctx.timeCounter >= ctx.maxRecordCount() + 1) sink.AutoStop();
}

bool DispatchStreamFrame(int experimentMode, StreamContext& ctx, std::string_view frame,
                         RecordSink& sink, bool fastQorOverCom) {
  const size_t len = frame.size();
  switch (experimentMode) {
    case kExperimentNormal:
      if (len == 39 || len == 51 || len == 99) ParseAnalogFrame(ctx, frame, sink);
      break;
    case kExperimentFast: {
      const bool blockModel = ctx.modelState() == kModelTolemic || ctx.modelState() == kModelQor3 ||
                              (fastQorOverCom && ctx.modelState() == kModelQor);
      if (blockModel) {
        if (len == 51)
          ParseAnalogFrame(ctx, frame, sink);
        else if (len > 39)
          ParseFastBlockFrame(ctx, frame, sink);
      } else if (len == 75) {
        ParseFastSingleFrame(ctx, frame, sink);
      }
      break;
    }
    case kExperimentTiming:
      ParseTimingFrame(ctx, frame, sink);
      break;
    default:
      return false;
  }
  ApplyLoopCountRule(ctx);
  return true;
}

}  // namespace pel::records
