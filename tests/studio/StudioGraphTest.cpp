// The studio's graph layout and feed through PESGraph onto a recording
// engine: the settings arrive under the engine's ids with the control's
// values.
#include <windows.h>

#include <gtest/gtest.h>

#include "studio/PesChart.h"
#include "studio/core/ChartFeed.h"
#include "tests/graph/RecordingEngine.h"

namespace {
using pel::graph::test::RecordingEngine;
using namespace tessaly;

struct Host {
  HWND hwnd = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 600, 450, nullptr, nullptr, nullptr, nullptr);
  ~Host() { DestroyWindow(hwnd); }
};

TEST(StudioGraph, LayoutReachesTheEngine) {
  RecordingEngine engine;
  Host host;
  auto chart = MakePesChart(host.hwnd, 405, 0, 2, 553, 424, RecordingEngine::Api());
  engine.Clear();
  ChartLayout l;
  l.timeMode = false;
  l.xAxisLabel = "NO";
  l.sensorIds = {12, -1, 4, -1, -1, -1, -1, -1};
  l.units[0] = "Volt(V)";
  l.units[2] = "N";
  EXPECT_EQ(DisplayBase(chart->Surface(), l), (std::vector<int>{1, 3}));
  for (const char* call : {"nset win 2943 1",    // BorderTypes sgSingleLine
                           "nset win 2320 14803425",  // DeskColor grey 225
                           "nset win 3032 2",    // GridStyle sgDot
                           "nset win 3282 3",    // AllowZooming sgHorzPlusVertZooming
                           "nset win 3247 1",    // ZoomInterfaceOnly sgRectangleSelector
                           "nset win 3090 17",   // PlottingMethod sgPointsPlusLine
                           "nset win 2115 2",    // Subsets
                           "nset win 2120 0",    // Points
                           "nset win 3006 1",    // the second subset's axis
                           "nset win 2975 1", "nset win 3149 1", "nset win 3111 1", "nset win 2619 1"})
    EXPECT_TRUE(engine.Has(call)) << call;
  EXPECT_FALSE(engine.Has("nset win 3090 0"));

  engine.Clear();
  std::vector<TDataRecord> rows(3);
  rows[2].Values[2] = 7.5;
  FeedRows(chart->Surface(), rows, FeedWindow{1, 2}, {1, 3}, false);
  EXPECT_TRUE(engine.Has("nset win 2120 2"));
  // Rows 1 and 2 are points 0 and 1 of each subset, in one call per axis;
  // in event mode x is the row number.
  EXPECT_TRUE(engine.Has("vset win 2135 4 2 3 2 3"));
  EXPECT_TRUE(engine.Has("vset win 2140 4 0 0 0 7.5"));
}

}  // namespace
