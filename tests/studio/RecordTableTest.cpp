#include <gtest/gtest.h>

#include "studio/core/RecordTable.h"

namespace {
using namespace tessaly;

std::vector<TDataRecord> rows(int n) {
  std::vector<TDataRecord> r(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    r[static_cast<std::size_t>(i)].Time = i * 0.1;
    for (int k = 0; k < 8; ++k) r[static_cast<std::size_t>(i)].Values[static_cast<std::size_t>(k)] = (k + 1) + i * 0.5;
  }
  return r;
}

TEST(ClipboardTable, LinesExactly) {
  TableShape ac;  // channels A and C, time mode
  ac.sensorIds = {12, -1, 4, -1, 5, 5, 5, 5};
  EXPECT_EQ(ClipboardTable(rows(4), 4, ac),
            "1\t0\t1\t\t3\t\r"
            "2\t0.1\t1.5\t\t3.5\t\r"
            "3\t0.2\t2\t\t4\t\r"
            "4\t0.3\t2.5\t\t4.5\t\r");

  TableShape digital = ac;  // no time column
  digital.withTime = false;
  EXPECT_EQ(ClipboardTable(rows(1), 1, digital), "1\t\t1\t\t3\t\r");

  TableShape eight;
  eight.sensorIds = {0, -1, -1, -1, -1, 3, -1, 9};
  eight.eightPorts = true;
  EXPECT_EQ(ClipboardTable(rows(2), 2, eight),
            "1\t0\t1\t\t\t\t\t6\t\t8\r"
            "2\t0.1\t1.5\t\t\t\t\t6.5\t\t8.5\r");
}

TEST(ClipboardTable, CountBeyondTheRowsHeldIsClamped) {
  TableShape s;
  EXPECT_EQ(ClipboardTable(rows(0), 0, s), "");
  EXPECT_EQ(ClipboardTable(rows(1), 5, s), "1\t0\t1\t2\t3\t4\r");
  EXPECT_EQ(ClipboardTable(rows(1), -1, s), "");
}

}  // namespace
