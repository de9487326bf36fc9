#pragma once
// What a simulated USB sensor is: its identifier, sensor ID, range, the
// reading it streams and the faults it shows. Tests choose the sensors with a
// text (for example the environment variable PELMORA_USB0_DEVICES):
//   "N"                 N sensors with the identifiers "1000001", "1000002"...
//   "k=v,k=v;k=v,..."   one sensor per ";"-separated entry, each field a key:
//     id       identifier text (may be empty or repeat another's)
//     sensor   sensor ID (answered as four digits)
//     range    range ordinal it reports
//     offset, slope   the reading at t seconds after the start: offset + slope * t
//     silent   seconds after the start from which it answers nothing
//     unplug   seconds after the start at which it leaves the bus
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelsim::usbsensor {

struct SensorProfile {
  std::string identifier = "1000001";
  int sensorId = 21;
  int range = 0;
  double offset = 0.0;
  double slope = 1.0;
  double silentAfter = -1.0;  // below 0: never
  double unplugAfter = -1.0;
};

// Nothing for a text that is neither form (or a count above 127).
std::optional<std::vector<SensorProfile>> ParseSensorProfiles(std::string_view text);

}  // namespace pelsim::usbsensor
