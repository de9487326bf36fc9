#pragma once
#include <cmath>
#include <cstdint>
#include <limits>

namespace pel::setup {

// Nearest integer, halves to the even neighbour (the rounding of the interface's
// record counts), kept as a double so that huge quotients compare without overflow.
inline double RoundHalfEven(double x) {
  // nearbyint follows the current rounding mode, which is to-nearest-even
  // unless someone changed it; rint/nearbyint never use half-away-from-zero.
  return std::nearbyint(x);
}

// Clamps a rounded value into [lo, hi] and converts it; NaN gives lo.
inline std::int32_t ClampToInt(double rounded, std::int32_t lo, std::int32_t hi) {
  if (!(rounded >= lo)) return lo;
  if (rounded > hi) return hi;
  return static_cast<std::int32_t>(rounded);
}

}  // namespace pel::setup
