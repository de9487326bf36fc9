#pragma once
// Numbers in records and commands always use '.' whatever the user's locale,
// so nothing here goes through printf or the C locale.
#include <string>
#include <string_view>

namespace pel::records {

// printf's "%<width>.<precision>f": right-aligned to at least width characters.
void AppendFixed(std::string& out, double value, int width, int precision);
std::string FormatFixed(double value, int width, int precision);

// The general format: the shortest text of up to 15 significant digits, no
// trailing zeros. A number so near the largest double that 15 digits round
// past it gets 17, so that what is written always reads back.
std::string FormatGeneral(double value);

// Which blanks (space, tab, CR, LF) may stand around a number: none in a
// record's field, leading ones in a registry integer, both sides in a
// registry number.
enum class Blanks { refused, leading, around };

// A whole field as a finite number ("." separator, optional sign and exponent).
// False for anything else, including empty text, blanks not allowed by the
// rule, "inf" and "nan".
bool ParseNumber(std::string_view text, double& value, Blanks blanks = Blanks::refused);

// A whole field as a decimal integer with optional sign, within 32 bits.
bool ParseInteger(std::string_view text, int& value, Blanks blanks = Blanks::refused);

}  // namespace pel::records
