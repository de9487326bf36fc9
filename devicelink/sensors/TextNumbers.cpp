#include "devicelink/sensors/TextNumbers.h"

#include <charconv>
#include <cmath>

namespace pel::sensors {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Longer than any number the registry holds: refuse rather than scan it.
constexpr std::size_t kMaxNumberText = 64;

}  // namespace

std::string_view trimBlanks(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::optional<int> parseDecimalInt(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  if (text.empty() || text.size() > kMaxNumberText) return std::nullopt;
  // from_chars takes '-' but not '+'.
  if (text.front() == '+') {
    text.remove_prefix(1);
    if (text.empty() || text.front() == '-') return std::nullopt;
  }
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<double> parsePointNumber(std::string_view text) {
  text = trimBlanks(text);
  if (text.empty() || text.size() > kMaxNumberText) return std::nullopt;
  if (text.front() == '+') {
    text.remove_prefix(1);
    if (text.empty() || text.front() == '-') return std::nullopt;
  }
  double value = 0;
  const auto [end, ec] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::string decimal(int value) {
  char buf[16];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  (void)ec;  // 16 characters always hold a 32-bit integer
  return std::string(buf, end);
}

}  // namespace pel::sensors
