#include "sim/interface/SimEngine.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "sim/interface/MemoryCommands.h"
#include "sim/interface/NormalFrame.h"
#include "sim/interface/ScopeCommands.h"
#include "sim/interface/StreamFrames.h"

namespace pel::sim {
namespace {

// Shortest and longest sampling time the simulator streams at; a faster
// request is streamed at the shortest, so a run never floods the link.
constexpr double kMinSampling = 0.001;
constexpr double kMaxSampling = 3600.0;
// Frames emitted at most in one tick after a stall of the caller.
constexpr int kMaxCatchUp = 1000;
constexpr auto kShortestLine = std::chrono::milliseconds(1);

std::string idList(const std::array<int, 8>& ids, std::size_t n) {
  std::string s = "{";
  for (std::size_t i = 0; i < n; ++i) {
    if (i) s += ',';
    s += std::to_string(ids[i]);
  }
  return s + "}";
}

}  // namespace

SimEngine::SimEngine(InterfaceSettings settings) : settings_(std::move(settings)) {
  if (!settings_.value) settings_.value = defaultValue;
  installStandardHandlers();
  installStreamHandlers();
  installMemoryCommands(*this);
  installScopeCommands(*this);
}

void SimEngine::setFaults(const Faults& f) {
  faults_ = f;
  noise_.seed(f.seed);
  linesSent_ = 0;  // "every n-th line" counts from here
  blocksSent_ = 0;  // as do the data-block faults
}

void SimEngine::setHandler(int code, Handler h) {
  if (h)
    byCode_[code] = std::move(h);
  else
    byCode_.erase(code);
}

void SimEngine::setHandler(int code, const std::string& firstArg, Handler h) {
  if (h)
    keyed_[{code, firstArg}] = std::move(h);
  else
    keyed_.erase({code, firstArg});
}

void SimEngine::connect(Clock::time_point) {
  input_.clear();
  output_.clear();
  held_.clear();
  holdUntil_.reset();
  closeRequested_ = false;
  linesThisConnection_ = 0;
  framesThisConnection_ = 0;
  streaming_ = false;
}

void SimEngine::receive(std::string_view bytes, Clock::time_point now) {
  if (closeRequested_) return;  // the link is going down; the rest is lost
  lastNow_ = now;
  input_.feed(bytes);
  std::string line;
  while (!closeRequested_ && input_.next(line)) handleLine(line, now);
  if (closeRequested_) input_.clear();
}

void SimEngine::handleLine(const std::string& line, Clock::time_point now) {
  log_.append(now, line);
  ++linesThisConnection_;
  if (faults_.closeAfterCommands > 0 && linesThisConnection_ >= faults_.closeAfterCommands) {
    closeRequested_ = true;
    streaming_ = false;
    return;
  }
  Command c = parseCommand(line);
  if (!c.valid) return;
  // A handler that throws leaves its command unanswered; the link goes on.
  try {
    if (auto it = keyed_.find({c.code, c.arg(0)}); it != keyed_.end()) {
      it->second(*this, c, now);
      return;
    }
    if (auto it = byCode_.find(c.code); it != byCode_.end()) it->second(*this, c, now);
  } catch (const std::exception&) {
  }
}

bool SimEngine::silentNow() const {
  return faults_.silent || (faults_.silentAfterBlocks > 0 && blocksSent_ >= faults_.silentAfterBlocks);
}

void SimEngine::emitLine(std::string line) {
  if (silentNow()) return;
  ++linesSent_;
  if (faults_.garbageEvery > 0 && linesSent_ % faults_.garbageEvery == 0)
    line = noiseLine(noise_, std::max<std::size_t>(line.size(), 8));
  out(line + "\r\n");
}

void SimEngine::out(std::string bytes) {
  if (holdUntil_)
    held_.push_back(std::move(bytes));
  else
    output_ += bytes;
}

void SimEngine::reply(std::string_view line) { emitLine(std::string(line)); }

void SimEngine::sendRaw(std::string_view bytes) {
  if (!silentNow()) out(std::string(bytes));
}

void SimEngine::sendDataBlock(const std::function<std::string(bool wrongCheck)>& compose) {
  if (silentNow()) return;
  ++blocksSent_;
  if (faults_.lateBlock > 0 && blocksSent_ == faults_.lateBlock && !holdUntil_) {
    holdUntil_ = lastNow_ + std::chrono::milliseconds(std::max(0, faults_.lateBlockMs));
  }
  const auto& wrong = faults_.wrongCheckBlocks;
  out(compose(std::find(wrong.begin(), wrong.end(), blocksSent_) != wrong.end()));
}

void SimEngine::setSamplingTime(double seconds) {
  if (!(seconds > 0)) return;
  samplingTime_ = std::clamp(seconds, kMinSampling, kMaxSampling);
  requestedSampling_ = std::min(seconds, kMaxSampling);
}

SimEngine::Clock::duration SimEngine::interval() const {
  if (period_) return *period_;
  return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(samplingTime_));
}

