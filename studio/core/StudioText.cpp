#include "studio/core/StudioText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "devicelink/records/NumberText.h"
#include "devicelink/sensors/TextNumbers.h"

namespace tessaly {

BadNumber::BadNumber(std::string_view text)
    : std::runtime_error("'" + std::string(text) + "' is not a valid number") {}

std::vector<std::string> SplitText(std::string_view text, char separator) {
  std::vector<std::string> pieces;
  std::size_t pos = 0;
  for (;;) {
    const std::size_t at = text.find(separator, pos);
    if (at == std::string_view::npos) {
      // One character short of the end (nothing when pos is already there).
      const std::size_t n = text.size() > pos ? text.size() - pos - 1 : 0;
      pieces.emplace_back(text.substr(std::min(pos, text.size()), n));
      return pieces;
    }
    pieces.emplace_back(text.substr(pos, at - pos));
    pos = at + 1;
  }
}

std::string Trim(std::string_view text) {
  std::size_t b = 0, e = text.size();
  while (b < e && static_cast<unsigned char>(text[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ') --e;
  return std::string(text.substr(b, e - b));
}

double ParseNumber(std::string_view text, char decimal) {
  std::string t(text);
  if (decimal != '.') {
    // A point is no separator in this locale.
    if (t.find('.') != std::string::npos) throw BadNumber(text);
    for (char& c : t)
      if (c == decimal) c = '.';
  }
  const auto v = pel::sensors::parsePointNumber(t);
  if (!v) throw BadNumber(text);
  return *v;
}

int ParseInteger(std::string_view text) {
  const auto v = pel::sensors::parseDecimalInt(text);
  if (!v) throw BadNumber(text);
  return *v;
}

namespace {
std::string withDecimal(std::string s, char decimal) {
  if (decimal != '.')
    for (char& c : s)
      if (c == '.') c = decimal;
  return s;
}
}  // namespace

std::string FormatGeneral(double value, char decimal) {
  if (value == 0) return "0";  // also -0
  return withDecimal(pel::records::FormatGeneral(value), decimal);
}

std::string FormatBpm(double rate, char decimal) {
  char buf[64];
  // Only the number goes through snprintf; the C locale of the program is "C".
  std::snprintf(buf, sizeof buf, "BPM : %5.3f", rate);
  return withDecimal(buf, decimal);
}

bool SensorListed(std::string_view list, int id) {
  std::string piece;
  for (char c : list) {
    if (c == ',') {
      if (ParseInteger(Trim(piece)) == id) return true;
      piece.clear();
    } else {
      piece += c;
    }
  }
  // The remainder is converted as it stands.
  if (!piece.empty() && ParseInteger(piece) == id) return true;
  return false;
}

double BpmLevelFromText(std::string_view text, char decimal) {
  if (text.empty()) return 3.5;
  return ParseNumber(text, decimal);
}

}  // namespace tessaly
