#pragma once
// Locale-free number texts for the export file and single-precision rounding
// that holds on x87 as well (no excess precision leaks into stored values).

#include <string>

namespace quillon {

// Like printf "%<width>.<precision>f" in the "C" locale: right-aligned, point decimal.
void AppendFixed(std::string& out, double value, int width, int precision);
void AppendInt(std::string& out, long long value);

// Rounds to the nearest float, whatever precision the compiler keeps in registers.
float ToSingle(double value);

}  // namespace quillon
