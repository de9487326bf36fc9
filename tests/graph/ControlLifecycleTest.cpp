// What the control asks of the engine at construction, window creation,
// painting and destruction, and how it sizes the engine window.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "graphengine/EngineIds.h"
#include "tests/graph/ControlRig.h"

namespace pel::graph::test {
namespace {

using ::testing::ElementsAre;

TEST(GraphLifecycle, ConstructionMakesOneWindowlessObjectThatTakesEarlySettings) {
  ControlRig rig(false, false);
  EXPECT_EQ(rig.engine.calls, std::vector<std::string>{"create 304 0 0,0,300,300 none 12111"});
  EXPECT_EQ(rig.graph->GetPEHandle(), rig.engine.first);
  rig.engine.Clear();
  rig.graph->Subsets(3);
  EXPECT_EQ(rig.engine.calls, std::vector<std::string>{"nset first 2115 3"});
}

TEST(GraphLifecycle, WindowCreationMakesTheWindowBackedObjectAndHidesIt) {
  ControlRig rig(false, false);
  rig.engine.Clear();
  rig.MakeWindow();
  ASSERT_NE(rig.graph->Handle(), nullptr);
  const std::string notify = "nset win 2915 " + std::to_string(HandleToLong(rig.graph->Handle()));
  const auto& c = rig.engine.calls;
  ASSERT_GE(c.size(), 4u);
  EXPECT_EQ(c[0], "create first 0 0,0,200,120 parent 100");
  EXPECT_EQ(c[1], notify);
  EXPECT_EQ(c[2], "reinitialize win");
  EXPECT_EQ(c[3], "resetimage win 0 0");
  EXPECT_EQ(rig.graph->GetPEHandle(), rig.engine.window);
  EXPECT_EQ(GetParent(rig.engine.window), rig.graph->Handle());
  EXPECT_FALSE(IsWindowVisible(rig.engine.window));
  EXPECT_TRUE(IsWindowVisible(rig.graph->Handle()));
  // The first object is left to the engine.
  EXPECT_TRUE(rig.engine.Matching("destroy").empty());
}

TEST(GraphLifecycle, FailedWindowCreationKeepsTheFirstObjectAndStillPlaysItsPicture) {
  ControlRig rig(true, false);
  rig.engine.failWindowCreate = true;
  rig.MakeWindow();
  EXPECT_EQ(rig.graph->GetPEHandle(), rig.engine.first);
  EXPECT_TRUE(rig.engine.Matching("reinitialize").empty());
  rig.engine.Clear();
  // Design mode, but the window-backed object is missing: no refresh.
  rig.graph->Subsets(2);
  EXPECT_EQ(rig.engine.calls, std::vector<std::string>{"nset first 2115 2"});
  rig.engine.Clear();
  rig.graph->Refresh();
  EXPECT_TRUE(rig.engine.Has("playmeta first dc"));
}

TEST(GraphLifecycle, DestructionDestroysTheObjectInUseBeforeTheControlWindow) {
  ControlRig rig;
  const HWND control = rig.graph->Handle();
  rig.engine.Clear();
  rig.graph.reset();
  EXPECT_EQ(rig.engine.Matching("destroy"), std::vector<std::string>{"destroy win"});
  EXPECT_EQ(rig.engine.parentAtDestroy, control);
  EXPECT_TRUE(rig.engine.parentWasWindowAtDestroy);
  EXPECT_FALSE(IsWindow(control));
}

TEST(GraphLifecycle, LoadedReinitialisesAndResetsTheImage) {
  ControlRig rig;
  rig.engine.Clear();
  rig.graph->Loaded();
  EXPECT_THAT(rig.engine.calls, ElementsAre("reinitialize win", "resetimage win 0 0"));
  RECT update{};
  EXPECT_TRUE(GetUpdateRect(rig.graph->Handle(), &update, FALSE));
}

// ---- painting ----

COLORREF PixelOf(HWND hwnd, int x, int y) {
  HDC dc = GetDC(hwnd);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(hwnd, dc);
  return c;
}

struct PaintCase {
  const char* name;
  int prepareImages, engineMemory, imageDirty;
  bool engineHasBitmap;
  std::vector<std::string> drawing;  // playmeta / bitmapandgradients / allocate calls, in order
};

class GraphPaint : public ::testing::TestWithParam<PaintCase> {};

TEST_P(GraphPaint, TakesThePathOfTheEngineSettingsAndShowsTheImage) {
  const PaintCase& p = GetParam();
  ControlRig rig;
  rig.engine.numbers[id::PrepareImages] = p.prepareImages;
  rig.engine.numbers[id::EngineMemory] = p.engineMemory;
  rig.engine.numbers[id::ImageDirty] = p.imageDirty;
  if (!p.engineHasBitmap) rig.engine.memBitmap = (DeleteObject(rig.engine.memBitmap), nullptr);
  // The engine-kept image already holds the picture.
  {
    HGDIOBJ old = SelectObject(rig.engine.memDc, rig.engine.memBitmap);
    HBRUSH b = CreateSolidBrush(rig.engine.metaColour);
    RECT r{0, 0, 400, 400};
    FillRect(rig.engine.memDc, &r, b);
    DeleteObject(b);
    SelectObject(rig.engine.memDc, old);
  }
  rig.engine.Clear();
  rig.graph->Refresh();

  std::vector<std::string> drawing;
  for (const auto& c : rig.engine.calls)
    if (c.rfind("playmeta", 0) == 0 || c.rfind("bitmapandgradients", 0) == 0 || c.rfind("allocate", 0) == 0)
      drawing.push_back(c);
  EXPECT_EQ(drawing, p.drawing);
  const auto& c = rig.engine.calls;
  ASSERT_GE(c.size(), 3u);
  EXPECT_EQ(c[0], "nget win 2916");
  EXPECT_EQ(c[1], "nset win 2916 1");
  EXPECT_EQ(c[2], "getmeta win");
  EXPECT_EQ(c.back(), "nset win 2916 0");
  EXPECT_EQ(c[c.size() - 2], "drawcursor win dc 0");
  EXPECT_EQ(rig.engine.Has("nset win 2905 0"), p.prepareImages != 0);
  if (p.engineHasBitmap) {
    EXPECT_EQ(PixelOf(rig.graph->Handle(), 20, 20), rig.engine.metaColour);
  }
  RECT update{};
  EXPECT_FALSE(GetUpdateRect(rig.graph->Handle(), &update, FALSE));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, GraphPaint,
    ::testing::Values(
        PaintCase{"Direct", 0, 0, 1, true, {"playmeta win dc"}},
        PaintCase{"OwnBitmap", 1, 0, 0, true, {"bitmapandgradients win memdc 0,0,200,120 0", "playmeta win memdc"}},
        PaintCase{"EngineImageClean", 1, 1, 0, true, {}},
        PaintCase{"EngineImageDirty", 1, 1, 1, true,
                  {"allocate win", "bitmapandgradients win memdc 0,0,200,120 0", "playmeta win memdc"}},
        PaintCase{"EngineWithoutBitmap", 1, 1, 0, false, {"allocate win"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GraphPaintGuard, APaintWhileTheEngineReportsOneIsDroppedWithoutAStorm) {
  ControlRig rig;
  rig.engine.numbers[id::PaintInProgress] = 1;
  rig.engine.Clear();
  rig.graph->Invalidate();
  Pump();
  EXPECT_EQ(rig.engine.calls, std::vector<std::string>{"nget win 2916"});
  RECT update{};
  EXPECT_FALSE(GetUpdateRect(rig.graph->Handle(), &update, FALSE));
}

TEST(GraphPaintGuard, APaintAskedForDuringOurOwnRunsOnceOursHasEnded) {
  ControlRig rig;
  const HWND control = rig.graph->Handle();
  rig.engine.duringPlay = [&] {
    rig.engine.duringPlay = nullptr;
    SendMessageW(control, WM_PAINT, 0, 0);  // as from a handler that lets messages run
  };
  rig.engine.Clear();
  rig.graph->Refresh();
  EXPECT_EQ(rig.engine.Matching("getmeta").size(), 1u);
  RECT update{};
  EXPECT_TRUE(GetUpdateRect(control, &update, FALSE));  // the nested request is kept
  UpdateWindow(control);
  EXPECT_EQ(rig.engine.Matching("getmeta").size(), 2u);
}

TEST(GraphPaintGuard, WithoutAnyEngineObjectPaintingAndInputDoNothingAndDoNotStorm) {
  RecordingEngine engine;
  engine.failFirstCreate = true;
  engine.failWindowCreate = true;
  {
    PESGraph g(RecordingEngine::Api());
    g.Parent(SharedHost());
    EXPECT_EQ(g.GetPEHandle(), nullptr);
    engine.Clear();
    g.Invalidate();
    EXPECT_LT(Pump(), 2000);
    RECT update{};
    EXPECT_FALSE(GetUpdateRect(g.Handle(), &update, FALSE));
    for (UINT msg : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEWHEEL, WM_VSCROLL, WM_SIZE})
      SendMessageW(g.Handle(), msg, 0, 0);
    ReleaseCapture();
    EXPECT_TRUE(engine.calls.empty());
    EXPECT_EQ(SendMessageW(g.Handle(), WM_GETDLGCODE, 0, 0), DefWindowProcW(g.Handle(), WM_GETDLGCODE, 0, 0));
  }
  Pump();
}

TEST(GraphPaintGuard, NoMetafileMeansNothingIsPlayed) {
  ControlRig rig;
  rig.engine.returnMeta = false;
  rig.engine.Clear();
  rig.graph->Refresh();
  EXPECT_TRUE(rig.engine.Matching("playmeta").empty());
  EXPECT_TRUE(rig.engine.Has("drawcursor win dc 0"));
}

TEST(GraphPaintGuard, TheFocusFrameInvertsTheEdgeOnlyWhenFocusedAndAsked) {
  ControlRig rig;
  rig.engine.metaColour = RGB(255, 255, 255);
  rig.engine.numbers[id::FocalRect] = 1;
  SetFocus(rig.graph->Handle());
  Pump();
  rig.graph->Refresh();
  EXPECT_EQ(PixelOf(rig.graph->Handle(), 0, 0), RGB(0, 0, 0));
  EXPECT_EQ(PixelOf(rig.graph->Handle(), 199, 119), RGB(0, 0, 0));
  EXPECT_EQ(PixelOf(rig.graph->Handle(), 10, 10), RGB(255, 255, 255));
  rig.engine.numbers[id::FocalRect] = 0;
  rig.graph->Refresh();
  EXPECT_EQ(PixelOf(rig.graph->Handle(), 0, 0), RGB(255, 255, 255));
}

// ---- sizing ----

SIZE ClientSize(HWND h) {
  RECT r{};
  GetClientRect(h, &r);
  return SIZE{r.right, r.bottom};
}

TEST(GraphSizing, TheEngineWindowFollowsTheControlAndNeitherGoesBelowFifty) {
  ControlRig rig;
  struct Case {
    int w, h, expectW, expectH;
  };
  for (const Case& c : {Case{260, 180, 260, 180}, Case{30, 20, 50, 50}, Case{40, 90, 50, 90}}) {
    rig.graph->SetBounds(5, 6, c.w, c.h);
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
    EXPECT_EQ(rig.graph->Width(), c.expectW);
    EXPECT_EQ(rig.graph->Height(), c.expectH);
    EXPECT_EQ(rig.graph->Left(), 5);
    const SIZE engine = ClientSize(rig.engine.window);
    EXPECT_EQ(engine.cx, c.expectW);
    EXPECT_EQ(engine.cy, c.expectH);
    EXPECT_FALSE(IsWindowVisible(rig.engine.window));
  }
}

TEST(GraphSizing, AControlMadeSmallerThanFiftyStartsAtFifty) {
  RecordingEngine engine;
  HWND host = SharedHost();
  {
    PESGraph g(RecordingEngine::Api());
    g.SetBounds(0, 0, 30, 20);
    g.Parent(host);
    EXPECT_EQ(ClientSize(g.Handle()).cx, 50);
    EXPECT_EQ(ClientSize(g.Handle()).cy, 50);
  }
}

}  // namespace
}  // namespace pel::graph::test
