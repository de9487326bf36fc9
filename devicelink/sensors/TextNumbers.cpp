#include "devicelink/sensors/TextNumbers.h"

#include <charconv>

#include "devicelink/records/NumberText.h"

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
  int value = 0;
  if (trimBlanks(text).size() > kMaxNumberText || !records::ParseInteger(text, value, records::Blanks::leading))
    return std::nullopt;
  return value;
}

std::optional<double> parsePointNumber(std::string_view text) {
  double value = 0;
  if (trimBlanks(text).size() > kMaxNumberText || !records::ParseNumber(text, value, records::Blanks::around))
    return std::nullopt;
  return value;
}

std::string decimal(int value) {
  char buf[16];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  (void)ec;  // 16 characters always hold a 32-bit integer
  return std::string(buf, end);
}

}  // namespace pel::sensors
