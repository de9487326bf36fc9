// Calibration points made of a USB sensor's readings, through the fit, the
// zero-setting rule and the packets that carry the result to the sensor.
//
// Input: byte 0 the sensor (bit 0: the broken-line sensor ID 5), byte 1 the
// number of points (low 3 bits) and the zero-setting switch (bit 3), byte 2
// the channel's range, then per point a reading and a reference, each a byte
// (bit 0: eight raw bytes follow, any double; else two bytes, hundredths of
// a signed 16-bit number); the rest is a calibration order as the poll
// would take it.
//
// Checks: a fit has finite coefficients; every calibration the rule accepts
// goes out whole, and every packet sent is well-formed and its numbers read
// back; a refused one gives the refusal error and hands nothing over.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "devicelink/setup/CalibrationFit.h"
#include "devicelink/setup/SensorSetup.h"
#include "devicelink/usb/UsbCommands.h"
#include "tests/devicelink/setup/FakeSensors.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/fuzz/UsbPacketCheck.h"

namespace {

using namespace pel::setup;
using pel::fuzz::FuzzInput;

double Number(FuzzInput& in) {
  if (in.Byte() & 1u) return in.Real();
  const auto hi = in.Byte(), lo = in.Byte();
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(hi << 8 | lo)) / 100.0;
}

void CheckPackets(const CalibrationOrder& order, int range) {
  for (const auto& c : pel::usb::CalibrationPackets(order, range)) pel::fuzz::CheckUsbPacket(pel::usb::BuildUsbPacket(c));
}

void CheckFinite(const CalibrationCoefficients& c) {
  PEL_FUZZ_CHECK(std::isfinite(c.quadratic) && std::isfinite(c.linear) && std::isfinite(c.constant), "coefficients");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  const bool brokenLine = in.Bool();
  const std::uint8_t count = in.Byte();
  const int range = in.Byte() % 5;
  std::vector<CalibrationPoint> points;
  for (int i = 0; i < (count & 7); ++i) {
    const double reading = Number(in);
    points.push_back({reading, Number(in)});
  }

  if (const auto fit = FitCalibration(points)) CheckFinite(*fit);
  if (const auto line = FitBrokenLine(points)) {
    CheckFinite(line->first);
    CheckFinite(line->second);
    PEL_FUZZ_CHECK(SegmentBreakUnits(line->segmentBreak).has_value(), std::to_string(line->segmentBreak));
  }

  SetupState s = pel::setup::test::Idle(model::UsbSensors, 1);
  s.setZeroMode = true;
  s.channels[0].sensorId = brokenLine ? 5 : 12;
  s.channels[0].range = static_cast<unsigned char>(range);
  pel::setup::test::FakeSensors sensors;
  sensors.Class(kClassCalibration, s.channels[0].sensorId);
  const auto out = SensorZeroSetting(s, sensors, 1, (count & 8) != 0, [] { return 1; }, points);
  if (out.error != error::None) {
    PEL_FUZZ_CHECK(out.error == error::CalibrationUnsolvable && !out.calibration, std::to_string(out.error));
  } else {
    PEL_FUZZ_CHECK(out.calibration.has_value(), "an accepted zero setting without a calibration");
    const auto packets = pel::usb::CalibrationPackets(*out.calibration, s.channels[0].range);
    PEL_FUZZ_CHECK(!packets.empty(), "an accepted calibration that cannot be sent");
    CheckPackets(*out.calibration, s.channels[0].range);
  }

  // Whatever order reaches the poll: what it sends reads back.
  CalibrationOrder order;
  order.on = in.Bool();
  order.twoSegment = in.Bool();
  order.coefficients = {Number(in), Number(in), Number(in)};
  order.second = {Number(in), Number(in), Number(in)};
  order.segmentBreak = Number(in);
  CheckPackets(order, in.Byte());
  return 0;
}
