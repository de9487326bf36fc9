#include "sim/quillon/QuillonSim.h"

#include <cstdio>
#include <utility>

namespace quillon::sim {

namespace {

std::vector<int> Numbers(const std::string& body) {
  std::vector<int> v;
  std::size_t i = 0;
  while (i <= body.size()) {
    const std::size_t comma = body.find(',', i);
    const std::string part = body.substr(i, comma == std::string::npos ? std::string::npos : comma - i);
    v.push_back(std::atoi(part.c_str()));
    if (comma == std::string::npos) break;
    i = comma + 1;
  }
  return v;
}

// A bracketed line of exactly `length` bytes (with CR LF), padded with blanks
// after the opening bracket.
std::string Padded(char open, const std::string& content, char close, std::size_t length) {
  std::string pad;
  if (content.size() + 4 < length) pad.assign(length - 4 - content.size(), ' ');
  return std::string(1, open) + pad + content + std::string(1, close) + "\r\n";
}

}  // namespace

std::string EncodeFrame(const std::vector<std::int32_t>& raw, bool sorn, bool wrongCheck) {
  char head[16];
  std::snprintf(head, sizeof head, sorn ? "[05,%02d," : "{%02d,", static_cast<int>(raw.size()));
  std::string f = head;
  std::uint8_t x = 0;
  for (std::int32_t r : raw) {
    const auto u = static_cast<std::uint32_t>(r);
    for (int s = 24; s >= 0; s -= 8) {
      const auto b = static_cast<std::uint8_t>(u >> s);
      f.push_back(static_cast<char>(b));
      x ^= b;
    }
  }
  if (wrongCheck) x ^= 0x5A;
  f.push_back(static_cast<char>(x));
  f += sorn ? "]\r\n" : "}\r\n";
  return f;
}

QuillonSim::QuillonSim(Model model) : model_(model) {}

std::string QuillonSim::TakeOutput() {
  std::string o;
  o.swap(out_);
  return o;
}

namespace {
constexpr std::size_t kLongestCommand = 64;

// Numbers separated by ",": plain decimal, no sign, blank or leading zero.
bool WellFormedBody(const std::string& body) {
  std::size_t digits = 0;
  bool leadingZero = false;
  for (char c : body) {
    if (c == ',') {
      if (digits == 0) return false;
      digits = 0;
    } else if (c >= '0' && c <= '9') {
      if (leadingZero) return false;
      leadingZero = digits == 0 && c == '0';
      ++digits;
      continue;
    } else {
      return false;
    }
    leadingZero = false;
  }
  return digits > 0;
}
}  // namespace

void QuillonSim::Feed(const std::uint8_t* bytes, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const char c = static_cast<char>(bytes[i]);
    if (in_.empty()) {
      if (c != 'S') {
        stray_.push_back(c);
        continue;
      }
      if (!stray_.empty()) Reject(std::exchange(stray_, {}));
    }
    in_.push_back(c);
    if (in_.size() == 2 && c != '{') {
      Reject(std::exchange(in_, {}));
    } else if (c == '}') {
      std::string command = std::exchange(in_, {});
      const std::string body = command.substr(2, command.size() - 3);
      if (!WellFormedBody(body)) {
        Reject(std::move(command));
        continue;
      }
      commands_.push_back(std::move(command));
      if (!faults_.silent) Handle(body);
    } else if (in_.size() > kLongestCommand) {
      Reject(std::exchange(in_, {}));
    }
  }
}

void QuillonSim::Reject(std::string text) { rejected_.push_back(std::move(text)); }

std::vector<std::string> QuillonSim::Rejected() const {
  std::vector<std::string> all = rejected_;
  if (!stray_.empty()) all.push_back(stray_);
  return all;
}

void QuillonSim::Reply(const std::string& line) {
  if (faults_.noiseBeforeReplies) out_ += "\x01z";
  out_ += line;
}

void QuillonSim::SetBuffer(int number, int msInterval, int fastInterval, int a, int b, int c, int count) {
  SimBuffer& buf = Buffer(number);
  buf.used = true;
  buf.msInterval = msInterval;
  buf.fastInterval = fastInterval;
  buf.sensor[0] = a;
  buf.sensor[1] = b;
  buf.sensor[2] = c;
  buf.samples.resize(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    std::int32_t raw = PatternRaw(number, i);
    // In 30-sample frames from the buffer's start: "}" CR LF ends byte 29 (a
    // buffer-info length), or "]" CR LF ends byte 31 (an experiment-info length).
    if (faults_.lineEndSamples && i % 30 == 5) raw = 0x0000007D;
    if (faults_.lineEndSamples && i % 30 == 6) raw = (i / 30) % 2 == 0 ? 0x0D0A0000 : 0x005D0D0A;
    buf.samples[static_cast<std::size_t>(i)] = raw;
  }
}

void QuillonSim::SetSornExperiment(int msInterval, int fastInterval, int a, int b, int c, int blocks) {
  sorn_.used = true;
  sorn_.msInterval = msInterval;
  sorn_.fastInterval = fastInterval;
  sorn_.sensor[0] = a;
  sorn_.sensor[1] = b;
  sorn_.sensor[2] = c;
  sornBlocks_ = blocks;
  sorn_.samples.resize(static_cast<std::size_t>(blocks) * 30);
  for (std::size_t i = 0; i < sorn_.samples.size(); ++i) sorn_.samples[i] = PatternRaw(0, static_cast<int>(i));
}

