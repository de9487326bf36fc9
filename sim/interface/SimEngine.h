#pragma once
// The simulated interface's protocol side, free of any transport: it takes
// the bytes a host sends, logs and answers each command line through a table
// of handlers, and streams frames while a run is on: normal frames, fast
// single-channel or block frames, or timing frames, as the set-up commands
// before "s{10,1}" chose (see RunSetup). Memory banks and scope runs are
// served by the handlers of MemoryCommands and ScopeCommands over the state
// kept here. Time comes in from the caller, so tests drive it with a fake
// clock.
//
// Not thread-safe: one owner at a time (SimCore adds the lock).
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/LineSplitter.h"
#include "sim/interface/BankMemory.h"
#include "sim/interface/Command.h"
#include "sim/interface/CommandLog.h"
#include "sim/interface/Faults.h"
#include "sim/interface/ScopeBuffer.h"
#include "sim/interface/SimSettings.h"

namespace pel::sim {

// What the set-up commands of a start chose; read when "s{10,1}" arrives.
struct RunSetup {
  int inputMode = 1;      // last "s{11,n}": 0 digital (timing stream), 1 analog,
                          // 2 digital timing, 3 scope, 5 analog 8-port
  int channel = 0;        // "s{13,n}": fast or timed channel, 1 = A; 0 none
  bool fastBlock = false;  // "s{146,1}" (and "s{146,0}" back)
  int plannedCount = 0;   // second argument of "s{12,t,n}"
  int overSampling = 0;   // "s{23,n}"
  bool timingOptions[3] = {false, false, false};  // "s{16,1,a,b,c}"
  int slits = 0;          // "s{16,2,n}"
};

enum class StreamKind { None, Normal, FastSingle, FastBlock, Timing };

class SimEngine {
 public:
  using Clock = std::chrono::steady_clock;
  using Handler = std::function<void(SimEngine&, const Command&, Clock::time_point now)>;
  // The line (without CR LF) a run sends for its n-th sample (from 0).
  using FrameSource = std::function<std::string(const SimEngine&, std::int64_t sample)>;
  using Timer = std::function<void(SimEngine&, Clock::time_point now)>;

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
  // Runs the timers and emits the stream frames that are due.
  void tick(Clock::time_point now);
  // When the next stream frame or timer is due; none while neither is.
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
  // The same with one line every `period` (at least 1 ms), for frames that
  // carry several samples.
  void startStream(Clock::time_point now, FrameSource source, Clock::duration period);
  void stopStream();
  // The normal frame of the n-th sample for the current port mode.
  std::string normalFrame(std::int64_t sample) const;
  // The n-th frame (from 0) of the fast and timing streams.
  std::string fastSingleFrame(std::int64_t frame) const;
  std::string blockFrame(std::int64_t frame) const;
  std::string timingFrame(std::int64_t frame) const;
  // The channels (0 = A) a block frame carries: those with a sensor ID above
  // 0 among A to D (A to H in 8-port mode), channel A when there is none.
  std::vector<int> blockChannels() const;
  double valueAt(std::int64_t sample, int channel) const;

  // Runs fn once at `when` (from tick); returns an id for cancel().
  int schedule(Clock::time_point when, Timer fn);
  void cancel(int id);

  // For handlers sending a memory or scope data block: composes it with a
  // right or a deliberately wrong check byte, as the faults say, and sends it.
  void sendDataBlock(const std::function<std::string(bool wrongCheck)>& compose);
  // Data blocks sent since the faults were last set.
  int dataBlocksSent() const { return blocksSent_; }
  // Nothing goes out: the silent fault, or silence after some data blocks.
  bool silentNow() const;

  RunSetup& setup() { return setup_; }
  const RunSetup& setup() const { return setup_; }
  StreamKind streamKind() const { return streaming_ ? kind_ : StreamKind::None; }
  BankMemory& memory() { return memory_; }
  const BankMemory& memory() const { return memory_; }
  ScopeBuffer& scope() { return scope_; }
  const ScopeBuffer& scope() const { return scope_; }

  bool streaming() const { return streaming_; }
  bool eightPort() const { return eightPort_; }
  void setEightPort(bool on) { eightPort_ = on; }
  double samplingTime() const { return samplingTime_; }
  // The time the host asked for, also below the shortest line interval
  // (fast streams pack several such samples into one line).
  double requestedSamplingTime() const { return requestedSampling_; }
  void setSamplingTime(double seconds);
  std::int64_t framesSent() const { return framesSent_; }

 private:
  void installStandardHandlers();
  void installStreamHandlers();
  void startRun(Clock::time_point now);
  void handleLine(const std::string& line, Clock::time_point now);
  void emitLine(std::string line);
  // Adds output: held back behind a late block, or out at once.
  void out(std::string bytes);
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
  int framesThisConnection_ = 0;
  int linesSent_ = 0;
  bool streaming_ = false;
  FrameSource source_;
  bool eightPort_ = false;
  double samplingTime_ = 0.2;
  double requestedSampling_ = 0.2;
  RunSetup setup_;
  StreamKind kind_ = StreamKind::Normal;
  std::optional<Clock::duration> period_;  // none: the sampling time
  BankMemory memory_;
  ScopeBuffer scope_;
  struct PendingTimer {
    int id;
    Clock::time_point when;
    Timer fn;
  };
  std::vector<PendingTimer> timers_;
  int nextTimerId_ = 1;
  int blocksSent_ = 0;
  Clock::time_point lastNow_{};                // of the last received bytes
  std::optional<Clock::time_point> holdUntil_;  // when the next held piece goes out
  std::deque<std::string> held_;               // a late block and what followed it
  Clock::time_point nextDue_{};
  std::int64_t sample_ = 0;
  std::int64_t framesSent_ = 0;
};

}  // namespace pel::sim
