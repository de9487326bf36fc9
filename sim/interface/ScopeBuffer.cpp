#include "sim/interface/ScopeBuffer.h"

#include <algorithm>

namespace pel::sim {

bool validScopeTimeIndex(int n) {
  static constexpr int table[] = {1, 2, 4, 10, 20, 40, 100, 200, 400, 1000, 2000, 4000, 10000};
  return std::find(std::begin(table), std::end(table), n) != std::end(table);
}

ScopeBuffer::Clock::duration ScopeBuffer::instantInterval() const {
  return std::chrono::duration_cast<Clock::duration>(std::chrono::microseconds(25) * timeIndex);
}

int ScopeBuffer::available(Clock::time_point now) const {
  if (!started) return 0;
  Clock::time_point until = running ? now : std::min(now, stoppedAt);
  if (until <= start) return 0;
  long long instants = (until - start) / instantInterval();
  long long k = std::max<std::size_t>(channels.size(), 1);
  return static_cast<int>(std::min<long long>(total(), instants * k));
}

int ScopeBuffer::channelAt(int position) const {
  if (channels.empty()) return 0;
  return channels[static_cast<std::size_t>(position) % channels.size()];
}

long long ScopeBuffer::sampleAt(int position) const {
  return position / static_cast<long long>(std::max<std::size_t>(channels.size(), 1));
}

}  // namespace pel::sim
