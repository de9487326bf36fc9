#pragma once
// Finding the tags of the configuration string the workbook side writes,
// e.g. "EL[10]ST[0.1]A[12;V;1;0]MODE8[Y]": each tag by its first occurrence.
#include <string>
#include <string_view>

namespace tessaly {

struct TagHit {
  bool found = false;   // the tag text occurs
  bool closed = false;  // and a "]" follows it
  std::string content;  // between the tag text and that "]"
};

// The first occurrence of the tag. The one-letter channel tags ("A[".."H[")
// count only where no letter stands before them, so that "C[" is not found
// inside "DC[" or "LC[".
TagHit FindTag(std::string_view config, std::string_view tag);

}  // namespace tessaly
