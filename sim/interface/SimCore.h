#pragma once
// The engine behind a lock, as the transports and the test thread share it:
// the transport thread feeds it and takes the writes, the test thread
// changes settings and faults and reads the log.
#include <chrono>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "sim/interface/Faults.h"
#include "sim/interface/SimEngine.h"

namespace pel::sim {

// What a transport must do after feeding the engine.
struct Outgoing {
  std::vector<std::string> pieces;  // each one write, in order
  std::chrono::microseconds gap{0};  // pause between two pieces
  bool close = false;               // close the link after the pieces
};

class SimCore {
 public:
  using Clock = SimEngine::Clock;

  explicit SimCore(InterfaceSettings settings) : engine_(std::move(settings)) {}

  // Runs f(engine) under the lock; for settings, faults and handlers.
  template <class F>
  auto withEngine(F&& f) {
    std::lock_guard g(lock_);
    return f(engine_);
  }
  CommandLog& log() { return engine_.log(); }  // locks itself

  void connected(Clock::time_point now);
  // Feeds received bytes and emits due frames; returns what to send.
  Outgoing step(std::string_view received, Clock::time_point now);
  // How long the transport may wait for input before the next step is due,
  // at most `longest`.
  Clock::duration waitHint(Clock::time_point now, Clock::duration longest);

 private:
  std::mutex lock_;
  SimEngine engine_;
  PieceCutter cutter_{1};
  unsigned cutterSeed_ = 1;
};

}  // namespace pel::sim
