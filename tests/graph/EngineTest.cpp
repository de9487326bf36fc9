// The control over our engine PEGRP32D.DLL: every setting survives the trip
// to the engine and the move to the window-backed object; the picture shows
// the data; a click on a point comes back as its hot spot.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "graph/PESGraph.h"
#include "tests/graph/ControlRig.h"

namespace pel::graph::test {
namespace {

template <class T>
T ValueFor(int i) {
  if constexpr (std::is_same_v<T, std::wstring>) return L"text " + std::to_wstring(i);
  else if constexpr (std::is_enum_v<T>) return static_cast<T>(1 + i % 2);
  else if constexpr (std::is_same_v<T, bool>) return i % 2 == 0;
  else if constexpr (std::is_same_v<T, double>) return i + 0.25;
  else if constexpr (std::is_same_v<T, float>) return i + 0.5f;
  else if constexpr (std::is_same_v<T, std::uint32_t>) return 0x80000000u + i;
  else return 1000 + i;
}

void SetAll(PESGraph& g) {
  int i = 0;
#define PEL_SET(type, kind, name, id, group) g.name(ValueFor<type>(i++));
  PEL_GRAPH_PROPERTIES(PEL_SET)
#undef PEL_SET
}

void CheckAll(PESGraph& g) {
  int i = 0;
#define PEL_CHECK(type, kind, name, id, group) \
  EXPECT_TRUE(g.name() == ValueFor<type>(i)) << #name;  \
  ++i;
  PEL_GRAPH_PROPERTIES(PEL_CHECK)
#undef PEL_CHECK
}

TEST(GraphEngine, EverySettingRoundTripsAndMovesToTheWindowBackedObject) {
  HWND host = SharedHost();
  {
    PESGraph g;
    SetAll(g);
    CheckAll(g);
    const HWND first = g.GetPEHandle();
    g.Parent(host);
    ASSERT_NE(g.GetPEHandle(), first);
    EXPECT_EQ(GetParent(g.GetPEHandle()), g.Handle());
    CheckAll(g);
  }
  Pump();
}

TEST(GraphEngine, TextsLongerThanTheBufferComeBackCut) {
  PESGraph g;
  g.MainTitle(std::wstring(2000, L'w'));
  EXPECT_EQ(g.MainTitle(), std::wstring(1255, L'w'));
}

// ---- the picture ----

constexpr COLORREF kFirstSubset = RGB(200, 0, 0);
constexpr COLORREF kSecondSubset = RGB(0, 0, 200);

int CountPixels(HWND hwnd, COLORREF c) {
  RECT r{};
  GetClientRect(hwnd, &r);
  HDC dc = GetDC(hwnd);
  int n = 0;
  for (int y = 0; y < r.bottom; ++y)
    for (int x = 0; x < r.right; ++x)
      if (GetPixel(dc, x, y) == c) ++n;
  ReleaseDC(hwnd, dc);
  return n;
}

struct Shown {
  Shown() : host(SharedHost()) {
    graph.SetBounds(0, 0, 320, 220);
    graph.Parent(host);
    Pump();
  }
  ~Shown() { Pump(); }
  HWND host;
  PESGraph graph;  // made after the host, gone before it
};

void TwoLines(PESGraph& g) {
  g.DeskColor(0xE1E1E1);
  g.GraphBackColor(0xFFFFFF);
  g.NullDataValueX(-99999);
  g.NullDataValueY(-99999);
  g.Subsets(2);
  g.Points(10);
  for (int p = 0; p < 10; ++p) {
    g.SetXData(0, p, float(p));
    g.SetXData(1, p, float(p));
    g.SetYData(0, p, float(p));
    g.SetYData(1, p, float(9 - p));
  }
}

TEST(GraphPicture, ShowsEachSubsetOnTheDeskByEveryPaintPath) {
  struct Case {
    const char* name;
    bool prepareImages;
    int engineMemory;
  };
  for (const Case& c : {Case{"direct", false, 0}, Case{"own bitmap", true, 0}, Case{"engine bitmap", true, 1}}) {
    SCOPED_TRACE(c.name);
    Shown s;
    TwoLines(s.graph);
    s.graph.PrepareImages(c.prepareImages);
    PEnset(s.graph.GetPEHandle(), 2574, c.engineMemory);
    s.graph.Refresh();
    EXPECT_GT(CountPixels(s.graph.Handle(), kFirstSubset), 50);
    EXPECT_GT(CountPixels(s.graph.Handle(), kSecondSubset), 50);
    HDC dc = GetDC(s.graph.Handle());
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(0xE1, 0xE1, 0xE1));
    ReleaseDC(s.graph.Handle(), dc);
    // The no-data value draws nothing; a repaint of the changed data shows it.
    const int before = CountPixels(s.graph.Handle(), kFirstSubset);
    for (int p = 0; p < 10; ++p) s.graph.SetYData(0, p, -99999.0f);
    s.graph.Refresh();
    EXPECT_LT(CountPixels(s.graph.Handle(), kFirstSubset), before - 50);  // the legend keeps its swatch
    EXPECT_GT(CountPixels(s.graph.Handle(), kSecondSubset), 50);
  }
}

TEST(GraphPicture, ACleanEngineImageIsCopiedWithoutDrawingAgain) {
  Shown s;
  TwoLines(s.graph);
  s.graph.PrepareImages(true);
  const HWND h = s.graph.GetPEHandle();
  PEnset(h, 2574, 1);
  s.graph.Refresh();
  EXPECT_EQ(PEnget(h, 2905), 0);
  EXPECT_NE(PEnget(h, 2575), 0);
  EXPECT_GT(CountPixels(s.graph.Handle(), kFirstSubset), 50);
}

TEST(GraphPicture, AClickOnAPointRaisesItsDataHotSpot) {
  Shown s;
  PESGraph& g = s.graph;
  g.AllowDataHotSpots(true);
  g.Subsets(1);
  g.Points(3);
  const float ys[] = {0, 5, 10};
  for (int p = 0; p < 3; ++p) {
    g.SetXData(0, p, float(p));
    g.SetYData(0, p, ys[p]);
  }
  // Find the pixel of point 1 (1, 5) through the engine's own conversion.
  POINT best{-1, -1};
  double bestDistance = 1e300;
  for (int y = 0; y < 220; ++y)
    for (int x = 0; x < 320; ++x) {
      INT axis = 0, px = x, py = y;
      double gx = 0, gy = 0;
      if (!PEconvpixeltograph(g.GetPEHandle(), &axis, &px, &py, &gx, &gy, FALSE, FALSE, FALSE)) continue;
      const double d = (gx - 1) * (gx - 1) * 100 + (gy - 5) * (gy - 5);
      if (d < bestDistance) {
        bestDistance = d;
        best = POINT{x, y};
      }
    }
  ASSERT_GE(best.x, 0);
  std::vector<std::string> events;
  g.OnDataHotSpot([&](PESGraph&, int dbl, int subset, int point) {
    events.push_back(std::to_string(dbl) + ' ' + std::to_string(subset) + ' ' + std::to_string(point));
  });
  g.OnClick([&](PESGraph&) { events.push_back("Click"); });
  SendMessageW(g.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(best.x, best.y));
  SendMessageW(g.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(best.x, best.y));
  EXPECT_THAT(events, ::testing::ElementsAre("0 0 1"));
  // Far from every point: no hot spot, the framework's click instead.
  events.clear();
  SendMessageW(g.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  SendMessageW(g.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  EXPECT_THAT(events, ::testing::ElementsAre("Click"));
}

TEST(GraphEngine, CallsOnUnknownHandlesAndNullPointersAreRefused) {
  const HWND bogus = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7654));
  EXPECT_FALSE(PEnset(bogus, 2115, 1));
  EXPECT_EQ(PEnget(bogus, 2115), 0);
  EXPECT_EQ(PEgetmeta(bogus), nullptr);
  WCHAR buf[1256];
  EXPECT_FALSE(PEszgetW(bogus, 2105, buf));
  EXPECT_EQ(buf[0], L'\0');
  PESGraph g;
  const HWND h = g.GetPEHandle();
  EXPECT_FALSE(PEszsetW(h, 2105, nullptr));
  EXPECT_FALSE(PEvsetW(h, 3055, nullptr, 0));
  EXPECT_FALSE(PEvsetW(h, 2115, &buf, 0));  // not a Double or Single setting
  EXPECT_FALSE(PEvsetcellExW(h, 2135, 0, 0, nullptr));
  EXPECT_FALSE(PEvsetcellW(h, 3271, 0x80000000u, &buf));
}

}  // namespace
}  // namespace pel::graph::test
