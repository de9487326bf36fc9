#include "devicelink/setup/CalibrationFit.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace pel::setup {
namespace {

bool Finite(const CalibrationCoefficients& c) {
  return std::isfinite(c.quadratic) && std::isfinite(c.linear) && std::isfinite(c.constant);
}

CalibrationCoefficients Line(const CalibrationPoint& a, const CalibrationPoint& b) {
  CalibrationCoefficients c;
  c.quadratic = 0.0;
  c.linear = (b.reference - a.reference) / (b.reading - a.reading);
  c.constant = a.reference - c.linear * a.reading;
  return c;
}

// Normal equations of y = c + b x + a x^2, solved by Cramer's rule.
CalibrationCoefficients Parabola(std::span<const CalibrationPoint> p) {
  const double n = static_cast<double>(p.size());
  double sx = 0, sx2 = 0, sx3 = 0, sx4 = 0, sy = 0, sxy = 0, sx2y = 0;
  for (const auto& q : p) {
    const double x = q.reading, y = q.reference, x2 = x * x;
    sx += x;
    sx2 += x2;
    sx3 += x2 * x;
    sx4 += x2 * x2;
    sy += y;
    sxy += x * y;
    sx2y += x2 * y;
  }
  const double d = (n * sx2 - sx * sx) * sx4 + (sx * sx2 - n * sx3) * sx3 + (sx3 * sx - sx2 * sx2) * sx2;
  CalibrationCoefficients c;
  c.quadratic = ((n * sx2 - sx * sx) * sx2y + (sx * sx2 - n * sx3) * sxy + (sx3 * sx - sx2 * sx2) * sy) / d;
  c.linear = ((sx2 * sx - n * sx3) * sx2y + (n * sx4 - sx2 * sx2) * sxy + (sx2 * sx3 - sx4 * sx) * sy) / d;
  c.constant = ((sx3 * sx - sx2 * sx2) * sx2y + (sx2 * sx3 - sx4 * sx) * sxy + (sx4 * sx2 - sx3 * sx3) * sy) / d;
  return c;
}

}  // namespace

std::optional<CalibrationCoefficients> FitCalibration(std::span<const CalibrationPoint> points) {
  if (points.size() > static_cast<std::size_t>(kMaxCalibrationPoints)) points = points.first(kMaxCalibrationPoints);
  CalibrationCoefficients c;
  switch (points.size()) {
    case 0:
      return std::nullopt;
    case 1:
      c.quadratic = 0.0;
      c.linear = 1.0;
      c.constant = points[0].reference - points[0].reading;
      break;
    case 2:
      c = Line(points[0], points[1]);
      break;
    default:
      c = Parabola(points);
      break;
  }
  if (!Finite(c)) return std::nullopt;
  return c;
}

std::optional<BrokenLine> FitBrokenLine(std::span<const CalibrationPoint> points) {
  CalibrationPoint level[3] = {{4.0, 4.0}, {7.0, 7.0}, {10.0, 10.0}};
  const std::size_t used = std::min<std::size_t>(points.size(), 3);
  for (std::size_t k = 0; k < used; ++k) {
    const double f = points[k].reference;
    level[f < 5.5 ? 0 : (f < 8.5 ? 1 : 2)] = points[k];
  }
  BrokenLine b;
  b.first = Line(level[0], level[1]);
  b.second = Line(level[1], level[2]);
  b.segmentBreak = level[1].reading;
  if (!Finite(b.first) || !Finite(b.second) || !SegmentBreakUnits(b.segmentBreak)) return std::nullopt;
  return b;
}

std::optional<std::int32_t> SegmentBreakUnits(double segmentBreak) {
  const double g = std::nearbyint(segmentBreak * 1000.0);
  // NaN fails both tests; g + 1 must fit as well.
  if (!(g >= static_cast<double>(INT32_MIN) && g < static_cast<double>(INT32_MAX))) return std::nullopt;
  return static_cast<std::int32_t>(g);
}

}  // namespace pel::setup
