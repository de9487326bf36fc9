#include "highspeed/export/ExportSource.h"

#include <algorithm>

namespace quillon {

void SetRows(ExportSource& source, std::span<const float> a, std::span<const float> b,
             std::span<const float> c, int rowCount) {
  const std::size_t room = std::min({a.size(), b.size(), c.size()});
  const std::size_t n = rowCount <= 0 ? 0 : std::min(room, static_cast<std::size_t>(rowCount));
  source.columnA.assign(a.begin(), a.begin() + n);
  source.columnB.assign(b.begin(), b.begin() + n);
  source.columnC.assign(c.begin(), c.begin() + n);
}

bool IsFastCapture(const ExportSource& source) {
  // Widened to double as the dialog's own interval arithmetic does.
  return static_cast<int>(static_cast<double>(source.fastInterval) * 10000.0 + 0.1) != 0;
}

float TimeStep(const ExportSource& source) {
  return IsFastCapture(source) ? source.fastInterval : source.slowInterval;
}

}  // namespace quillon
