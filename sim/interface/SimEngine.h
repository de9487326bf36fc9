#pragma once
// The simulated interface's protocol side, free of any transport: it takes
// the bytes a host sends, logs and answers each command line through a table
// of handlers, and streams normal frames while a run is on. Time comes in
// from the caller, so tests drive it with a fake clock.
//
// Not thread-safe: one owner at a time (SimCore adds the lock).
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <utility>

#include "platform/LineSplitter.h"
#include "sim/interface/Command.h"
#include "sim/interface/CommandLog.h"
#include "sim/interface/Faults.h"
#include "sim/interface/SimSettings.h"

namespace pel::sim {

class SimEngine {
 public:
  using Clock = std::chrono::steady_clock;
  using Handler = std::function<void(SimEngine&, const Command&, Clock::time_point now)>;
  // The line (without CR LF) a run sends for its n-th sample (from 0).
  using FrameSource = std::function<std::string(const SimEngine&, std::int64_t sample)>;

  explicit SimEngine(InterfaceSettings settings = InterfaceSettings::forModel(Model::Qor));

  InterfaceSettings& settings() { return settings_; }
  const InterfaceSettings& settings() const { return settings_; }
  Faults& faults() { return faults_; }
  const Faults& faults() const { return faults_; }
  void setFaults(const Faults& f);
  CommandLog& log() { return log_; }

  // A handler for a command code, or for a code with a given first argument;
  // the latter is looked up first. An empty handler removes the entry.
  // Commands without a handler are logged and left unanswered.
  void setHandler(int code, Handler h);
  void setHandler(int code, const std::string& firstArg, Handler h);

  // A new peer: partial input, the run and the per-connection count reset.
  void connect(Clock::time_point now);
  void receive(std::string_view bytes, Clock::time_point now);
  // Emits the stream frames that are due.
  void tick(Clock::time_point now);
  // When the next stream frame is due; none while no run is on.
  std::optional<Clock::time_point> nextFrameDue() const;

  // What the transport must send, and whether it must then close the link.
  std::string takeOutput();
  bool takeCloseRequest();

  // For handlers. reply() sends a line with CR LF (subject to the faults);
  // sendRaw() sends bytes as they are (binary blocks; only silence applies).
  void reply(std::string_view line);
  void sendRaw(std::string_view bytes);
  // Starts a run: one line per sampling time, normal frames unless another
  // source is given (fast, timing or scope streams).
  void startStream(Clock::time_point now, FrameSource source = {});
  void stopStream();
  // The normal frame of the n-th sample for the current port mode.
  std::string normalFrame(std::int64_t sample) const;

  bool streaming() const { return streaming_; }
  bool eightPort() const { return eightPort_; }
  void setEightPort(bool on) { eightPort_ = on; }
  double samplingTime() const { return samplingTime_; }
  void setSamplingTime(double seconds);
  std::int64_t framesSent() const { return framesSent_; }

 private:
  void installStandardHandlers();
  void handleLine(const std::string& line, Clock::time_point now);
  void emitLine(std::string line);
  Clock::duration interval() const;

  InterfaceSettings settings_;
  Faults faults_;
  CommandLog log_;
  std::map<std::pair<int, std::string>, Handler> keyed_;
  std::map<int, Handler> byCode_;
  LineSplitter input_{4096};
  std::string output_;
  std::minstd_rand noise_{1};
  bool closeRequested_ = false;
  int linesThisConnection_ = 0;
  int linesSent_ = 0;
  bool streaming_ = false;
  FrameSource source_;
  bool eightPort_ = false;
  double samplingTime_ = 0.2;
  Clock::time_point nextDue_{};
  std::int64_t sample_ = 0;
  std::int64_t framesSent_ = 0;
};

}  // namespace pel::sim
