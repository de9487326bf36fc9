#include "platform/graphengine/GraphRender.h"

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
int YTicks(const RECT& area) { return std::max<int>(2, (area.bottom - area.top) / 30); }

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
  int top = 8;
  if (!g.Text(pid::MainTitle).empty()) {
    l.title = RECT{0, top, width, top + 20};
    top += 22;
  }
  if (!g.Text(pid::SubTitle).empty()) top += 18;
  const bool legend = g.Subsets() >= 2;
  int bottom = height - 36 - (legend ? 20 : 0);
  if (legend) l.legend = RECT{60, height - 22, width - 10, height - 4};
  const int left = std::min(64, width / 3), right = std::max(left + 1, width - 16);
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
  const int gap = 10;
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

void DrawGraph(const GraphStore& g, HDC dc, int width, int height) {
  const Layout l = ComputeLayout(g, width, height);
  DrawDesk(g, dc, l.client);
  const int saved = SaveDC(dc);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, Colour(g, pid::TextColor));
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));

  if (!g.Text(pid::MainTitle).empty()) {
    RECT r = l.title;
    DrawTextW(dc, W(g.Text(pid::MainTitle)), -1, &r, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
  }
  if (!g.Text(pid::SubTitle).empty()) {
    RECT r{0, l.panels.front().area.top - 18, width, l.panels.front().area.top - 2};
    DrawTextW(dc, W(g.Text(pid::SubTitle)), -1, &r, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
  }

  const int gridStyle = g.Number(pid::GridStyle) & 0xFF;
  const int penStyle = gridStyle == 2 ? PS_DOT : gridStyle == 3 ? PS_DASH : PS_SOLID;
  const int grid = g.Number(pid::GridLineControl) & 0xFF;  // 0 both, 1 y, 2 x, 3 none
  Gdi gridPen(CreatePen(penStyle, gridStyle == 1 ? 2 : 1, Colour(g, pid::GraphForeColor)));
  Gdi back(CreateSolidBrush(Colour(g, pid::GraphBackColor)));
  Gdi frame(CreatePen(PS_SOLID, 1, Colour(g, pid::TextColor)));
  Gdi vertical(CreateFontW(-11, 0, 900, 900, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma"));
  const int method = g.Number(pid::PlottingMethod);
  const double xStep = TickStep(l.xMin, l.xMax, std::max<int>(2, (l.panels.front().area.right - l.panels.front().area.left) / 80));

  for (std::size_t k = 0; k < l.panels.size(); ++k) {
    const AxisPanel& p = l.panels[k];
    FillRect(dc, &p.area, static_cast<HBRUSH>(back.h));
    // grid and numbers
    SelectObject(dc, gridPen.h);
    const double yStep = TickStep(p.yMin, p.yMax, YTicks(p.area));
    int ticks = 0;  // bounded: a step below the values' precision never advances
    for (double y = std::ceil(p.yMin / yStep) * yStep; y <= p.yMax + yStep * 1e-9 && ticks < kMaxTicks;
         y += yStep, ++ticks) {
      const int py = ToPixelY(p, y);
      if (grid == 0 || grid == 1) {
        MoveToEx(dc, p.area.left, py, nullptr);
        LineTo(dc, p.area.right, py);
      }
      RECT r{0, py - 7, p.area.left - 4, py + 7};
      DrawTextW(dc, Number(y).c_str(), -1, &r, DT_RIGHT | DT_SINGLELINE | DT_VCENTER);
    }
    ticks = 0;
    for (double x = std::ceil(l.xMin / xStep) * xStep; x <= l.xMax + xStep * 1e-9 && ticks < kMaxTicks;
         x += xStep, ++ticks) {
      const int px = ToPixelX(l, p.area, x);
      if (grid == 0 || grid == 2) {
        MoveToEx(dc, px, p.area.top, nullptr);
        LineTo(dc, px, p.area.bottom);
      }
      if (k + 1 == l.panels.size()) {
        RECT r{px - 40, p.area.bottom + 2, px + 40, p.area.bottom + 16};
        DrawTextW(dc, Number(x).c_str(), -1, &r, DT_CENTER | DT_SINGLELINE);
      }
    }
    // frame and the axis label
    SelectObject(dc, frame.h);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, p.area.left, p.area.top, p.area.right + 1, p.area.bottom + 1);
    const std::u16string label = g.AxisLabel(static_cast<int>(k));
    if (!label.empty()) {
      const HGDIOBJ oldFont = SelectObject(dc, vertical.h);
      TextOutW(dc, 2, (p.area.top + p.area.bottom) / 2 + static_cast<int>(label.size()) * 3, W(label),
               static_cast<int>(label.size()));
      SelectObject(dc, oldFont);
    }
    // the subsets of this axis, clipped to its band
    const int clip = SaveDC(dc);
    IntersectClipRect(dc, p.area.left, p.area.top, p.area.right + 1, p.area.bottom + 1);
    for (int s = p.firstSubset; s < p.firstSubset + p.subsetCount; ++s) {
      const COLORREF c = kPalette[s % std::size(kPalette)];
      Gdi pen(CreatePen(PS_SOLID, 2, c));
      Gdi brush(CreateSolidBrush(c));
      SelectObject(dc, pen.h);
      SelectObject(dc, brush.h);
      bool drawing = false;
      POINT at{};
      for (int i = 0; i < g.Points(); ++i) {
        const float x = g.X(s, i), y = g.Y(s, i);
        if (!Usable(g, x, y)) {
          drawing = false;  // a gap in the line
          continue;
        }
        const int px = ToPixelX(l, p.area, x), py = ToPixelY(p, y);
        if (method != 2) {
          // A segment that stays on its pixel adds nothing to the line.
          if (drawing && (px != at.x || py != at.y)) LineTo(dc, px, py);
          else if (!drawing) MoveToEx(dc, px, py, nullptr);
          at = POINT{px, py};
          drawing = true;
        }
        if (MarksPoints(method)) {
          Rectangle(dc, px - 2, py - 2, px + 3, py + 3);
          MoveToEx(dc, px, py, nullptr);
        }
      }
      SelectObject(dc, frame.h);
      SelectObject(dc, GetStockObject(NULL_BRUSH));
    }
    RestoreDC(dc, clip);
  }

  const AxisPanel& last = l.panels.back();
  if (!g.Text(pid::XAxisLabel).empty()) {
    RECT r{last.area.left, last.area.bottom + 16, last.area.right, last.area.bottom + 32};
    DrawTextW(dc, W(g.Text(pid::XAxisLabel)), -1, &r, DT_CENTER | DT_SINGLELINE);
  }
  if (g.Subsets() >= 2) {
    int x = l.legend.left;
    for (int s = 0; s < g.Subsets() && x < l.legend.right; ++s) {
      Gdi brush(CreateSolidBrush(kPalette[s % std::size(kPalette)]));
      RECT sw{x, l.legend.top + 5, x + 14, l.legend.top + 13};
      FillRect(dc, &sw, static_cast<HBRUSH>(brush.h));
      std::u16string label = g.SubsetLabel(s);
      if (label.empty()) label = u"Subset " + std::u16string(1, static_cast<char16_t>(u'1' + s % 9));
      RECT r{x + 18, l.legend.top, x + 118, l.legend.bottom};
      DrawTextW(dc, W(label), -1, &r, DT_LEFT | DT_SINGLELINE | DT_VCENTER);
      x += 120;
    }
  }
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
