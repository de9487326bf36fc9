#pragma once
// Texts of the one-shot reading GetCurrentValue.
#include <array>
#include <string>
#include <string_view>

#include "devicelink/records/StreamContext.h"

namespace pel::records {

// From the collected reply to "s{10,5}": values "%10.6f" (or "0.0" for a zero
// value or a channel of resolution 0) joined by ",", padded with ",0.0" to 8
// values, then ";". Empty when the reply holds no fields or a field that is not
// a number; fields beyond the eighth are ignored.
std::string FormatCurrentValue(const StreamContext& ctx, std::string_view reply);

// USB sensors: the latest value of each channel, always 8 values; an inactive
// channel, a zero value or resolution 0 gives "0.0".
std::string FormatUsbCurrentValue(const StreamContext& ctx, const std::array<double, 8>& latest);

}  // namespace pel::records
