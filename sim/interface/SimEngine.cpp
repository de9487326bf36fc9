#include "sim/interface/SimEngine.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "sim/interface/NormalFrame.h"

namespace pel::sim {
namespace {

// Shortest and longest sampling time the simulator streams at; a faster
// request is streamed at the shortest, so a run never floods the link.
constexpr double kMinSampling = 0.001;
constexpr double kMaxSampling = 3600.0;
// Frames emitted at most in one tick after a stall of the caller.
constexpr int kMaxCatchUp = 1000;

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
}

void SimEngine::setFaults(const Faults& f) {
  faults_ = f;
  noise_.seed(f.seed);
  linesSent_ = 0;  // "every n-th line" counts from here
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
  closeRequested_ = false;
  linesThisConnection_ = 0;
  streaming_ = false;
}

void SimEngine::receive(std::string_view bytes, Clock::time_point now) {
  if (closeRequested_) return;  // the link is going down; the rest is lost
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

void SimEngine::emitLine(std::string line) {
  if (faults_.silent) return;
  ++linesSent_;
  if (faults_.garbageEvery > 0 && linesSent_ % faults_.garbageEvery == 0)
    line = noiseLine(noise_, std::max<std::size_t>(line.size(), 8));
  output_ += line;
  output_ += "\r\n";
}

void SimEngine::reply(std::string_view line) { emitLine(std::string(line)); }

void SimEngine::sendRaw(std::string_view bytes) {
  if (!faults_.silent) output_ += bytes;
}

void SimEngine::setSamplingTime(double seconds) {
  if (seconds > 0) samplingTime_ = std::clamp(seconds, kMinSampling, kMaxSampling);
}

SimEngine::Clock::duration SimEngine::interval() const {
  return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(samplingTime_));
}

void SimEngine::startStream(Clock::time_point now, FrameSource source) {
  streaming_ = true;
  source_ = std::move(source);
  sample_ = 0;
  nextDue_ = now + interval();
}

void SimEngine::stopStream() { streaming_ = false; }

std::string SimEngine::normalFrame(std::int64_t sample) const {
  int channels = eightPort_ ? 8 : 4;
  std::vector<double> values;
  for (int k = 0; k < channels; ++k) values.push_back(settings_.value(sample, k));
  return composeNormalFrame(eightPort_ ? settings_.frameLength8 : settings_.frameLength4, values,
                            settings_.squareBrackets);
}

void SimEngine::tick(Clock::time_point now) {
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
  }
}

std::optional<SimEngine::Clock::time_point> SimEngine::nextFrameDue() const {
  if (!streaming_) return std::nullopt;
  return nextDue_;
}

std::string SimEngine::takeOutput() { return std::exchange(output_, std::string()); }

bool SimEngine::takeCloseRequest() { return std::exchange(closeRequested_, false); }

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
    e.startStream(now);
  });
  setHandler(10, "0", [](SimEngine& e, const Command&, Clock::time_point) { e.stopStream(); });
  setHandler(10, "5", [](SimEngine& e, const Command&, Clock::time_point) {
    e.reply(e.normalFrame(0));
  });
  // Input modes; 3 (scope) and 5 (8-port) also answer the capability probes.
  for (const char* mode : {"0", "1", "2"})
    setHandler(11, mode, [](SimEngine& e, const Command&, Clock::time_point) {
      e.setEightPort(false);
    });
  setHandler(11, "3", [probe = optionalReply(&InterfaceSettings::scopeProbe)](
                          SimEngine& e, const Command& c, Clock::time_point now) {
    e.setEightPort(false);
    probe(e, c, now);
  });
  setHandler(11, "5", [probe = optionalReply(&InterfaceSettings::eightPortProbe)](
                          SimEngine& e, const Command& c, Clock::time_point now) {
    e.setEightPort(true);
    probe(e, c, now);
  });
  setHandler(12, [](SimEngine& e, const Command& c, Clock::time_point) {
    double t = 0;
    if (parseNumber(c.arg(0), t)) e.setSamplingTime(t);
  });
  setHandler(16, "0", optionalReply(&InterfaceSettings::timingProbe));
  // Sensor IDs of channels A to D, or A to H.
  setHandler(20, [](SimEngine& e, const Command& c, Clock::time_point) {
    e.reply(idList(e.settings().sensorIds, c.arg(0) == "2" ? 8 : 4));
  });
}

}  // namespace pel::sim
