#include "graphengine/GraphRender.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace pel::graphengine {
namespace {

constexpr COLORREF kPalette[] = {RGB(200, 0, 0),   RGB(0, 0, 200),   RGB(0, 140, 0),  RGB(180, 0, 180),
                                 RGB(0, 150, 150), RGB(230, 120, 0), RGB(90, 60, 20), RGB(100, 100, 100)};
constexpr int kHotSpotRadius = 6;
constexpr int kMaxTicks = 100;

// The picture's layout in pixels, named once.
namespace px {
constexpr int kTopMargin = 8;           // above the main title
constexpr int kTitleHeight = 20;        // main title band
constexpr int kTitleAdvance = 22;       // main title band and its gap
constexpr int kSubTitleAdvance = 18;    // subtitle line above the graph
constexpr int kSubTitleGap = 2;         // between the subtitle and the graph
constexpr int kAxisLeft = 64;           // room for the y numbers (at most a third of the width)
constexpr int kAxisRightMargin = 16;
constexpr int kXAxisRoom = 36;          // x numbers and the x label below the graph
constexpr int kLegendRoom = 20;         // the legend row, from two subsets up
constexpr int kLegendLeft = 60;
constexpr int kLegendRightMargin = 10;
constexpr int kLegendTop = 22;          // legend row from the bottom edge
constexpr int kLegendBottom = 4;
constexpr int kLegendEntry = 120;       // one subset's swatch and label
constexpr int kLegendLabel = 100;       // its label's width
constexpr int kSwatchWidth = 14, kSwatchTop = 5, kSwatchBottom = 13, kSwatchGap = 4;
constexpr int kBandGap = 10;            // between the bands of two y axes
constexpr int kPixelsPerYTick = 30;
constexpr int kPixelsPerXTick = 80;
constexpr int kNumberHalfHeight = 7;    // a y number centred on its grid line
constexpr int kNumberGap = 4;           // y numbers to the axis
constexpr int kXNumberHalfWidth = 40;
constexpr int kXNumberTop = 2, kXNumberBottom = 16;
constexpr int kXLabelTop = 16, kXLabelBottom = 32;
constexpr int kYLabelLeft = 2;
constexpr int kYLabelCharShift = 3;     // half a character of the vertical label
constexpr int kYLabelFont = -11;
// A line is 2 px wide, drawn as one 1-px line and its copies one pixel
// right and one down: wide pens are slow to draw, thin ones are not.
constexpr POINT kLineStrokes[] = {{0, 0}, {1, 0}, {0, 1}};
constexpr int kMarkPenWidth = 2;
constexpr int kMarkBefore = 2, kMarkAfter = 3;  // a point's square mark
}  // namespace px

COLORREF Colour(const GraphStore& g, unsigned id) { return static_cast<COLORREF>(g.Number(id)) & 0xFFFFFF; }

const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

// Subsets on each axis: the per-axis counts when given, else one axis.
std::vector<int> SubsetsPerAxis(const GraphStore& g) {
  std::vector<int> per;
  int left = g.Subsets();
  for (int axis = 0; left > 0; ++axis) {
    int n = g.IntCell(pid::SubsetsPerAxis, axis, -1);
    if (n < 0) {
      if (axis == 0) return {left};
      n = left;  // the rest share the last axis
    }
    n = std::clamp(n, 1, left);
    per.push_back(n);
    left -= n;
  }
  if (per.empty()) per.push_back(0);
  return per;
}

// A value pair that is drawn: neither the no-data value nor infinite.
bool Usable(const GraphStore& g, float x, float y) {
  return !g.IsNullX(x) && !g.IsNullY(y) && std::isfinite(x) && std::isfinite(y);
}

void Range(double& lo, double& hi) {
  if (!(lo <= hi) || !std::isfinite(lo) || !std::isfinite(hi)) {
    lo = 0;
    hi = 1;
  } else if (lo == hi) {
    const double pad = lo == 0 ? 1 : std::fabs(lo) * 0.1;
    lo -= pad;
    hi += pad;
  }
}

void ApplyManual(const GraphStore& g, unsigned control, unsigned minId, unsigned maxId, double& lo, double& hi) {
  const int c = g.Number(control) & 0xFF;
  if (c == 1 || c == 3) lo = g.Double(minId);
  if (c == 2 || c == 3) hi = g.Double(maxId);
}

// A tick step of 1, 2 or 5 times a power of ten giving about n ticks.
double TickStep(double lo, double hi, int n) {
  const double raw = (hi - lo) / std::max(n, 1);
  const double mag = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 5.0, 10.0})
    if (raw <= m * mag) return m * mag;
  return 10 * mag;
}

