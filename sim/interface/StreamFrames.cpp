#include "sim/interface/StreamFrames.h"

#include "sim/interface/NormalFrame.h"

namespace pel::sim {

std::string composeFastSingleFrame(std::span<const double> samples) {
  return composeNormalFrame(kFastSingleFrameLength, samples, false);
}

std::string composeBlockFrame(std::span<const double> values) {
  int length = 3 + 9 * static_cast<int>(values.size());
  // Short frames would be dropped, 51 would go to the normal-frame parser.
  if (length <= 39) length = 42;
  if (length == 51) ++length;
  return composeNormalFrame(length, values, false);
}

std::string composeTimingFrame(std::span<const bool> blocked) {
  std::string frame = "{";
  for (bool b : blocked) frame += b ? '1' : '0';
  return frame + "}";
}

}  // namespace pel::sim
