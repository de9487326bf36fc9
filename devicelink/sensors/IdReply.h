#pragma once
// The sensor ID reply of a box interface ("{12,0,5,0}", eight IDs in 8-port
// mode) brought into the channel tables: IDs, terminal block, active flags.
#include <string_view>

#include "devicelink/sensors/SensorChannels.h"

namespace pel::sensors {

// Error number for a reply with fewer than 4 IDs.
inline constexpr int kErrorTooFewIds = 30;
// Model state of the Sorn II, the one model with a terminal block.
inline constexpr int kModelSornII = 0;

// Applies the raw reply as WaitReply collected it (empty after a time-out).
// Returns 0, or kErrorTooFewIds when the body holds fewer than 4 fields; the
// IDs then keep their previous values, and the flags are still recomputed.
// A field that is not a decimal integer ends the reading silently: IDs read
// before it take their new values, all others keep theirs. terminalBlockUse
// is the component's field of that name.
int applyIdReply(std::string_view reply, bool mode8Port, int modelState, const SensorRegistry& reg,
                 SensorChannels& t, bool& terminalBlockUse);

}  // namespace pel::sensors
