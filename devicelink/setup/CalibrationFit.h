#pragma once
// Calibration of a sensor from up to five (reading, reference) points.

#include <cstdint>
#include <optional>
#include <span>

namespace pel::setup {

inline constexpr int kMaxCalibrationPoints = 5;

struct CalibrationPoint {
  double reading = 0.0;
  double reference = 0.0;
};

// corrected = constant + linear * reading + quadratic * reading^2
struct CalibrationCoefficients {
  double quadratic = 0.0;
  double linear = 1.0;
  double constant = 0.0;
};

// Two segments: `first` up to the break, `second` above it.
struct BrokenLine {
  CalibrationCoefficients first;
  CalibrationCoefficients second;
  double segmentBreak = 0.0;
};

// One point: an offset; two: the line through both; three to five: the
// least-squares parabola. Points beyond the fifth are ignored. Empty when there
// is no point or the coefficients are not finite (equal readings, a singular fit).
std::optional<CalibrationCoefficients> FitCalibration(std::span<const CalibrationPoint> points);

// The broken line of sensor ID 5 through the reference levels 4, 7 and 10, each
// replaced by the stored point of its level (the first three points only).
// Empty, like an unsolvable fit, when the sensor could not be sent the break.
std::optional<BrokenLine> FitBrokenLine(std::span<const CalibrationPoint> points);

// The segment break as the sensor takes it: thousandths, rounded half to
// even, sent as g and g + 1 in 32-bit integers. Empty for a break (a
// sensor's own reading) outside that range, which no cast may see.
std::optional<std::int32_t> SegmentBreakUnits(double segmentBreak);

}  // namespace pel::setup
