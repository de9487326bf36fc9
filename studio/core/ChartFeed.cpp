#include "studio/core/ChartFeed.h"

#include <algorithm>
#include <cmath>

namespace tessaly {

void InitChart(ChartSurface& g) {
  g.ReinitializeCustoms();
  g.Set(ChartFlag::ShowAnnotations, true);
  g.Set(ChartFlag::PrepareImages, true);
  g.Set(ChartChoice::BorderTypes, sg::SingleLine);
  g.Set(ChartColour::DeskColor, 0xE1E1E1u);
  g.Set(ChartColour::TextColor, 0u);
  g.Set(ChartColour::GraphBackColor, 0xFFFFFFu);
  g.Set(ChartColour::GraphForeColor, 0xBEBEBEu);
  g.Set(ChartNumber::NullDataValueX, kNoData);
  g.Set(ChartNumber::NullDataValueY, kNoData);
  const int subsets = g.Subsets(), points = g.Points();
  for (int s = 0; s < subsets; ++s)
    for (int p = 0; p < points; ++p) {
      g.SetXData(s, p, static_cast<float>(kNoData));
      g.SetYData(s, p, static_cast<float>(kNoData));
    }
  g.Set(ChartNumber::ManualMinY, 0);
  g.Set(ChartNumber::ManualMinX, 0);
  g.Set(ChartChoice::GridStyle, sg::Dot);
  g.SetWorkingAxis(0);
  g.Set(ChartNumber::ManualXAxisLine, 0);
  g.Set(ChartNumber::ManualYAxisLine, 0);
  g.Set(ChartText::MainTitle, "");
  g.Set(ChartText::SubTitle, "");
  g.Set(ChartFlag::AllowPopup, false);
  g.Set(ChartFlag::AllowCustomization, false);
  g.Set(ChartChoice::CursorMode, sg::NoCursor);
  g.Set(ChartFlag::MouseCursorControl, true);
  g.Set(ChartFlag::AllowDataHotSpots, true);
  g.Set(ChartChoice::CursorPromptStyle, sg::NoPrompt);
  g.SetIntProp2619(1);
  g.SetIntProp2618(0);
  g.Set(ChartFlag::ScrollingHorzZoom, true);
  g.Set(ChartFlag::ScrollingVertZoom, true);
  g.Set(ChartChoice::ZoomStyle, sg::Framed);
  g.Set(ChartChoice::AllowZooming, sg::HorzPlusVertZooming);
  g.Set(ChartChoice::ZoomInterfaceOnly, sg::RectangleSelector);
  g.Set(ChartFlag::ShowAnnotations, false);
}

std::vector<int> DisplayBase(ChartSurface& g, const ChartLayout& l) {
  InitChart(g);
  g.Set(ChartText::XAxisLabel, l.xAxisLabel);
  g.Set(ChartChoice::PlottingMethod, l.timeMode ? sg::Line : sg::PointsPlusLine);
  g.Set(ChartChoice::ManualScaleControlX, sg::AutoScale);
  std::vector<int> channels;
  const int last = l.eightPorts ? 8 : 4;
  for (int k = 0; k < last; ++k)
    if (l.sensorIds[static_cast<std::size_t>(k)] >= 0) channels.push_back(k + 1);
  const int n = static_cast<int>(channels.size());
  g.Subsets(n);
  g.Points(0);
  g.SetBoolProp3111(true);
  for (int j = 0; j < n; ++j) g.SetIntCell3001(j, 1);
  g.SetIntCell3059(0, n);
  for (int k = 0; k < n; ++k) {
    const std::string& unit = l.units[static_cast<std::size_t>(channels[static_cast<std::size_t>(k)] - 1)];
    g.SetWorkingAxis(k);
    g.SetIntCell3271(k, 5);
    g.SetSubsetLabel(k, unit);
    g.Set(ChartText::YAxisLabel, unit);
    g.Set(ChartChoice::ManualScaleControlY, sg::AutoScale);
  }
  g.SetWorkingAxis(0);
  if (n >= 2) {
    g.Set(ChartFlag::SimplePointLegend, true);
    g.Set(ChartFlag::SimpleLineLegend, true);
    g.SetBoolProp2975(true);
    g.SetBoolProp3149(true);
  }
  g.Repaint();
  return channels;
}

FeedWindow RedrawWindow(int recordCount, bool bpmMode, int loopCount) {
  FeedWindow w;
  if (recordCount <= 1000) {
    w.points = std::max(recordCount, 0);
  } else {
    w.points = 1000;
    w.first = recordCount - 1000;
  }
  // A loop count of 0 or less has no last loop to show.
  if (bpmMode && loopCount > 0 && recordCount - loopCount > 0) {
    w.points = loopCount;
    w.first = recordCount - loopCount;
  }
  return w;
}

void FeedRows(ChartSurface& g, const std::vector<TDataRecord>& rows, const FeedWindow& w,
              const std::vector<int>& subsetChannels, bool timeMode) {
  g.Points(w.points);
  const int subsets = std::min(g.Subsets(), static_cast<int>(subsetChannels.size()));
  const int points = std::max(w.points, 0);
  // Points past the rows held keep the no-data value.
  const auto size = static_cast<std::size_t>(std::max(g.Subsets(), 0)) * static_cast<std::size_t>(points);
  std::vector<float> x(size, static_cast<float>(kNoData)), y(size, static_cast<float>(kNoData));
  const int end = std::min(w.first + points, static_cast<int>(rows.size()));
  for (int j = 0; j < subsets; ++j) {
    const auto channel = static_cast<std::size_t>(subsetChannels[static_cast<std::size_t>(j)] - 1);
    const std::size_t base = static_cast<std::size_t>(j) * static_cast<std::size_t>(points);
    for (int i = std::max(w.first, 0); i < end; ++i) {
      const TDataRecord& r = rows[static_cast<std::size_t>(i)];
      const std::size_t at = base + static_cast<std::size_t>(i - w.first);
      x[at] = timeMode ? static_cast<float>(r.Time) : static_cast<float>(i + 1);
      y[at] = static_cast<float>(r.Values[channel]);
    }
  }
  if (subsets > 0 && points > 0) g.SetData(x, y);
  g.Repaint();
}

unsigned TimerIntervalMs(double samplingTime) {
  if (!(samplingTime > 0.1)) return 100;
  const double ms = std::nearbyint(samplingTime * 1000.0);
  // A day is more than any run waits between samples.
  return ms > 86400000.0 ? 86400000u : static_cast<unsigned>(ms);
}

}  // namespace tessaly
