#pragma once
// The box's scope buffer: "s{88,1,rows}" samples rows x 10 values at the
// time base of "s{89,n}" (n x 25 us between instants), the channels of
// InterfaceSettings::scopeChannels interleaved; "s{88,2,pos,n}" reads
// blocks of it, "s{88,0}" ends the run (what was sampled stays readable).
#include <chrono>
#include <vector>

namespace pel::sim {

// The time base indexes the box takes: 1, 2, 4, 10, ... 10000.
bool validScopeTimeIndex(int n);

struct ScopeBuffer {
  using Clock = std::chrono::steady_clock;
  int timeIndex = 1;
  bool started = false;  // a buffer exists
  bool running = false;  // still sampling, until "s{88,0}"
  int rows = 0;
  std::vector<int> channels{0};
  Clock::time_point start{};
  Clock::time_point stoppedAt{};

  int total() const { return rows * 10; }
  Clock::duration instantInterval() const;
  // Positions sampled by `now` (0 before the first instant is over).
  int available(Clock::time_point now) const;
  // The channel and sample number of a position.
  int channelAt(int position) const;
  long long sampleAt(int position) const;
};

}  // namespace pel::sim
