#include "sim/interface/ScopeCommands.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "sim/interface/DataBlock.h"
#include "sim/interface/SimEngine.h"

namespace pel::sim {
namespace {

using Clock = SimEngine::Clock;

int intArg(const Command& c, std::size_t i) {
  int v = 0;
  return parseInt(c.arg(i), v) ? v : -1;
}

}  // namespace

void installScopeCommands(SimEngine& engine) {
  engine.setHandler(89, [](SimEngine& e, const Command& c, Clock::time_point) {
    int n = intArg(c, 0);
    if (e.settings().scopeRuns && validScopeTimeIndex(n)) e.scope().timeIndex = n;
  });
  engine.setHandler(88, "1", [](SimEngine& e, const Command& c, Clock::time_point now) {
    int rows = intArg(c, 1);
    if (!e.settings().scopeRuns || rows < 1 || rows > 1000) return;
    ScopeBuffer& s = e.scope();
    s.started = true;
    s.running = true;
    s.rows = rows;
    s.channels = e.settings().scopeChannels;
    std::erase_if(s.channels, [](int ch) { return ch < 0 || ch > 7; });
    if (s.channels.empty()) s.channels = {0};
    s.start = now;
  });
  // Values not sampled yet (or beyond the buffer) give an empty block.
  engine.setHandler(88, "2", [](SimEngine& e, const Command& c, Clock::time_point now) {
    const ScopeBuffer& s = e.scope();
    int pos = intArg(c, 1), n = intArg(c, 2);
    if (!e.settings().scopeRuns || !s.started || pos < 0 || n < 0) return;
    const int available = s.available(now);
    int count = std::clamp(std::min(n, available - pos), 0, kBlockValues);
    if (e.faults().scopeEmptyUntilFull && available < s.total()) count = 0;
    std::vector<std::int32_t> raw;
    for (int p = pos; p < pos + count; ++p) raw.push_back(toRaw(e.valueAt(s.sampleAt(p), s.channelAt(p))));
    e.sendDataBlock([&raw](bool wrong) { return scopeBlock(raw, wrong); });
  });
  engine.setHandler(88, "0", [](SimEngine& e, const Command&, Clock::time_point now) {
    if (!e.settings().scopeRuns) return;
    ScopeBuffer& s = e.scope();
    if (s.running) {
      s.running = false;
      s.stoppedAt = now;
    }
    e.stopStream();
  });
}

}  // namespace pel::sim
