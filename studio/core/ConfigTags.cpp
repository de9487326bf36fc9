#include "studio/core/ConfigTags.h"

namespace tessaly {

namespace {
bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
}  // namespace

TagHit FindTag(std::string_view config, std::string_view tag) {
  TagHit hit;
  if (tag.empty()) return hit;
  const bool channelTag = tag.size() == 2 && tag[0] >= 'A' && tag[0] <= 'H' && tag[1] == '[';
  std::size_t at = config.find(tag);
  while (channelTag && at != std::string_view::npos && at > 0 && isLetter(config[at - 1]))
    at = config.find(tag, at + 1);
  if (at == std::string_view::npos) return hit;
  hit.found = true;
  const std::size_t from = at + tag.size();
  const std::size_t close = config.find(']', at + 1);
  if (close == std::string_view::npos || close < from) return hit;
  hit.closed = true;
  hit.content = std::string(config.substr(from, close - from));
  return hit;
}

}  // namespace tessaly
