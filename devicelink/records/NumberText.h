#pragma once
// Numbers in records and commands always use '.' whatever the user's locale,
// so nothing here goes through printf or the C locale.
#include <string>
#include <string_view>

namespace pel::records {

// printf's "%<width>.<precision>f": right-aligned to at least width characters.
void AppendFixed(std::string& out, double value, int width, int precision);
std::string FormatFixed(double value, int width, int precision);

// A whole field as a finite number ("." separator, optional sign and exponent).
// False for anything else, including empty text, blanks, "inf" and "nan".
bool ParseNumber(std::string_view text, double& value);

// A whole field as a decimal integer with optional sign.
bool ParseInteger(std::string_view text, int& value);

}  // namespace pel::records
