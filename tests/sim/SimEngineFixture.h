#pragma once
// A simulator engine on a fake clock, for the protocol tests.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/interface/SimEngine.h"

namespace pel::sim::test {

using Clock = SimEngine::Clock;
using Lines = std::vector<std::string>;

// Cuts text output into its CR LF lines; a missing final line end fails.
inline Lines linesOf(const std::string& out) {
  Lines lines;
  std::size_t pos = 0;
  while (pos < out.size()) {
    std::size_t e = out.find("\r\n", pos);
    if (e == std::string::npos) {
      ADD_FAILURE() << "output without line end: " << out.substr(pos);
      break;
    }
    lines.push_back(out.substr(pos, e - pos));
    pos = e + 2;
  }
  return lines;
}

class EngineTest : public ::testing::Test {
 protected:
  explicit EngineTest(Model m = Model::Qor) : engine(InterfaceSettings::forModel(m)) { engine.connect(t0); }
  void use(Model m) {
    engine.settings() = InterfaceSettings::forModel(m);
    engine.setup() = RunSetup{};
    engine.setEightPort(false);
  }
  // Sends each line with CR LF at `now`; returns the output as text.
  std::string raw(const Lines& lines) {
    for (const auto& l : lines) engine.receive(l + "\r\n", now);
    return engine.takeOutput();
  }
  Lines send(const Lines& lines) { return linesOf(raw(lines)); }
  Lines send(const std::string& line) { return send(Lines{line}); }
  // Moves the clock on and returns what became due.
  std::string advanceRaw(Clock::duration d) {
    now += d;
    engine.tick(now);
    return engine.takeOutput();
  }
  Lines advance(Clock::duration d) { return linesOf(advanceRaw(d)); }

  Clock::time_point t0 = Clock::time_point() + std::chrono::seconds(1000);
  Clock::time_point now = t0;
  SimEngine engine;
};

}  // namespace pel::sim::test
