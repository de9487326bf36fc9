#include "studio/core/RecordTable.h"

#include <algorithm>

#include "studio/core/StudioText.h"

namespace tessaly {

std::string ClipboardLine(int number, const TDataRecord& row, const TableShape& shape) {
  std::string line = std::to_string(number);
  line += '\t';
  if (shape.withTime) line += FormatGeneral(row.Time);
  const int channels = shape.eightPorts ? 8 : 4;
  for (int k = 0; k < channels; ++k) {
    line += '\t';
    if (shape.sensorIds[static_cast<std::size_t>(k)] >= 0) line += FormatGeneral(row.Values[static_cast<std::size_t>(k)]);
  }
  line += '\r';
  return line;
}

std::string ClipboardTable(const std::vector<TDataRecord>& rows, int count, const TableShape& shape) {
  const int n = std::clamp(count, 0, static_cast<int>(rows.size()));
  std::string text;
  for (int r = 0; r < n; ++r) text += ClipboardLine(r + 1, rows[static_cast<std::size_t>(r)], shape);
  return text;
}

}  // namespace tessaly