void SimEngine::startStream(Clock::time_point now, FrameSource source) {
  streaming_ = true;
  kind_ = StreamKind::Normal;
  source_ = std::move(source);
  period_.reset();
  sample_ = 0;
  nextDue_ = now + interval();
}

void SimEngine::startStream(Clock::time_point now, FrameSource source, Clock::duration period) {
  startStream(now, std::move(source));
  period_ = std::max<Clock::duration>(period, kShortestLine);
  nextDue_ = now + *period_;
}

int SimEngine::schedule(Clock::time_point when, Timer fn) {
  int id = nextTimerId_++;
  timers_.push_back({id, when, std::move(fn)});
  return id;
}

void SimEngine::cancel(int id) {
  std::erase_if(timers_, [id](const PendingTimer& t) { return t.id == id; });
}

double SimEngine::valueAt(std::int64_t sample, int channel) const {
  return settings_.value ? settings_.value(sample, channel) : defaultValue(sample, channel);
}

void SimEngine::stopStream() { streaming_ = false; }

std::string SimEngine::normalFrame(std::int64_t sample) const {
  int channels = eightPort_ ? 8 : 4;
  std::vector<double> values;
  for (int k = 0; k < channels; ++k) values.push_back(valueAt(sample, k));
  return composeNormalFrame(eightPort_ ? settings_.frameLength8 : settings_.frameLength4, values,
                            settings_.squareBrackets);
}

std::string SimEngine::fastSingleFrame(std::int64_t frame) const {
  int n = std::clamp(settings_.fastSamplesPerFrame, 1, 36);
  int channel = setup_.channel >= 1 && setup_.channel <= 8 ? setup_.channel - 1 : 0;
  std::vector<double> values;
  for (int j = 0; j < n; ++j) values.push_back(valueAt(frame * n + j, channel));
  return composeFastSingleFrame(values);
}

std::vector<int> SimEngine::blockChannels() const {
  std::vector<int> channels;
  for (int k = 0; k < (eightPort_ ? 8 : 4); ++k)
    if (settings_.sensorIds[k] > 0) channels.push_back(k);
  if (channels.empty()) channels.push_back(0);
  return channels;
}

std::string SimEngine::blockFrame(std::int64_t frame) const {
  int n = std::clamp(settings_.blockSamplesPerFrame, 1, 100);
  std::vector<double> values;
  for (int j = 0; j < n; ++j)
    for (int c : blockChannels()) values.push_back(valueAt(frame * n + j, c));
  return composeBlockFrame(values);
}

std::string SimEngine::timingFrame(std::int64_t frame) const {
  int channel = setup_.channel >= 1 && setup_.channel <= 8 ? setup_.channel - 1 : 0;
  bool blocked[kTimingTicksPerFrame];
  for (int j = 0; j < kTimingTicksPerFrame; ++j) {
    std::int64_t tick = frame * kTimingTicksPerFrame + j;
    blocked[j] = settings_.gate ? settings_.gate(tick, channel) : defaultGate(tick, channel);
  }
  return composeTimingFrame(blocked);
}

