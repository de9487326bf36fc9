#include "highspeed/Dialect.h"

#include <cmath>

namespace quillon {

namespace {
std::string Cmd(std::initializer_list<int> parts) {
  std::string s = "S{";
  bool first = true;
  for (int p : parts) {
    if (!first) s += ',';
    s += std::to_string(p);
    first = false;
  }
  return s + "}";
}
constexpr int kValueCap = 999999999;
}  // namespace

std::string CmdIdentify() { return Cmd({10, 3}); }
std::string CmdList() { return Cmd({80, 10}); }
std::string CmdInfo(int buffer) { return Cmd({80, 11, buffer}); }
std::string CmdSetup(int channel, int count) { return Cmd({82, channel, count}); }
std::string CmdStart() { return Cmd({80, 1}); }
std::string CmdStop() { return Cmd({80, 0}); }
std::string CmdDownload(int first, int count) { return Cmd({80, 12, first, count}); }
std::string CmdBlock(int index) { return Cmd({80, 4, index}); }
std::string CmdClear() { return Cmd({80, 13}); }
std::string CmdDelete(int buffer) { return Cmd({80, 14, buffer}); }

std::optional<int> IntervalCount(double seconds) {
  if (!std::isfinite(seconds) || seconds < 0) return std::nullopt;
  const double units = seconds * 10000.0 + 0.1;
  if (units >= kMaxIntervalCount) return kMaxIntervalCount;
  return static_cast<int>(units);
}

int ReadValues(const std::uint8_t* line, int length, char close, int expected, int* out) {
  int count = 0;
  long long value = 0;
  for (int i = 0; i < length && count <= expected; ++i) {
    const std::uint8_t b = line[i];
    if (b == '{' || b == '[') {
      value = 0;
    } else if (b >= '0' && b <= '9') {
      value = value * 10 + (b - '0');
      if (value > kValueCap) value = kValueCap;
    } else if (b == ',' || b == static_cast<std::uint8_t>(close)) {
      if (count < expected) out[count] = static_cast<int>(value);
      ++count;
      value = 0;
    }
  }
  return count;
}

float DecodeSample(const std::uint8_t* p) {
  const std::uint32_t u = (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
  const auto raw = static_cast<std::int32_t>(u);
  return static_cast<float>(raw) / 10000.0f;
}

std::uint8_t XorBytes(const std::uint8_t* p, int count) {
  std::uint8_t x = 0;
  for (int i = 0; i < count; ++i) x ^= p[i];
  return x;
}

}  // namespace quillon
