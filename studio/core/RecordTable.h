#pragma once
// The studio's record table and its hand-back text for the clipboard.
#include <array>
#include <string>
#include <vector>

namespace tessaly {

// One row: the time in seconds and the values of channels A..H.
struct TDataRecord {
  double Time = 0;
  std::array<double, 8> Values{};
};

// Which columns the hand-back carries.
struct TableShape {
  bool withTime = true;           // analog input in time mode
  std::array<int, 8> sensorIds{};  // a channel's column is filled when its id is 0 or more
  bool eightPorts = false;        // columns of E..H
};

// One line per row 1..count: number, time, A..D (and E..H), separated by
// TAB, each line ended by a CR alone; empty fields keep their TABs. Numbers
// in the general format with a point. count is clamped to the rows held.
std::string ClipboardLine(int number, const TDataRecord& row, const TableShape& shape);
std::string ClipboardTable(const std::vector<TDataRecord>& rows, int count, const TableShape& shape);

}  // namespace tessaly
