#pragma once
// The studio graph: its fixed look, the layout for the channels present, the
// rows the redraw timer copies, and the timer's interval.
#include <array>
#include <string>
#include <vector>

#include "studio/core/ChartSurface.h"
#include "studio/core/RecordTable.h"

namespace tessaly {

constexpr double kNoData = -99999;

// Resets the graph and sets its fixed look.
void InitChart(ChartSurface& chart);

struct ChartLayout {
  bool timeMode = true;
  std::string xAxisLabel;
  std::array<int, 8> sensorIds{};
  std::array<std::string, 8> units;
  bool eightPorts = false;
};
// InitChart, then one subset with its own y axis per channel with a sensor
// (A..D, and E..H with eight ports). Returns the channel numbers (1..8) of
// the subsets in order.
std::vector<int> DisplayBase(ChartSurface& chart, const ChartLayout& layout);

// Rows [first, first + points) are drawn.
struct FeedWindow {
  int first = 0;
  int points = 0;
};
// The newest 1000 rows, or in beats-per-minute mode the last loop of rows.
FeedWindow RedrawWindow(int recordCount, bool bpmMode, int loopCount);

// Sets Points and copies the window's rows into the graph, then repaints.
// x is the row's time in time mode, else its number (index + 1).
void FeedRows(ChartSurface& chart, const std::vector<TDataRecord>& rows, const FeedWindow& w,
              const std::vector<int>& subsetChannels, bool timeMode);

// 100 ms up to a sampling time of 0.1 s, else the sampling time in whole
// milliseconds (rounded).
unsigned TimerIntervalMs(double samplingTime);

}  // namespace tessaly