// Pixels far outside the picture are kept within what GDI takes.
int Pixel(double v) { return static_cast<int>(std::lround(std::clamp(v, -1e6, 1e6))); }
int YTicks(const RECT& area) { return std::max<int>(2, (area.bottom - area.top) / px::kPixelsPerYTick); }

int ToPixelX(const Layout& l, const RECT& area, double x) {
  return Pixel(area.left + (x - l.xMin) / (l.xMax - l.xMin) * (area.right - area.left));
}
int ToPixelY(const AxisPanel& p, double y) {
  return Pixel(p.area.bottom - (y - p.yMin) / (p.yMax - p.yMin) * (p.area.bottom - p.area.top));
}

std::wstring Number(double v) {
  wchar_t buf[32];
  std::swprintf(buf, 32, L"%g", std::fabs(v) < 1e-12 ? 0.0 : v);
  return buf;
}

bool MarksPoints(int method) { return method == 2 || method == 8 || method == 13 || method == 15 || method == 17; }

struct Gdi {
  HGDIOBJ h;
  explicit Gdi(HGDIOBJ o) : h(o) {}
  ~Gdi() {
    if (h) DeleteObject(h);
  }
  Gdi(const Gdi&) = delete;
  Gdi& operator=(const Gdi&) = delete;
};

}  // namespace

Layout ComputeLayout(const GraphStore& g, int width, int height) {
  Layout l;
  l.client = RECT{0, 0, width, height};
  int top = px::kTopMargin;
  if (!g.Text(pid::MainTitle).empty()) {
    l.title = RECT{0, top, width, top + px::kTitleHeight};
    top += px::kTitleAdvance;
  }
  if (!g.Text(pid::SubTitle).empty()) top += px::kSubTitleAdvance;
  const bool legend = g.Subsets() >= 2;
  int bottom = height - px::kXAxisRoom - (legend ? px::kLegendRoom : 0);
  if (legend)
    l.legend = RECT{px::kLegendLeft, height - px::kLegendTop, width - px::kLegendRightMargin, height - px::kLegendBottom};
  const int left = std::min(px::kAxisLeft, width / 3), right = std::max(left + 1, width - px::kAxisRightMargin);
  bottom = std::max(bottom, top + 1);

  // x range over every subset's data
  double xlo = INFINITY, xhi = -INFINITY;
  for (int s = 0; s < g.Subsets(); ++s)
    for (int p = 0; p < g.Points(); ++p) {
      const float x = g.X(s, p), y = g.Y(s, p);
      if (!Usable(g, x, y)) continue;
      xlo = std::min<double>(xlo, x);
      xhi = std::max<double>(xhi, x);
    }
  ApplyManual(g, pid::ManualScaleControlX, pid::ManualMinX, pid::ManualMaxX, xlo, xhi);
  Range(xlo, xhi);
  l.xMin = xlo;
  l.xMax = xhi;

  const std::vector<int> per = SubsetsPerAxis(g);
  const int n = static_cast<int>(per.size());
  const int gap = px::kBandGap;
  const int band = std::max(1, (bottom - top - gap * (n - 1)) / n);
  int first = 0;
  for (int k = 0; k < n; ++k) {
    AxisPanel p;
    p.area = RECT{left, top + k * (band + gap), right, top + k * (band + gap) + band};
    p.firstSubset = first;
    p.subsetCount = per[k];
    double ylo = INFINITY, yhi = -INFINITY;
    for (int s = first; s < first + per[k]; ++s)
      for (int i = 0; i < g.Points(); ++i) {
        const float x = g.X(s, i), y = g.Y(s, i);
        if (!Usable(g, x, y)) continue;
        ylo = std::min<double>(ylo, y);
        yhi = std::max<double>(yhi, y);
      }
    ApplyManual(g, pid::ManualScaleControlY, pid::ManualMinY, pid::ManualMaxY, ylo, yhi);
    Range(ylo, yhi);
    if ((g.Number(pid::ManualScaleControlY) & 0xFF) == 0) {
      // An automatic scale ends on grid lines.
      const double step = TickStep(ylo, yhi, YTicks(p.area));
      if (std::isfinite(step) && step > 0) {
        ylo = std::floor(ylo / step) * step;
        yhi = std::ceil(yhi / step) * step;
        Range(ylo, yhi);
      }
    }
    p.yMin = ylo;
    p.yMax = yhi;
    first += per[k];
    l.panels.push_back(p);
  }
  return l;
}

