#include "devicelink/records/FrameText.h"

namespace pel::records {

std::string ReplyBody(std::string_view reply) {
  size_t p = reply.find("{ ");
  if (p == std::string_view::npos) p = reply.find('{');
  if (p == std::string_view::npos) return {};
  size_t q = reply.find('}', p + 1);
  if (q == std::string_view::npos) return {};
  return std::string(reply.substr(p + 1, q - p - 1));
}

bool NextField(std::string_view text, char separator, std::string& field, size_t& position) {
  field.clear();
  const size_t len = text.size();
  // Skip separators but stop on the last character, so a tail of two or more
  // separators leaves one (empty) field behind.
  while (position < len && text[position] == separator && position + 1 < len) ++position;
  if (position >= len) return false;
  size_t i = position;
  while (i < len && text[i] != separator) ++i;
  field.assign(text.substr(position, i - position));
  position = i + 1;
  return true;
}

void SplitFields(std::string_view text, char separator, std::vector<std::string>& list) {
  size_t position = 0;
  std::string field;
  while (position < text.size()) {
    if (!NextField(text, separator, field, position)) break;
    list.push_back(field);
  }
}

std::vector<std::string> SplitFields(std::string_view text, char separator) {
  std::vector<std::string> list;
  SplitFields(text, separator, list);
  return list;
}

}  // namespace pel::records
