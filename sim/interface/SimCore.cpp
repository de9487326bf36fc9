#include "sim/interface/SimCore.h"

#include <algorithm>

namespace pel::sim {

void SimCore::connected(Clock::time_point now) {
  std::lock_guard g(lock_);
  engine_.connect(now);
}

Outgoing SimCore::step(std::string_view received, Clock::time_point now) {
  std::lock_guard g(lock_);
  if (!received.empty()) engine_.receive(received, now);
  engine_.tick(now);
  const Faults& f = engine_.faults();
  if (f.seed != cutterSeed_) {
    cutterSeed_ = f.seed;
    cutter_.reseed(f.seed);
  }
  Outgoing out;
  out.pieces = cutter_.cut(engine_.takeOutput(), f.delivery);
  if (f.delivery != Delivery::Whole) out.gap = std::chrono::microseconds(f.pieceGapMicros);
  out.close = engine_.takeCloseRequest();
  return out;
}

SimCore::Clock::duration SimCore::waitHint(Clock::time_point now, Clock::duration longest) {
  std::lock_guard g(lock_);
  auto due = engine_.nextFrameDue();
  if (!due) return longest;
  return std::clamp<Clock::duration>(*due - now, Clock::duration::zero(), longest);
}

}  // namespace pel::sim