std::string QuillonSim::BufferInfoLine(const SimBuffer& b) const {
  char s[64];
  std::snprintf(s, sizeof s, "%d,%d,%d,%d,%d,%d", b.msInterval, b.fastInterval, b.sensor[0], b.sensor[1],
                b.sensor[2], static_cast<int>(b.samples.size()));
  return Padded('{', s, '}', 30);
}

std::string QuillonSim::ExperimentInfoLine() const {
  char s[64];
  std::snprintf(s, sizeof s, "1,%d,%d,%d,%d,%d,%d", sorn_.msInterval, sorn_.fastInterval, sorn_.sensor[0],
                sorn_.sensor[1], sorn_.sensor[2], sornBlocks_);
  return Padded('[', s, ']', 32);
}

void QuillonSim::SendFrame(const std::vector<std::int32_t>& raw, bool sorn) {
  bool wrong = false;
  if (faults_.wrongCheckFrames > 0) {
    --faults_.wrongCheckFrames;
    wrong = true;
  }
  if (faults_.badHeaderFrames > 0) {
    const bool odd = (faults_.badHeaderFrames-- % 2) != 0;
    std::string f = EncodeFrame(raw, sorn, wrong);
    const std::size_t at = sorn ? 4 : 1;
    f[at] = odd ? '0' : '3';
    f[at + 1] = odd ? '0' : '1';
    Reply(f);
    return;
  }
  Reply(EncodeFrame(raw, sorn, wrong));
  if (faults_.unsolicitedLines) out_ += "{7}\r\n[33]\r\n";
}

void QuillonSim::FinishCapture() {
  if (!running_) return;
  running_ = false;
  if (model_ == Model::Sorn) {
    const int blocks = (captureSamples_ + 29) / 30;
    SetSornExperiment(0, setupCount_, setupChannel_ == 1 ? 1 : 0, setupChannel_ == 2 ? 2 : 0,
                      setupChannel_ == 3 ? 3 : 0, blocks);
    Reply(ExperimentInfoLine());
    return;
  }
  int slot = 1;
  while (slot <= 16 && Buffer(slot).used) ++slot;
  if (slot > 16) slot = 16;
  SetBuffer(slot, 0, setupCount_, setupChannel_ == 1 ? 1 : 0, setupChannel_ == 2 ? 2 : 0,
            setupChannel_ == 3 ? 3 : 0, captureSamples_);
  Reply(BufferInfoLine(Buffer(slot)));
}

void QuillonSim::Handle(const std::string& body) {
  const std::vector<int> v = Numbers(body);
  const int code = v.empty() ? -1 : v[0];
  const auto arg = [&](std::size_t i) { return i < v.size() ? v[i] : 0; };
  if (code == 10 && arg(1) == 3) {
    // The identification's content is not examined; only its length names the model.
    Reply(model_ == Model::Aster ? "{PELMORA HS A1.00}\r\n" : "{PELMORA HS S1.000}\r\n");
    return;
  }
  if (code == 82) {
    setupChannel_ = arg(1);
    setupCount_ = arg(2);
    Reply("{1}\r\n");
    return;
  }
  if (code != 80) return;
  switch (arg(1)) {
    case 0:  // stop
      if (running_) FinishCapture();
      Reply("{0}\r\n");
      break;
    case 1:  // start
      running_ = true;
      if (!holdCapture_) FinishCapture();
      break;
    case 4: {  // Sorn block
      const int k = arg(2);
      if (model_ != Model::Sorn || k < 0 || k >= sornBlocks_) break;
      std::vector<std::int32_t> raw(sorn_.samples.begin() + k * 30, sorn_.samples.begin() + k * 30 + 30);
      SendFrame(raw, true);
      break;
    }
    case 10: {
      std::string s = "{";
      for (int i = 1; i <= 16; ++i) s += std::string(i > 1 ? "," : "") + (Buffer(i).used ? "1" : "0");
      Reply(s + "}\r\n");
      break;
    }
    case 11: {
      const int n = arg(2);
      if (n >= 1 && n <= 16 && Buffer(n).used) Reply(BufferInfoLine(Buffer(n)));
      break;
    }
    case 12: {
      const int start = arg(2), count = arg(3);
      if (start != expectedNext_) {
        downloadBuffer_ = start / 3126 + 1;
      }
      if (downloadBuffer_ < 1 || downloadBuffer_ > 16 || count < 1 || count > 30) break;
      const SimBuffer& b = Buffer(downloadBuffer_);
      const int offset = start - (downloadBuffer_ - 1) * 3126;
      std::vector<std::int32_t> raw;
      for (int i = 0; i < count; ++i) {
        const int at = offset + i;
        raw.push_back(at >= 0 && at < static_cast<int>(b.samples.size()) ? b.samples[static_cast<std::size_t>(at)] : 0);
      }
      expectedNext_ = start + count;
      SendFrame(raw, false);
      break;
    }
    case 13:
      for (auto& b : buffers_) b = SimBuffer{};
      Reply("{1}\r\n");
      break;
    case 14: {
      const int n = arg(2);
      if (n >= 1 && n <= 16) Buffer(n) = SimBuffer{};
      Reply("{1}\r\n");
      break;
    }
    default:
      break;
  }
}

}  // namespace quillon::sim
