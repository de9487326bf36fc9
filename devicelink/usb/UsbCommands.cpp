#include "devicelink/usb/UsbCommands.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "devicelink/setup/Rounding.h"

namespace pel::usb {
namespace {

bool Finite(const setup::CalibrationCoefficients& c) {
  return std::isfinite(c.quadratic) && std::isfinite(c.linear) && std::isfinite(c.constant);
}

}  // namespace

UsbCommand Packet(const char* command, const char* code, const char* type, std::string data) {
  return {command, code, type, std::move(data)};
}

std::vector<UsbCommand> RunSetupPackets(const RunSetup& s) {
  std::vector<UsbCommand> out;
  if (!s.digitalPosition) {
    out.push_back(Packet("2001", "0000"));
    // The setter keeps SamplingTime within its range; the packet's integer
    // holds whatever it is given.
    const int ms = setup::ClampToInt(setup::RoundHalfEven(s.samplingTime * 1000.0), 0, INT32_MAX);
    out.push_back(Packet("2002", "0001", "D", std::to_string(ms)));
    out.push_back(Packet("1004", s.adc ? "0000" : "0001"));
    return out;
  }
  out.push_back(Packet("2001", "0001"));
  if (s.digitalTiming[0])
    out.push_back(Packet("2004", "0000", "D", "0000"));
  else if (s.digitalTiming[1])
    out.push_back(Packet("2004", "0000", "D", s.digitalTiming[2] ? "0003" : "0001"));
  else if (s.digitalTiming[2])
    out.push_back(Packet("2004", "0000", "D", "0002"));
  out.push_back(Packet("2005", "0000", "D", std::to_string(s.noOfStroboSlit)));
  out.push_back(Packet("1004", "0001"));
  return out;
}

std::vector<UsbCommand> CalibrationPackets(const setup::CalibrationOrder& order, int rangeOrdinal) {
  std::vector<UsbCommand> out;
  const auto real = [](const char* code, double v) { return Packet("1008", code, "F", FormatUsbReal(v)); };
  if (order.on) {
    // A calibration the packets cannot carry goes out not at all, rather
    // than in part or as garbage: the sensor keeps the one it has.
    const auto units = order.twoSegment ? setup::SegmentBreakUnits(order.segmentBreak) : std::optional<std::int32_t>(0);
    if (!Finite(order.coefficients) || (order.twoSegment && !Finite(order.second)) || !units) return out;
    out.push_back(Packet("1008", "0019", "D", "3"));
    out.push_back(real("0009", order.coefficients.quadratic));
    out.push_back(real("0010", order.coefficients.linear));
    out.push_back(real("0011", order.coefficients.constant));
    if (order.twoSegment) {
      out.push_back(real("0012", order.second.quadratic));
      out.push_back(real("0013", order.second.linear));
      out.push_back(real("0014", order.second.constant));
      const long long g = *units;
      const auto d = [](const char* code, long long v) { return Packet("9998", code, "D", std::to_string(v)); };
      out.push_back(d("0212", 0));
      out.push_back(d("0213", 0));
      out.push_back(d("0214", g / 256));
      out.push_back(d("0215", g % 256));
      out.push_back(d("0216", (g + 1) / 256));
      out.push_back(d("0217", (g + 1) % 256));
      out.push_back(d("0218", 54));
      out.push_back(d("0219", 176));
    }
    out.push_back(Packet("1008", "0100"));
    return out;
  }
  out.push_back(Packet("1008", "0019", "D", std::to_string(rangeOrdinal)));
  if (order.twoSegment) {
    const char* codes[] = {"0009", "0010", "0011", "0012", "0013", "0014"};
    const double values[] = {0, 1, 0, 0, 1, 0};
    for (int i = 0; i < 6; ++i) out.push_back(real(codes[i], values[i]));
    out.push_back(Packet("1008", "0100"));
  }
  return out;
}

}  // namespace pel::usb
