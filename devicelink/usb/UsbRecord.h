#pragma once
// The record of one USB sensor reading: number and time, then always eight
// values (channels A to H).
#include <array>
#include <string>

#include "devicelink/records/StreamContext.h"

namespace pel::usb {

// "%d,%10.8f" of number and time, then per channel: a channel that is active
// or whose reading is 0 is quantised to the resolution of its range,
// converted, sign-inverted when asked and written "%10.6f" (so a 0 reading
// still shows its conversion's offset); an inactive channel with a reading
// writes "0.0". Ends with ";".
std::string FormatUsbRecord(const records::StreamContext& ctx, const std::array<double, 8>& readings, int number,
                            double time);

}  // namespace pel::usb

namespace pel::usb {

// Record and time counters of a run on USB sensors. Reset by the start; a
// start with a short sampling time sets the record counter to -1, so the
// first reading makes no record.
struct UsbRunCounters {
  int record = 0;
  int time = 0;
};

struct UsbRecordStep {
  bool made = false;  // false: this reading only moved the counter
  std::string record;
  int number = 0;
  bool raise = false;  // to DataReceived (when a handler is set)
  bool stop = false;   // the acquisition ends after this record
};

// One reading: counts it, builds its record and says whether it is raised
// and whether the run stops. With AutoStop (outside zero setting) a reading
// past the planned count only moves the counter. running: RunningMode above 0; experimentGoing:
// ExperimentMode not 0.
UsbRecordStep NextUsbRecord(UsbRunCounters& counters, const records::StreamContext& ctx,
                            const std::array<double, 8>& readings, bool running, bool experimentGoing);

}  // namespace pel::usb
