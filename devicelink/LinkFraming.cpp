#include "devicelink/LinkFraming.h"

namespace pel::link {

bool ReplyComplete(std::string_view collected) {
  return collected.find('{') != std::string_view::npos && collected.find('}') != std::string_view::npos;
}

void MapBrackets(std::string& buffer) {
  for (char& c : buffer) {
    if (c == '[') c = '{';
    else if (c == ']') c = '}';
  }
}

bool HoldsFrame(std::string_view buffer) {
  const auto p = buffer.find('{');
  return p != std::string_view::npos && buffer.find('}', p + 1) != std::string_view::npos;
}

std::string TakeFrame(std::string& buffer, bool frameMode, int& lastFrameLength) {
  if (!frameMode) {
    std::string all;
    all.swap(buffer);
    lastFrameLength = 0;
    return all;
  }
  for (;;) {
    const auto p = buffer.find('{');
    if (p == std::string::npos) return {};
    const auto e = buffer.find("\r\n", p + 1);
    if (e == std::string::npos) return {};  // held until its line end arrives
    const auto q = buffer.find('{', p + 1);
    if (q != std::string::npos && q < e) {
      buffer.erase(0, q);
      continue;
    }
    std::string frame = buffer.substr(p, e - p + 1);
    buffer.erase(0, e + 2);
    lastFrameLength = static_cast<int>(frame.size());
    return frame;
  }
}

std::string ReplyBody(std::string_view reply) {
  auto p = reply.find("{ ");
  if (p == std::string_view::npos) p = reply.find('{');
  if (p == std::string_view::npos) return {};
  const auto q = reply.find('}', p + 1);
  if (q == std::string_view::npos) return {};
  return std::string(reply.substr(p + 1, q - p - 1));
}

void NextField(std::string_view text, char separator, std::string& field, std::size_t& position) {
  const std::size_t length = text.size();
  field.clear();
  // Characters are addressed from 1 here; text[i - 1] is character i.
  while (position >= 1 && position <= length && text[position - 1] == separator && position < length) ++position;
  if (position > length || position < 1) return;
  std::size_t i = position;
  while (i <= length && text[i - 1] != separator) ++i;
  field.assign(text.substr(position - 1, i - position));
  position = i + 1;
}

void SplitFields(std::string_view text, char separator, std::vector<std::string>& list) {
  std::size_t position = 1;
  while (position <= text.size()) {
    std::string field;
    NextField(text, separator, field, position);
    list.push_back(std::move(field));
  }
}

std::vector<std::string> SplitFields(std::string_view text, char separator) {
  std::vector<std::string> list;
  SplitFields(text, separator, list);
  return list;
}

}  // namespace pel::link
