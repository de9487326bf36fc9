#include "highspeed/export/ExportNumber.h"

#include <charconv>

namespace quillon {

void AppendFixed(std::string& out, double value, int width, int precision) {
  char buf[512];
  const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, precision);
  const std::size_t len = r.ec == std::errc{} ? static_cast<std::size_t>(r.ptr - buf) : 0;
  if (static_cast<int>(len) < width) out.append(static_cast<std::size_t>(width) - len, ' ');
  out.append(buf, len);
}

void AppendInt(std::string& out, long long value) {
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, value);
  out.append(buf, r.ptr);
}

float ToSingle(double value) {
  volatile float stored = static_cast<float>(value);
  return stored;
}

}  // namespace quillon