void DrawDesk(const GraphStore& g, HDC dc, const RECT& client) {
  Gdi desk(CreateSolidBrush(Colour(g, pid::DeskColor)));
  FillRect(dc, &client, static_cast<HBRUSH>(desk.h));
}

namespace {

// The pens, brushes and font of one picture.
struct Tools {
  int grid;  // 0 both, 1 y, 2 x, 3 none
  Gdi gridPen, back, frame, vertical;
  explicit Tools(const GraphStore& g)
      : grid(g.Number(pid::GridLineControl) & 0xFF),
        gridPen(CreatePen(PenStyle(g), (g.Number(pid::GridStyle) & 0xFF) == 1 ? 2 : 1, Colour(g, pid::GraphForeColor))),
        back(CreateSolidBrush(Colour(g, pid::GraphBackColor))),
        frame(CreatePen(PS_SOLID, 1, Colour(g, pid::TextColor))),
        vertical(CreateFontW(px::kYLabelFont, 0, 900, 900, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma")) {}
  static int PenStyle(const GraphStore& g) {
    const int style = g.Number(pid::GridStyle) & 0xFF;
    return style == 2 ? PS_DOT : style == 3 ? PS_DASH : PS_SOLID;
  }
};

void DrawTitles(const GraphStore& g, HDC dc, const Layout& l, int width) {
  if (!g.Text(pid::MainTitle).empty()) {
    RECT r = l.title;
    DrawTextW(dc, W(g.Text(pid::MainTitle)), -1, &r, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
  }
  if (!g.Text(pid::SubTitle).empty()) {
    const LONG graphTop = l.panels.front().area.top;
    RECT r{0, graphTop - px::kSubTitleAdvance, width, graphTop - px::kSubTitleGap};
    DrawTextW(dc, W(g.Text(pid::SubTitle)), -1, &r, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
  }
}

// A band's background, grid lines and numbers; x numbers under the last band.
void DrawAxesAndGrid(HDC dc, const Layout& l, const AxisPanel& p, bool lastBand, double xStep, const Tools& t) {
  FillRect(dc, &p.area, static_cast<HBRUSH>(t.back.h));
  SelectObject(dc, t.gridPen.h);
  const double yStep = TickStep(p.yMin, p.yMax, YTicks(p.area));
  int ticks = 0;  // bounded: a step below the values' precision never advances
  for (double y = std::ceil(p.yMin / yStep) * yStep; y <= p.yMax + yStep * 1e-9 && ticks < kMaxTicks;
       y += yStep, ++ticks) {
    const int py = ToPixelY(p, y);
    if (t.grid == 0 || t.grid == 1) {
      MoveToEx(dc, p.area.left, py, nullptr);
      LineTo(dc, p.area.right, py);
    }
    RECT r{0, py - px::kNumberHalfHeight, p.area.left - px::kNumberGap, py + px::kNumberHalfHeight};
    DrawTextW(dc, Number(y).c_str(), -1, &r, DT_RIGHT | DT_SINGLELINE | DT_VCENTER);
  }
  ticks = 0;
  for (double x = std::ceil(l.xMin / xStep) * xStep; x <= l.xMax + xStep * 1e-9 && ticks < kMaxTicks;
       x += xStep, ++ticks) {
    const int pxX = ToPixelX(l, p.area, x);
    if (t.grid == 0 || t.grid == 2) {
      MoveToEx(dc, pxX, p.area.top, nullptr);
      LineTo(dc, pxX, p.area.bottom);
    }
    if (lastBand) {
      RECT r{pxX - px::kXNumberHalfWidth, p.area.bottom + px::kXNumberTop, pxX + px::kXNumberHalfWidth,
             p.area.bottom + px::kXNumberBottom};
      DrawTextW(dc, Number(x).c_str(), -1, &r, DT_CENTER | DT_SINGLELINE);
    }
  }
}

// A band's frame and its y axis label, written upwards at the left edge.
void DrawBandFrame(const GraphStore& g, HDC dc, const AxisPanel& p, int axis, const Tools& t) {
  SelectObject(dc, t.frame.h);
  SelectObject(dc, GetStockObject(NULL_BRUSH));
  Rectangle(dc, p.area.left, p.area.top, p.area.right + 1, p.area.bottom + 1);
  const std::u16string label = g.AxisLabel(axis);
  if (!label.empty()) {
    const HGDIOBJ oldFont = SelectObject(dc, t.vertical.h);
    TextOutW(dc, px::kYLabelLeft, (p.area.top + p.area.bottom) / 2 + static_cast<int>(label.size()) * px::kYLabelCharShift,
             W(label), static_cast<int>(label.size()));
    SelectObject(dc, oldFont);
  }
}

// One unbroken piece of a subset's line, all its strokes.
void DrawRun(HDC dc, std::vector<POINT>& run, std::vector<POINT>& shifted) {
  shifted.resize(run.size());
  if (run.size() >= 2)
    for (const POINT& d : px::kLineStrokes) {
      for (std::size_t i = 0; i < run.size(); ++i) shifted[i] = POINT{run[i].x + d.x, run[i].y + d.y};
      Polyline(dc, shifted.data(), static_cast<int>(shifted.size()));
    }
  run.clear();
}

// The subsets of one band, clipped to it.
void DrawSubsets(const GraphStore& g, HDC dc, const Layout& l, const AxisPanel& p, const Tools& t) {
  const int method = g.Number(pid::PlottingMethod);
  const int clip = SaveDC(dc);
  IntersectClipRect(dc, p.area.left, p.area.top, p.area.right + 1, p.area.bottom + 1);
  std::vector<POINT> run, shifted;
  run.reserve(static_cast<std::size_t>(std::max(0, g.Points())));
  for (int s = p.firstSubset; s < p.firstSubset + p.subsetCount; ++s) {
    const COLORREF c = kPalette[s % std::size(kPalette)];
    Gdi line(CreatePen(PS_SOLID, 1, c));
    Gdi markPen(CreatePen(PS_SOLID, px::kMarkPenWidth, c));
    Gdi brush(CreateSolidBrush(c));
    SelectObject(dc, line.h);
    SelectObject(dc, brush.h);
    for (int i = 0; i < g.Points(); ++i) {
      const float x = g.X(s, i), y = g.Y(s, i);
      if (!Usable(g, x, y)) {
        DrawRun(dc, run, shifted);  // a gap in the line
        continue;
      }
      const POINT at{ToPixelX(l, p.area, x), ToPixelY(p, y)};
      // A segment that stays on its pixel adds nothing to the line.
      if (method != 2 && (run.empty() || run.back().x != at.x || run.back().y != at.y)) run.push_back(at);
      if (MarksPoints(method)) {
        SelectObject(dc, markPen.h);
        Rectangle(dc, at.x - px::kMarkBefore, at.y - px::kMarkBefore, at.x + px::kMarkAfter, at.y + px::kMarkAfter);
        SelectObject(dc, line.h);
      }
    }
    DrawRun(dc, run, shifted);
    SelectObject(dc, t.frame.h);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
  }
  RestoreDC(dc, clip);
}

// The x label under the last band and, from two subsets up, the legend row.
void DrawLegend(const GraphStore& g, HDC dc, const Layout& l) {
  const AxisPanel& last = l.panels.back();
  if (!g.Text(pid::XAxisLabel).empty()) {
    RECT r{last.area.left, last.area.bottom + px::kXLabelTop, last.area.right, last.area.bottom + px::kXLabelBottom};
    DrawTextW(dc, W(g.Text(pid::XAxisLabel)), -1, &r, DT_CENTER | DT_SINGLELINE);
  }
  if (g.Subsets() < 2) return;
  int x = l.legend.left;
  for (int s = 0; s < g.Subsets() && x < l.legend.right; ++s) {
    Gdi brush(CreateSolidBrush(kPalette[s % std::size(kPalette)]));
    RECT sw{x, l.legend.top + px::kSwatchTop, x + px::kSwatchWidth, l.legend.top + px::kSwatchBottom};
    FillRect(dc, &sw, static_cast<HBRUSH>(brush.h));
    std::u16string label = g.SubsetLabel(s);
    if (label.empty()) label = u"Subset " + std::u16string(1, static_cast<char16_t>(u'1' + s % 9));
    const int labelLeft = x + px::kSwatchWidth + px::kSwatchGap;
    RECT r{labelLeft, l.legend.top, labelLeft + px::kLegendLabel, l.legend.bottom};
    DrawTextW(dc, W(label), -1, &r, DT_LEFT | DT_SINGLELINE | DT_VCENTER);
    x += px::kLegendEntry;
  }
}

}  // namespace

void DrawGraph(const GraphStore& g, HDC dc, int width, int height) {
  const Layout l = ComputeLayout(g, width, height);
  DrawDesk(g, dc, l.client);
  const int saved = SaveDC(dc);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, Colour(g, pid::TextColor));
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  DrawTitles(g, dc, l, width);

  const Tools tools(g);
  const RECT& firstBand = l.panels.front().area;
  const double xStep = TickStep(l.xMin, l.xMax, std::max<int>(2, (firstBand.right - firstBand.left) / px::kPixelsPerXTick));
  for (std::size_t k = 0; k < l.panels.size(); ++k) {
    const AxisPanel& p = l.panels[k];
    DrawAxesAndGrid(dc, l, p, k + 1 == l.panels.size(), xStep, tools);
    DrawBandFrame(g, dc, p, static_cast<int>(k), tools);
    DrawSubsets(g, dc, l, p, tools);
  }
  DrawLegend(g, dc, l);
  RestoreDC(dc, saved);
}

Hit HitTest(const GraphStore& g, const Layout& l, POINT pt) {
  Hit hit;
  for (std::size_t k = 0; k < l.panels.size(); ++k) {
    const AxisPanel& p = l.panels[k];
    if (!PtInRect(&p.area, pt)) continue;
    if (g.Number(pid::AllowDataHotSpots) & 0xFF) {
      int best = kHotSpotRadius * kHotSpotRadius + 1;
      for (int s = p.firstSubset; s < p.firstSubset + p.subsetCount; ++s)
        for (int i = 0; i < g.Points(); ++i) {
          const float x = g.X(s, i), y = g.Y(s, i);
          if (!Usable(g, x, y)) continue;
          const int dx = ToPixelX(l, p.area, x) - pt.x, dy = ToPixelY(p, y) - pt.y;
          if (dx * dx + dy * dy < best) {
            best = dx * dx + dy * dy;
            hit = Hit{5, s, i, static_cast<int>(k), x, y};
          }
        }
      if (hit.type) return hit;
    }
    if (g.Number(pid::AllowGraphHotSpots) & 0xFF) {
      hit.type = 3;
      hit.axis = static_cast<int>(k);
      PixelToGraph(l, hit.axis, pt, hit.x, hit.y);
    }
    return hit;
  }
  if ((g.Number(pid::AllowTitleHotSpots) & 0xFF) && PtInRect(&l.title, pt)) hit.type = 11;
  return hit;
}

bool PixelToGraph(const Layout& l, int axis, POINT pt, double& x, double& y) {
  if (axis < 0 || axis >= static_cast<int>(l.panels.size())) return false;
  const AxisPanel& p = l.panels[axis];
  const double w = std::max<LONG>(1, p.area.right - p.area.left), h = std::max<LONG>(1, p.area.bottom - p.area.top);
  x = l.xMin + (pt.x - p.area.left) / w * (l.xMax - l.xMin);
  y = p.yMin + (p.area.bottom - pt.y) / h * (p.yMax - p.yMin);
  return PtInRect(&p.area, pt) != 0;
}

}  // namespace pel::graphengine
