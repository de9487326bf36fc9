#pragma once
// The normal stream frame: one sample of every channel between braces,
// values separated by blanks, padded so that the line has an exact length.
// The host tells the frames apart by length (39, 51 and 99 counting the CR
// of the line end), so the composer keeps the length whatever the values.
#include <span>
#include <string>

namespace pel::sim {

// A frame line of `length` characters counting the CR that follows it, so
// the text returned is length - 1 characters long (without CR LF). Each value
// is printed with "." as decimal separator, right-aligned in an equal share
// of the line; a value too wide for its share loses decimals, then is
// clipped to the widest number that fits. Lengths below 3 give "{}".
std::string composeNormalFrame(int length, std::span<const double> values, bool squareBrackets);

// The frame with `delta` characters more (blanks before the closing brace)
// or fewer (cut from the values), for frames of a wrong length.
std::string resizeFrame(const std::string& frame, int delta);

}  // namespace pel::sim