void SimEngine::startRun(Clock::time_point now) {
  auto every = [](double seconds, int samples) {
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds * samples));
  };
  auto from = [](std::string (SimEngine::*frame)(std::int64_t) const) {
    return [frame](const SimEngine& e, std::int64_t n) { return (e.*frame)(n); };
  };
  switch (setup_.inputMode) {
    case 3:  // scope: the buffer is read, nothing streams
      return;
    case 0:
      startStream(now, from(&SimEngine::timingFrame), std::chrono::milliseconds(kTimingTicksPerFrame));
      kind_ = StreamKind::Timing;
      return;
    case 2:
      startStream(now);
      return;
    default:
      break;
  }
  if (setup_.fastBlock) {
    startStream(now, from(&SimEngine::blockFrame),
                every(requestedSampling_, std::clamp(settings_.blockSamplesPerFrame, 1, 100)));
    kind_ = StreamKind::FastBlock;
  } else if (setup_.channel > 0) {
    startStream(now, from(&SimEngine::fastSingleFrame),
                every(requestedSampling_, std::clamp(settings_.fastSamplesPerFrame, 1, 36)));
    kind_ = StreamKind::FastSingle;
  } else {
    startStream(now);
  }
}

void SimEngine::tick(Clock::time_point now) {
  while (holdUntil_ && *holdUntil_ <= now) {
    if (held_.empty()) {
      holdUntil_.reset();
      break;
    }
    output_ += held_.front();
    held_.pop_front();
    holdUntil_ = *holdUntil_ + std::chrono::milliseconds(std::max(0, faults_.heldReplyGapMs));
  }
  // Timers first, in time order; one may schedule or cancel others.
  while (true) {
    auto due = std::min_element(timers_.begin(), timers_.end(),
                                [](const PendingTimer& a, const PendingTimer& b) { return a.when < b.when; });
    if (due == timers_.end() || due->when > now) break;
    Timer fn = std::move(due->fn);
    timers_.erase(due);
    try {
      fn(*this, now);
    } catch (const std::exception&) {
    }
  }
  for (int n = 0; streaming_ && nextDue_ <= now; ++n) {
    if (n == kMaxCatchUp) {
      nextDue_ = now + interval();  // too far behind: drop the backlog
      break;
    }
    std::string frame;
    try {
      frame = source_ ? source_(*this, sample_) : normalFrame(sample_);
    } catch (const std::exception&) {
      streaming_ = false;  // a source that fails ends the run
      break;
    }
    emitLine(resizeFrame(frame, faults_.frameLengthDelta));
    ++sample_;
    ++framesSent_;
    nextDue_ += interval();
    if (faults_.closeAfterFrames > 0 && ++framesThisConnection_ >= faults_.closeAfterFrames) {
      closeRequested_ = true;
      streaming_ = false;
    }
  }
}

std::optional<SimEngine::Clock::time_point> SimEngine::nextFrameDue() const {
  std::optional<Clock::time_point> due;
  if (streaming_) due = nextDue_;
  if (holdUntil_ && (!due || *holdUntil_ < *due)) due = holdUntil_;
  for (const PendingTimer& t : timers_)
    if (!due || t.when < *due) due = t.when;
  return due;
}

std::string SimEngine::takeOutput() { return std::exchange(output_, std::string()); }

bool SimEngine::takeCloseRequest() { return std::exchange(closeRequested_, false); }

