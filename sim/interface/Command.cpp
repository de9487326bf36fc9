#include "sim/interface/Command.h"

#include <charconv>

namespace pel::sim {

Command parseCommand(std::string_view line) {
  Command c;
  c.text = std::string(line);
  if (line.size() < 4 || line.substr(0, 2) != "s{" || line.back() != '}') return c;
  std::string_view inner = line.substr(2, line.size() - 3);
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (true) {
    std::size_t comma = inner.find(',', start);
    parts.emplace_back(inner.substr(start, comma - start));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  if (!parseInt(parts[0], c.code) || c.code < 0) {
    c.code = -1;
    return c;
  }
  c.args.assign(parts.begin() + 1, parts.end());
  c.valid = true;
  return c;
}

bool parseNumber(std::string_view text, double& out) {
  double v = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return false;
  out = v;
  return true;
}

bool parseInt(std::string_view text, int& out) {
  int v = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return false;
  out = v;
  return true;
}

}  // namespace pel::sim
