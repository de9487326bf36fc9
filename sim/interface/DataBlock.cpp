#include "sim/interface/DataBlock.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace pel::sim {
namespace {

std::string twoDigits(std::size_t n) {
  return std::string{static_cast<char>('0' + n / 10 % 10), static_cast<char>('0' + n % 10)};
}

std::string block(const std::string& head, std::span<const std::int32_t> raw, char close,
                  bool wrongCheck) {
  std::uint8_t check = xorCheck(raw);
  if (wrongCheck) check ^= 0xFF;
  return head + twoDigits(raw.size()) + "," + valueBytes(raw) + static_cast<char>(check) + close +
         "\r\n";
}

}  // namespace

std::int32_t toRaw(double value) {
  double r = std::nearbyint(value * 10000.0);
  if (!std::isfinite(r)) return 0;
  r = std::clamp(r, static_cast<double>(std::numeric_limits<std::int32_t>::min()),
                 static_cast<double>(std::numeric_limits<std::int32_t>::max()));
  return static_cast<std::int32_t>(r);
}

std::uint8_t xorCheck(std::span<const std::int32_t> raw) {
  std::uint8_t x = 0;
  for (unsigned char c : valueBytes(raw)) x ^= c;
  return x;
}

std::string valueBytes(std::span<const std::int32_t> raw) {
  std::string out;
  out.reserve(raw.size() * 4);
  for (std::int32_t v : raw) {
    auto u = static_cast<std::uint32_t>(v);
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((u >> shift) & 0xFF);
  }
  return out;
}

std::string sornBlock(std::span<const std::int32_t> raw, bool wrongCheck) {
  return block("[05,", raw, ']', wrongCheck);
}

std::string asterBlock(std::span<const std::int32_t> raw, bool wrongCheck) {
  return block("{", raw, '}', wrongCheck);
}

std::string scopeBlock(std::span<const std::int32_t> raw, bool wrongCheck) {
  if (raw.empty()) return "{00}\r\n";
  return block("{", raw, '}', wrongCheck);
}

}  // namespace pel::sim
