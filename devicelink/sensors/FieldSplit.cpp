#include "devicelink/sensors/FieldSplit.h"

namespace pel::sensors {

std::string replyBody(std::string_view reply) {
  std::size_t p = reply.find("{ ");
  if (p == std::string_view::npos) p = reply.find('{');
  if (p == std::string_view::npos) return {};
  const std::size_t q = reply.find('}', p + 1);
  if (q == std::string_view::npos) return {};
  return std::string(reply.substr(p + 1, q - p - 1));
}

std::vector<std::string> splitFields(std::string_view text, char separator) {
  std::vector<std::string> fields;
  const std::size_t n = text.size();
  std::size_t pos = 0;  // 0-based; the walk ends when pos reaches n
  while (pos < n) {
    // Skip separators, but never past the last character.
    while (text[pos] == separator && pos + 1 < n) ++pos;
    std::size_t i = pos;
    while (i < n && text[i] != separator) ++i;
    fields.emplace_back(text.substr(pos, i - pos));
    pos = i + 1;
  }
  return fields;
}

}  // namespace pel::sensors
