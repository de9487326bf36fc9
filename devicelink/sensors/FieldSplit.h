#pragma once
// The two text cutters the sensor code shares with the link (they are the
// link's ReplyBody and SplitFields): a reply's body and the field splitter
// (runs of separators count as one).
#include <string>
#include <string_view>
#include <vector>

namespace pel::sensors {

// Text after the first "{ " (else after the first "{") up to the next "}";
// empty when either brace is missing. The body keeps the blank of "{ ".
std::string replyBody(std::string_view reply);

// Leading separators are skipped, a run of separators between fields counts
// as one, one trailing separator adds nothing, and a text ending in two or
// more separators (or made only of them) yields one empty last field.
std::vector<std::string> splitFields(std::string_view text, char separator);

}  // namespace pel::sensors
