#include "highspeed/ui/NumberText.h"

#include <charconv>
#include <cmath>

namespace ui {

std::string FormatFloat6(float value) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, static_cast<double>(value), std::chars_format::general, 6);
  return std::string(buf, r.ptr);
}

bool ParseFloat(const std::string& text, float& value) {
  std::size_t b = text.find_first_not_of(" \t");
  if (b == std::string::npos) return false;
  std::size_t e = text.find_last_not_of(" \t") + 1;
  const char* first = text.data() + b;
  if (*first == '+') ++first;
  double d = 0;
  const auto r = std::from_chars(first, text.data() + e, d);
  if (r.ec != std::errc() || r.ptr != text.data() + e || !std::isfinite(d)) return false;
  value = static_cast<float>(d);
  return true;
}

}  // namespace ui
