#pragma once
// Numbers as the registry and the interface write them: decimal integers and
// numbers with a point as decimal separator, whatever the user's locale.
#include <optional>
#include <string>
#include <string_view>

namespace pel::sensors {

// Text without leading and trailing blanks (space, tab, CR, LF).
std::string_view trimBlanks(std::string_view text);

// A decimal integer with an optional sign, leading blanks allowed, nothing
// after the digits; nullopt for anything else or a value outside 32 bits.
std::optional<int> parseDecimalInt(std::string_view text);

// A finite number with '.' as decimal separator (an exponent allowed),
// surrounding blanks allowed; nullopt for anything else.
std::optional<double> parsePointNumber(std::string_view text);

// Decimal text of an integer, as key and value names carry sensor and
// language ids ("12", "-3").
std::string decimal(int value);

}  // namespace pel::sensors
