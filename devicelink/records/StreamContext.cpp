#include "devicelink/records/StreamContext.h"

namespace pel::records {

int LastActiveChannel(const StreamContext& ctx) {
  for (int c = kChannels - 1; c >= 0; --c)
    if (ctx.channels[static_cast<size_t>(c)].active) return c;
  return 0;
}

void ResetRunState(StreamContext& ctx) {
  ctx.recordCounter = 0;
  ctx.timeCounter = 0;
  ctx.timing.fill(TimingState{});
  ctx.fastChannel = LastActiveChannel(ctx);
  ctx.digitalChannel = LastActiveChannel(ctx);
}

void ApplyLoopCountRule(StreamContext& ctx) {
  if (ctx.loopCount == ctx.timeCounter && ctx.noOfData != ctx.loopCount) ctx.timeCounter = 0;
}

int EffectiveStroboSlit(int n) {
  if (n < 1) return 1;
  if (n > 255) return 255;
  return n;
}

}  // namespace pel::records
