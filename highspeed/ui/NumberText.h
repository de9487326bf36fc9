#pragma once
// Numbers as dialog texts, with '.' as the decimal point whatever the locale.
#include <string>

namespace ui {

// "%.*g" with 6 significant digits.
std::string FormatFloat6(float value);
// A decimal number with optional blanks around it; false when the text is no number.
bool ParseFloat(const std::string& text, float& value);

}  // namespace ui
