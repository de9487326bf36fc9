#pragma once
// Reading the body and the fields of a received frame.
#include <string>
#include <string_view>
#include <vector>

namespace pel::records {

// Text strictly between the first "{ " (else the first "{") and the next "}";
// empty when either is missing.
std::string ReplyBody(std::string_view reply);

// Takes one field starting at position (0-based) and moves position past it.
// Leading separators are skipped and runs count as one, but a text that ends in
// two or more separators (or holds only separators) yields one empty last field.
// False, position unchanged, when position is past the end.
bool NextField(std::string_view text, char separator, std::string& field, size_t& position);

// Appends every field of text to list.
void SplitFields(std::string_view text, char separator, std::vector<std::string>& list);
std::vector<std::string> SplitFields(std::string_view text, char separator);

}  // namespace pel::records