// Set-up commands a start sends without awaiting a reply: the box notes
// what they choose and answers nothing.
void SimEngine::installStreamHandlers() {
  auto intArg = [](const Command& c, std::size_t i, int low, int high, int& out) {
    int v = 0;
    if (parseInt(c.arg(i), v) && v >= low && v <= high) out = v;
  };
  setHandler(13, [intArg](SimEngine& e, const Command& c, Clock::time_point) {
    intArg(c, 0, 0, 8, e.setup().channel);
  });
  setHandler(146, [](SimEngine& e, const Command& c, Clock::time_point) {
    if (c.arg(0) == "0" || c.arg(0) == "1") e.setup().fastBlock = c.arg(0) == "1";
  });
  setHandler(23, [intArg](SimEngine& e, const Command& c, Clock::time_point) {
    intArg(c, 0, 0, 1000000, e.setup().overSampling);
  });
  setHandler(16, "1", [](SimEngine& e, const Command& c, Clock::time_point) {
    for (std::size_t k = 0; k < 3; ++k)
      if (c.arg(k + 1) == "0" || c.arg(k + 1) == "1") e.setup().timingOptions[k] = c.arg(k + 1) == "1";
  });
  setHandler(16, "2", [intArg](SimEngine& e, const Command& c, Clock::time_point) {
    intArg(c, 1, 0, 1000000, e.setup().slits);
  });
}

void SimEngine::installStandardHandlers() {
  auto optionalReply = [](std::optional<std::string> InterfaceSettings::*field) {
    return [field](SimEngine& e, const Command&, Clock::time_point) {
      if (const auto& r = e.settings().*field) e.reply(*r);
    };
  };
  // Identify, product, version; start, stop and a single reading.
  setHandler(10, "3", [](SimEngine& e, const Command&, Clock::time_point) {
    e.reply(e.settings().identifyReply);
  });
  setHandler(10, "R", [](SimEngine& e, const Command&, Clock::time_point) {
    e.reply("{" + e.settings().productNo + "}");
  });
  setHandler(10, "4", [](SimEngine& e, const Command&, Clock::time_point) {
    e.reply("{" + e.settings().versionNo + "}");
  });
  setHandler(10, "1", [](SimEngine& e, const Command&, Clock::time_point now) {
    e.startRun(now);
  });
  setHandler(10, "0", [](SimEngine& e, const Command&, Clock::time_point) { e.stopStream(); });
  setHandler(10, "5", [](SimEngine& e, const Command&, Clock::time_point) {
    e.reply(e.normalFrame(0));
  });
  // Input modes; 3 (scope) and 5 (8-port) also answer the capability probes.
  // The fast or timed channel is chosen anew after each of them.
  for (int mode : {0, 1, 2})
    setHandler(11, std::to_string(mode), [mode](SimEngine& e, const Command&, Clock::time_point) {
      e.setEightPort(false);
      e.setup().inputMode = mode;
      e.setup().channel = 0;
    });
  setHandler(11, "3", [probe = optionalReply(&InterfaceSettings::scopeProbe)](
                          SimEngine& e, const Command& c, Clock::time_point now) {
    e.setEightPort(false);
    e.setup().inputMode = 3;
    e.setup().channel = 0;
    probe(e, c, now);
  });
  setHandler(11, "5", [probe = optionalReply(&InterfaceSettings::eightPortProbe)](
                          SimEngine& e, const Command& c, Clock::time_point now) {
    e.setEightPort(true);
    e.setup().inputMode = 5;
    e.setup().channel = 0;
    probe(e, c, now);
  });
  setHandler(12, [](SimEngine& e, const Command& c, Clock::time_point) {
    double t = 0;
    if (parseNumber(c.arg(0), t)) e.setSamplingTime(t);
    int n = 0;
    if (parseInt(c.arg(1), n) && n >= 0) e.setup().plannedCount = n;
  });
  setHandler(16, "0", optionalReply(&InterfaceSettings::timingProbe));
  // Sensor IDs of channels A to D, or A to H.
  setHandler(20, [](SimEngine& e, const Command& c, Clock::time_point) {
    e.reply(idList(e.settings().sensorIds, c.arg(0) == "2" ? 8 : 4));
  });
}

}  // namespace pel::sim
