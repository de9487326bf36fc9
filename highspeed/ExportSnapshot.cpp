#include "highspeed/ExportSnapshot.h"

#include <algorithm>
#include <span>

namespace quillon {

ExportSource ExportSnapshot(AcquisitionModel& model, int rows) {
  ExportSource source;
  model.With([&](AcquisitionState& s) {
    const int n = std::clamp(rows, 0, s.table.m_rowCount);
    const auto column = [&](int c) {
      return std::span<const float>(s.table.columns[static_cast<std::size_t>(c)].data(), static_cast<std::size_t>(n));
    };
    SetRows(source, column(0), column(1), column(2), n);
    for (int ch = 0; ch < 3; ++ch) source.sensorId[ch] = s.m_sensorId[ch];
    source.slowInterval = s.m_slowInterval;
    source.fastInterval = s.m_fastInterval;
    source.levelRows = s.m_levelRows != 0;
    return 0;
  });
  return source;
}

}  // namespace quillon
