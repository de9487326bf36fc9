#pragma once
// Which USB sensor serves which channel: eight slots (slot 0 is channel A),
// each holding the index of the device that serves it and that sensor's own
// identifier. The identifiers are kept between runs, so a sensor keeps its
// channel letter while it stays plugged in.
#include <array>
#include <string>
#include <vector>

namespace pel::usb {

inline constexpr int kSlots = 8;

struct UsbSlot {
  int device = 0;  // -1: no sensor
  std::string id;
  bool operator==(const UsbSlot&) const = default;
};
using UsbSlotTable = std::array<UsbSlot, kSlots>;

// Slots whose identifier no present device reports (and repeats of an
// earlier slot's identifier) are emptied and the rest close up in order; each
// device then takes the slot that holds its identifier, or the next free one.
// Slots beyond the devices are left empty (device -1). ids[i] is device i's;
// at most kSlots are used.
void MergeSlots(UsbSlotTable& slots, const std::vector<std::string>& ids);

// A new identifier for a sensor whose own is blank or taken: the time of day
// as "mmsszzz" (minutes, seconds, milliseconds), moved on by a millisecond
// while it equals one of taken.
std::string NewIdentifier(int minutes, int seconds, int milliseconds, const std::vector<std::string>& taken);

// Blanks and tabs off both ends.
std::string TrimBlanks(const std::string& s);

}  // namespace pel::usb
