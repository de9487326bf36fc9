#include "devicelink/records/NumberText.h"

#include <charconv>
#include <cmath>

namespace pel::records {

void AppendFixed(std::string& out, double value, int width, int precision) {
  char buf[512];
  auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, precision);
  if (res.ec != std::errc()) {  // cannot happen for doubles within the buffer; keep it visible
    out += "nan";
    return;
  }
  int len = static_cast<int>(res.ptr - buf);
  if (len < width) out.append(static_cast<size_t>(width - len), ' ');
  out.append(buf, res.ptr);
}

std::string FormatFixed(double value, int width, int precision) {
  std::string s;
  AppendFixed(s, value, width, precision);
  return s;
}

std::string FormatGeneral(double value) {
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
  if (res.ec != std::errc()) return "0";
  double back = 0;
  const auto read = std::from_chars(buf, res.ptr, back, std::chars_format::general);
  if (std::isfinite(value) && (read.ec != std::errc() || !std::isfinite(back))) {
    res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 17);
    if (res.ec != std::errc()) return "0";
  }
  return std::string(buf, res.ptr);
}

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The text left for from_chars: blanks the rule allows taken off, and a
// single leading '+' (from_chars takes '-' only). False when nothing is left.
bool Unsigned(std::string_view& text, Blanks blanks) {
  if (blanks != Blanks::refused)
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  if (blanks == Blanks::around)
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) return false;
  }
  return !text.empty();
}

}  // namespace

bool ParseNumber(std::string_view text, double& value, Blanks blanks) {
  if (!Unsigned(text, blanks)) return false;
  double v = 0;
  auto res = std::from_chars(text.data(), text.data() + text.size(), v, std::chars_format::general);
  if (res.ec != std::errc() || res.ptr != text.data() + text.size() || !std::isfinite(v)) return false;
  value = v;
  return true;
}

bool ParseInteger(std::string_view text, int& value, Blanks blanks) {
  if (!Unsigned(text, blanks)) return false;
  int v = 0;
  auto res = std::from_chars(text.data(), text.data() + text.size(), v, 10);
  if (res.ec != std::errc() || res.ptr != text.data() + text.size()) return false;
  value = v;
  return true;
}

}  // namespace pel::records
