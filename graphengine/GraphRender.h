#pragma once
// Where the parts of a graph go for a given size, how they are drawn with
// GDI, and what lies under a pixel.
#include <windows.h>

#include <vector>

#include "graphengine/GraphStore.h"

namespace pel::graphengine {

// One y axis: a band of the graph area with its own scale and subsets.
struct AxisPanel {
  RECT area{};
  double yMin = 0, yMax = 1;
  int firstSubset = 0, subsetCount = 0;
};

struct Layout {
  RECT client{};
  RECT title{};  // main title band; empty without a title
  RECT legend{};
  double xMin = 0, xMax = 1;
  std::vector<AxisPanel> panels;
};

Layout ComputeLayout(const GraphStore& g, int width, int height);

// The desk (background) of the whole client rectangle.
void DrawDesk(const GraphStore& g, HDC dc, const RECT& client);
// The whole picture: desk, titles, axes, grid, lines, legend.
void DrawGraph(const GraphStore& g, HDC dc, int width, int height);

// What the engine reports for a click at pt (hot-spot record fields).
struct Hit {
  int type = 0;  // 0 nothing, 3 graph area, 5 data point, 11 main title
  int first = 0, second = 0;
  int axis = 0;
  double x = 0, y = 0;
};
Hit HitTest(const GraphStore& g, const Layout& layout, POINT pt);

// Graph coordinates of a pixel on the given axis; false off the graph.
bool PixelToGraph(const Layout& layout, int axis, POINT pt, double& x, double& y);

}  // namespace pel::graphengine
