#pragma once
// Reading the body and the fields of a received frame: the link's own text
// handling, so replies and stream frames are cut the same way.
#include <string>
#include <string_view>
#include <vector>

#include "devicelink/LinkFraming.h"

namespace pel::records {

// Text strictly between the first "{ " (else the first "{") and the next "}";
// empty when either is missing.
using pel::link::ReplyBody;

// Leading separators are skipped and runs count as one, but a text that ends
// in two or more separators (or holds only separators) yields one empty last
// field. The list form appends.
using pel::link::SplitFields;
inline std::vector<std::string> SplitFields(std::string_view text, char separator) {
  std::vector<std::string> list;
  pel::link::SplitFields(text, separator, list);
  return list;
}

}  // namespace pel::records
