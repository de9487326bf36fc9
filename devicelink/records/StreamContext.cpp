#include "devicelink/records/StreamContext.h"

namespace pel::records {

StreamContext StreamContext::Snapshot() const {
  StreamContext copy = *this;
  if (!fields) return copy;
  auto& o = copy.own;
  o.modelState = modelState();
  o.mode8Port = mode8Port();
  for (int c = 0; c < kChannels; ++c) o.channels[static_cast<std::size_t>(c)] = channel(c);
  o.samplingTime = samplingTime();
  o.loopCount = loopCount();
  o.noOfData = noOfData();
  o.maxRecordCount = maxRecordCount();
  o.autoStop = autoStop();
  o.setZeroMode = setZeroMode();
  o.digitalInput = digitalInput();
  o.digitalTimmingMode = digitalTimmingMode();
  o.digitalTiming = digitalTiming();
  o.noOfStroboSlit = noOfStroboSlit();
  o.digitalChannel = digitalChannel();
  copy.fields = nullptr;
  return copy;
}

int LastActiveChannel(const StreamContext& ctx) {
  for (int c = kChannels - 1; c >= 0; --c)
    if (ctx.channel(c).active) return c;
  return 0;
}

void ResetRunState(StreamContext& ctx) {
  ctx.recordCounter = 0;
  ctx.timeCounter = 0;
  ctx.timing.fill(TimingState{});
  ctx.fastChannel = LastActiveChannel(ctx);
}

void ApplyLoopCountRule(StreamContext& ctx) {
  if (ctx.loopCount() == ctx.timeCounter && ctx.noOfData() != ctx.loopCount()) ctx.timeCounter = 0;
}

int EffectiveStroboSlit(int n) {
  if (n < 1) return 1;
  if (n > 255) return 255;
  return n;
}

}  // namespace pel::records
