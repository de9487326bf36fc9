#include "sim/interface/NormalFrame.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace pel::sim {
namespace {

// The value in at most `width` characters.
std::string formatValue(double v, int width) {
  if (!std::isfinite(v)) v = 0;
  for (int precision = std::max(0, width - 5); precision >= 0; --precision) {
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, precision);
    if (ec == std::errc() && end - buf <= width) return std::string(buf, end);
  }
  // Too large even without decimals: the widest number of that sign.
  if (v < 0 && width >= 2) return "-" + std::string(width - 1, '9');
  return std::string(std::max(width, 1), '9');
}

}  // namespace

std::string composeNormalFrame(int length, std::span<const double> values, bool squareBrackets) {
  const char open = squareBrackets ? '[' : '{';
  const char close = squareBrackets ? ']' : '}';
  std::string frame(1, open);
  int inner = length - 3;  // between the braces
  std::size_t n = std::min<std::size_t>(values.size(), inner > 0 ? inner / 2 : 0);
  if (n > 0) {
    int share = inner / static_cast<int>(n);
    int extra = inner % static_cast<int>(n);
    for (std::size_t k = 0; k < n; ++k) {
      int width = share - 1 + (k == 0 ? extra : 0);
      std::string text = formatValue(values[k], width);
      frame += ' ';
      frame.append(width - text.size(), ' ');
      frame += text;
    }
  } else if (inner > 0) {
    frame.append(inner, ' ');
  }
  frame += close;
  return frame;
}

std::string resizeFrame(const std::string& frame, int delta) {
  if (delta == 0 || frame.size() < 2) return frame;
  std::string body = frame.substr(1, frame.size() - 2);
  if (delta > 0)
    body.append(delta, ' ');
  else
    body.resize(body.size() > static_cast<std::size_t>(-delta) ? body.size() + delta : 0);
  return frame.front() + body + frame.back();
}

}  // namespace pel::sim
