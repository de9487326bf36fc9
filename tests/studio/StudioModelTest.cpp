// Runs through the form's logic: rows, capacity, continued runs, event-mode
// captures, digital lines, beats per minute and the graph feed.
#include <gtest/gtest.h>

#include <cstdio>

#include "studio/core/StudioModel.h"
#include "tests/studio/StudioFakes.h"

namespace {
using namespace tessaly;
using namespace tessaly::test;

// An analog record as the link writes it.
std::string record(int n, double t, std::array<double, 4> v) {
  char buf[160];
  std::snprintf(buf, sizeof buf, "%d,%10.8f,%10.6f,%10.6f,%10.6f,%10.6f;", n, t, v[0], v[1], v[2], v[3]);
  return buf;
}

struct Rig {
  FakeLink link;
  FakeView view;
  FakeChart chart;
  StudioModel model{link, view, chart, StudioSettings{}};
  explicit Rig(const std::string& config, std::array<int, 8> ids = {12, -1, -1, -1, -1, -1, -1, -1}) {
    link.ids = ids;
    link.units[0] = "Volt(V)";
    model.Reset();
    model.ReadFromExcel(config);
    model.FinishSetup();
  }
  // Start; the link answers with its start event.
  void start() {
    model.StartStop();
    model.Started();
  }
  // Feeds records until the model stops the link or n records went.
  int feed(int from, int n, double value = 1.0) {
    int sent = 0;
    const int stopsBefore = link.stops;
    for (int i = 0; i < n && link.stops == stopsBefore; ++i, ++sent)
      model.DataLine(record(from + i, (from + i - 1) * link.samplingTime, {value, 0, 0, 0}));
    return sent;
  }
};

TEST(StudioRun, TimeModeRunFillsCapacityRows) {
  Rig r("EL[10]ST[0.1]A[12;V;1;0]");
  EXPECT_EQ(r.model.Capacity(), 101);
  EXPECT_EQ(r.view.unitLabels[0], "V");  // from the unit text's brackets
  r.start();
  EXPECT_EQ(r.model.Capacity(), 101);
  // The link stops itself after its planned records; the form's check
  // stops one past the capacity.
  EXPECT_EQ(r.feed(1, 200), 102);
  EXPECT_EQ(r.model.RecordCount(), 102);
  r.model.Stopped();
  EXPECT_DOUBLE_EQ(r.model.Records()[100].Time, 10.0);
  EXPECT_EQ(r.view.status[0], "[102 / 101]");
  EXPECT_EQ(r.view.values[0], "1");
  EXPECT_EQ(r.view.values[1], "");  // no sensor: box left alone
  EXPECT_FALSE(r.view.running);
}

TEST(StudioRun, StartAppliesTheSheetValues) {
  struct Case {
    std::string model;
    std::string config;
    int maxRecords;
    int capacity;
  } cases[] = {
      {"Tolemic", "EL[10]ST[0.005]", 800, 801},
      {"Qor-3", "EL[10]ST[0.005]", 800, 801},
      {"Qor", "EL[10]ST[0.005]", 50000, 2001},
      {"Tolemic", "EL[10]ST[0.01]", 50000, 1001},
  };
  for (const auto& c : cases) {
    Rig r(c.config);
    r.link.model = c.model;
    r.model.ReadFastRecordLimit("800");
    r.link.calls.clear();
    r.model.StartStop();
    EXPECT_EQ(r.link.maxRecords, c.maxRecords) << c.model << c.config;
    EXPECT_EQ(r.model.Capacity(), c.capacity) << c.model << c.config;
    EXPECT_EQ(r.link.calls.back(), "Pelmora 1");
  }
}

TEST(StudioRun, ContinuedRunGoesOnAfterTheKeptRows) {
  Rig r("EL[1]ST[0.1]");
  r.start();
  r.feed(1, 4);
  r.model.StartStop();  // Stop
  r.model.Stopped();
  EXPECT_EQ(r.model.KeptCount(), 4);
  r.view.eraseAnswer = false;
  r.start();
  EXPECT_EQ(r.view.questions, 1);
  EXPECT_EQ(r.model.RecordCount(), 4);
  // The device numbers again from 1; rows and counter go on.
  EXPECT_EQ(r.feed(1, 50), 8);
  r.model.TimerTick();
  EXPECT_EQ(r.view.status[0], "[12 / 11]");
  EXPECT_EQ(r.model.RecordCount(), 12);
  EXPECT_DOUBLE_EQ(r.model.Records()[6].Time, 0.6000000000000001);
  // Every row stored lies inside the table.
  EXPECT_GE(r.model.Records().size(), 12u);
  // Yes erases: the next run starts at row 0.
  r.model.StartStop();
  r.model.Stopped();
  r.view.eraseAnswer = true;
  r.start();
  EXPECT_EQ(r.model.RecordCount(), 0);
  EXPECT_EQ(r.model.KeptCount(), 0);
}

TEST(StudioRun, BadPieceEndsTheLineThere) {
  Rig r("EL[1]ST[0.1]", {1, 2, -1, -1, -1, -1, -1, -1});
  r.start();
  r.model.DataLine("1,0.0,2.5,x,0,0;");
  EXPECT_EQ(r.model.CurrentValues()[0], 2.5);
  EXPECT_EQ(r.model.RecordCount(), 0);
  r.model.DataLine("7;");  // a single piece is ignored
  EXPECT_EQ(r.model.RecordCount(), 0);
  // Five pieces: the fourth value is missing, which ends the line there.
  r.model.DataLine("2,0.1,1.5,2.5,3.5;");
  EXPECT_EQ(r.model.CurrentValues(), (std::array<double, 8>{1.5, 2.5, 3.5, 0, 0, 0, 0, 0}));
  EXPECT_EQ(r.model.RecordCount(), 0);
  r.model.TimerTick();
  EXPECT_EQ(r.view.status[2], "0.1");  // set before the missing piece
  EXPECT_EQ(r.view.values[0], "");
}

TEST(StudioRun, FastRecordLimitIsBoundedByTheTable) {
  Rig r("EL[100000000]ST[0.001]");
  r.link.model = "Qor-3";
  r.model.ReadFastRecordLimit("2000000000");
  EXPECT_EQ(r.model.FastRecordLimit(), StudioModel::kMaxRows - 2);
  EXPECT_NO_THROW(r.model.StartStop());
  EXPECT_EQ(r.link.maxRecords, StudioModel::kMaxRows - 2);
  EXPECT_LE(r.model.Records().size(), static_cast<std::size_t>(StudioModel::kMaxRows));
  EXPECT_EQ(r.link.calls.back(), "Pelmora 1");
}

TEST(StudioRun, ValueBoxesAndStatusShowTheNewestOncePerTick) {
  Rig r("EL[10]ST[0.01]", {12, -1, 5, -1, -1, -1, -1, -1});
  r.start();
  const int before = r.view.textsSet;
  for (int n = 1; n <= 50; ++n) r.model.DataLine(record(n, (n - 1) * 0.01, {n * 0.5, 0, n * 0.25, 0}));
  EXPECT_EQ(r.view.textsSet, before);
  r.model.TimerTick();
  // The counter, the time and the two boxes with a sensor, once each.
  EXPECT_EQ(r.view.textsSet, before + 4);
  EXPECT_EQ(r.view.status[0], "[50 / 1001]");
  EXPECT_EQ(r.view.status[2], "0.49000000");
  EXPECT_EQ(r.view.values[0], "25");
  EXPECT_EQ(r.view.values[2], "12.5");
  r.model.TimerTick();  // nothing new
  EXPECT_EQ(r.view.textsSet, before + 4);
  EXPECT_EQ(r.model.RecordCount(), 50);  // every line is a row
}

TEST(StudioRun, TwoFieldLinesFillTheDigitalChannel) {
  Rig r("EL[1]ST[0.5]DI[3]", {-1, -1, 7, -1, -1, 4, -1, -1});
  EXPECT_EQ(r.model.DigitalChannel(), 2);
  r.start();
  EXPECT_EQ(r.model.Capacity(), 3);
  r.model.DataLine("1,0.125000;");
  r.model.DataLine("2,0.250000;");
  r.model.TimerTick();
  EXPECT_EQ(r.view.values[2], "0.25");
  EXPECT_EQ(r.link.stops, 0);
  r.model.DataLine("3,0.375000;");
  EXPECT_EQ(r.link.stops, 1);  // capacity reached
  EXPECT_EQ(r.model.RecordCount(), 3);
  // Digital input: the hand-back carries no time.
  EXPECT_EQ(r.model.HandBackText().substr(0, 14), "1\t\t\t\t0.125\t\r2\t");
}

TEST(StudioRun, EventModeCapturesBuildRows) {
  Rig r("EL[1]ST[0.1]", {12, -1, 4, -1, -1, -1, -1, -1});
  r.model.ModeSwitch(false);
  EXPECT_TRUE(r.view.groupEnabled);
  EXPECT_EQ(r.view.buttonsVisible, (std::array<bool, 8>{true, false, true, false, false, false, false, false}));
  EXPECT_FALSE(r.view.buttonsEnabled);
  r.start();
  EXPECT_TRUE(r.view.buttonsEnabled);
  EXPECT_EQ(r.model.Capacity(), 4501);
  r.model.DataLine(record(1, 0, {1.5, 0, 2.5, 0}));
  EXPECT_EQ(r.model.RecordCount(), 0);  // event mode stores no line
  r.model.Capture(0);
  EXPECT_TRUE(r.view.marked[0]);
  r.model.DataLine(record(2, 0.2, {1.75, 0, 3.5, 0}));
  r.model.Capture(0);  // again before the row is complete: replaces
  r.model.Capture(2);
  EXPECT_EQ(r.model.RecordCount(), 1);
  EXPECT_FALSE(r.view.marked[0]);
  EXPECT_EQ(r.model.Records()[0].Values[0], 1.75);
  EXPECT_EQ(r.model.Records()[0].Values[2], 3.5);
  r.model.TimerTick();  // the capture asked for a redraw
  EXPECT_EQ(r.chart.points, 1);
  EXPECT_EQ((r.chart.data[{1, 0}]), std::make_pair(1.0f, 3.5f));
  EXPECT_EQ(r.model.HandBackText(), "1\t\t1.75\t\t3.5\t\r");
}

TEST(StudioRun, CapturesBeyondTheTableGrowIt) {
  Rig r("EL[0.2]ST[0.1]");  // a table of three rows
  r.model.ModeSwitch(false);
  for (int i = 0; i < 5000; ++i) r.model.Capture(0);
  EXPECT_EQ(r.model.RecordCount(), 5000);
  EXPECT_GE(r.model.Records().size(), 5000u);
}

TEST(StudioBpm, RisingCrossingsGiveTheRate) {
  Rig r("EL[10]ST[0.02]LC[500]");
  r.start();
  auto line = [&](int n, double v) { r.model.DataLine(record(n, 0, {v, 0, 0, 0})); };
  for (int n = 0; n < 10; ++n) line(n + 1, 1);
  line(11, 3.5);  // row 10, exactly the level: the reference 0.2 s
  r.model.TimerTick();
  EXPECT_EQ(r.view.status[1], "");
  for (int n = 11; n < 20; ++n) line(n + 1, 5);  // stays above: counts once
  for (int n = 20; n < 30; ++n) line(n + 1, 0);
  line(31, 4);  // row 30
  r.model.TimerTick();
  EXPECT_EQ(r.view.status[1], "BPM : 150.000");
  for (int n = 31; n < 40; ++n) line(n + 1, 4);
  r.model.TimerTick();
  EXPECT_EQ(r.view.status[1], "BPM : 150.000");
}

TEST(StudioGraph, TimerCopiesTheNewestRows) {
  struct Case {
    std::string config;
    int rows;
    int first, points;
  } cases[] = {
      {"EL[100]ST[0.05]", 1500, 500, 1000},
      {"EL[100]ST[0.05]", 700, 0, 700},
      {"EL[100]ST[0.05]LC[200]", 350, 150, 200},
      {"EL[100]ST[0.05]LC[200]", 150, 0, 150},
  };
  for (const auto& c : cases) {
    Rig r(c.config);
    r.start();
    r.feed(1, c.rows, 2.0);
    r.model.TimerTick();
    EXPECT_EQ(r.chart.points, c.points) << c.config << " " << c.rows;
    const auto& p0 = r.chart.data[{0, 0}];
    EXPECT_FLOAT_EQ(p0.first, static_cast<float>(c.first * 0.05)) << c.config << " " << c.rows;
    EXPECT_FLOAT_EQ(p0.second, 2.0f);
  }
  // Nothing new: no copy, also once more than 1000 rows are held.
  for (int rows : {10, 1500}) {
    Rig r("EL[100]ST[0.05]");
    r.start();
    r.feed(1, rows);
    r.model.TimerTick();
    const int repaints = r.chart.repaints;
    r.model.TimerTick();
    EXPECT_EQ(r.chart.repaints, repaints) << rows;
    r.feed(rows + 1, 1);
    r.model.TimerTick();
    EXPECT_EQ(r.chart.repaints, repaints + 1) << rows;
  }
}

TEST(StudioGraph, LayoutFollowsTheSensors) {
  Rig one("EL[1]ST[0.1]", {12, -1, -1, -1, -1, -1, -1, -1});
  EXPECT_EQ(one.model.SubsetChannels(), std::vector<int>{1});
  EXPECT_EQ(std::count(one.chart.calls.begin(), one.chart.calls.end(), "2975=1"), 0);

  Rig two("EL[1]ST[0.1]MODE8[Y]", {-1, 3, -1, -1, -1, -1, 8, -1});
  EXPECT_EQ(two.model.SubsetChannels(), (std::vector<int>{2, 7}));
  EXPECT_EQ(std::count(two.chart.calls.begin(), two.chart.calls.end(), "2975=1"), 1);
  EXPECT_EQ(std::count(two.chart.calls.begin(), two.chart.calls.end(), "3059[0]=2"), 1);

  Rig four("EL[1]ST[0.1]", {-1, 3, -1, -1, -1, -1, 8, -1});  // E..H unused without eight ports
  EXPECT_EQ(four.model.SubsetChannels(), std::vector<int>{2});

  Rig none("EL[1]ST[0.1]", {-1, -1, -1, -1, -1, -1, -1, -1});
  EXPECT_EQ(none.chart.subsets, 0);
  none.start();
  none.feed(1, 5);
  none.model.TimerTick();
  EXPECT_TRUE(none.chart.data.empty());
}

TEST(StudioGraph, TimerInterval) {
  struct Case {
    double st;
    unsigned ms;
  } cases[] = {{0.05, 100}, {0.1, 100}, {0.5, 500}, {0.1234, 123}, {2, 2000}};
  for (const auto& c : cases) {
    Rig r("");
    r.link.samplingTime = c.st;
    EXPECT_EQ(r.model.TimerInterval(), c.ms) << c.st;
  }
}

}  // namespace
