// Input the control forwards to the engine window, hot-spot clicks, engine
// notifications, scrolling, repaint requests and the focus ring.
#include <windowsx.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

#include "graphengine/EngineIds.h"
#include "tests/graph/ControlRig.h"

namespace pel::graph::test {
namespace {

using ::testing::ElementsAre;

std::string Msg(UINT m, WPARAM wp, LPARAM lp) {
  return std::to_string(m) + ' ' + std::to_string(wp) + ' ' + std::to_string(static_cast<long long>(lp));
}

// ---- forwarding ----

struct ForwardCase {
  const char* name;
  UINT msg;
  WPARAM wp;
  LPARAM lp;
  std::vector<std::string> runTime;   // what reaches the engine window outside design mode
  std::vector<std::string> designing; // and in design mode
};

class GraphForwarding : public ::testing::TestWithParam<ForwardCase> {};

TEST_P(GraphForwarding, ReachesTheEngineWindowAsTheModeAllows) {
  const ForwardCase& c = GetParam();
  for (bool designing : {false, true}) {
    SCOPED_TRACE(designing ? "designing" : "run time");
    ControlRig rig(designing);
    rig.engine.Clear();
    rig.Send(c.msg, c.wp, c.lp);
    EXPECT_EQ(rig.engine.messages, designing ? c.designing : c.runTime);
    ReleaseCapture();
  }
}

const LPARAM kAt = MAKELPARAM(30, 40);
INSTANTIATE_TEST_SUITE_P(
    Messages, GraphForwarding,
    ::testing::Values(
        ForwardCase{"MouseMove", WM_MOUSEMOVE, 0, kAt, {Msg(WM_MOUSEMOVE, 0, kAt)}, {}},
        ForwardCase{"LeftUp", WM_LBUTTONUP, 0, kAt, {Msg(WM_LBUTTONUP, 0, kAt)}, {}},
        ForwardCase{"RightDownGoesNowhere", WM_RBUTTONDOWN, MK_RBUTTON, kAt, {}, {}},
        ForwardCase{"RightUpArrivesAsRightDown", WM_RBUTTONUP, 0, kAt, {Msg(WM_RBUTTONDOWN, 0, kAt)}, {}},
        ForwardCase{"KeyDown", WM_KEYDOWN, VK_LEFT, 1, {Msg(WM_KEYDOWN, VK_LEFT, 1)}, {}},
        ForwardCase{"KeyUp", WM_KEYUP, 'A', 7, {Msg(WM_KEYUP, 'A', 7)}, {}},
        // The recording engine's window hands the wheel back to its parent,
        // the control: it still reaches the engine once.
        ForwardCase{"WheelWithoutPosition", WM_MOUSEWHEEL, MAKEWPARAM(0, 120), kAt,
                    {Msg(WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0)}, {Msg(WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0)}},
        ForwardCase{"OwnScrollBar", WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 9), 0,
                    {Msg(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 9), 0)}, {Msg(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 9), 0)}},
        ForwardCase{"OwnHorzScrollBar", WM_HSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0,
                    {Msg(WM_HSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0)}, {Msg(WM_HSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0)}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GraphInput, AMouseMoveReachesTheEngineOnlyWhenItsParametersChange) {
  ControlRig rig;
  int moves = 0;
  rig.graph->OnMouseMove([&](PESGraph&, unsigned, int, int) { ++moves; });
  rig.engine.Clear();
  rig.Send(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  rig.Send(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  rig.Send(WM_MOUSEMOVE, MK_SHIFT, MAKELPARAM(5, 5));
  rig.Send(WM_MOUSEMOVE, MK_SHIFT, MAKELPARAM(6, 5));
  EXPECT_THAT(rig.engine.messages, ElementsAre(Msg(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5)),
                                               Msg(WM_MOUSEMOVE, MK_SHIFT, MAKELPARAM(5, 5)),
                                               Msg(WM_MOUSEMOVE, MK_SHIFT, MAKELPARAM(6, 5))));
  EXPECT_EQ(moves, 4);  // the control's own event sees every move
}

TEST(GraphInput, AKeyAHandlerClearedGoesOnAsZero) {
  ControlRig rig;
  rig.graph->OnKeyDown([](PESGraph&, WORD& key, unsigned) { key = 0; });
  rig.engine.Clear();
  rig.Send(WM_KEYDOWN, VK_RIGHT, 3);
  EXPECT_THAT(rig.engine.messages, ElementsAre(Msg(WM_KEYDOWN, 0, 3)));
}

TEST(GraphInput, DialogCodeAsksForAllKeysOutsideDesignModeOnly) {
  LRESULT plain = 0;
  {
    ControlRig run(false);
    EXPECT_EQ(run.Send(WM_GETDLGCODE), DLGC_WANTARROWS | DLGC_WANTALLKEYS);
    plain = DefWindowProcW(run.graph->Handle(), WM_GETDLGCODE, 0, 0);
  }
  ControlRig design(true);
  EXPECT_EQ(design.Send(WM_GETDLGCODE), plain);
}

TEST(GraphInput, TheBackgroundIsNeverErased) {
  ControlRig rig;
  HDC dc = GetDC(rig.graph->Handle());
  EXPECT_EQ(rig.Send(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc)), 1);
  ReleaseDC(rig.graph->Handle(), dc);
}

// ---- hot spots ----

void SetHotSpot(RecordingEngine& e, int type, int first, int second) {
  HotSpotRecord r{1, 2, 3, 4, type, first, second};
  auto& b = e.blobs[id::HotSpot];
  b.resize(sizeof r);
  std::memcpy(b.data(), &r, sizeof r);
}

struct HotSpotCase {
  int type, first, second;
  std::string event;        // with DblClick 0
  std::vector<std::string> reads;  // engine reads besides the hot-spot record
};

class GraphHotSpots : public ::testing::TestWithParam<HotSpotCase> {};

TEST_P(GraphHotSpots, AClickRaisesTheEventOfItsTypeInsteadOfTheFrameworkOnes) {
  const HotSpotCase& c = GetParam();
  ControlRig rig;
  rig.HookEvents();
  SetHotSpot(rig.engine, c.type, c.first, c.second);
  GraphHotSpotRecord g{2, 0, 1.5, -2.25};
  rig.engine.blobs[id::GraphHotSpot].assign(reinterpret_cast<unsigned char*>(&g), reinterpret_cast<unsigned char*>(&g) + sizeof g);
  MousePointRecord pt{11, 22};
  rig.engine.blobs[id::MousePoint].assign(reinterpret_cast<unsigned char*>(&pt), reinterpret_cast<unsigned char*>(&pt) + sizeof pt);
  rig.engine.gridNumbers[c.second] = 0.75;
  rig.engine.Clear();
  rig.Send(WM_LBUTTONDOWN, MK_LBUTTON, kAt);
  rig.Send(WM_LBUTTONUP, 0, kAt);
  EXPECT_THAT(rig.events, ElementsAre(c.event, "MouseUp 0 30 40"));  // and no Click
  ASSERT_GE(rig.engine.messages.size(), 1u);
  EXPECT_EQ(rig.engine.messages[0], Msg(WM_LBUTTONDOWN, MK_LBUTTON, kAt));  // forwarded before the record is read
  std::vector<std::string> reads;
  for (const auto& call : rig.engine.calls)
    if ((call.rfind("vget", 0) == 0 && call != "vget win 2610") || call.rfind("conv", 0) == 0) reads.push_back(call);
  EXPECT_EQ(reads, c.reads);
}

INSTANTIATE_TEST_SUITE_P(
    Types, GraphHotSpots,
    ::testing::Values(
        HotSpotCase{1, 4, 0, "SubsetHotSpot 0 4", {}},
        HotSpotCase{3, 0, 0, "GraphHotSpot 0 2 1.5 -2.25", {"vget win 3023"}},
        HotSpotCase{5, 2, 17, "DataHotSpot 0 2 17", {}},
        HotSpotCase{6, 8, 0, "GraphAnnotHotSpot 0 8", {}},
        HotSpotCase{7, 8, 0, "XAxisAnnotHotSpot 0 8", {}},
        HotSpotCase{8, 8, 0, "YAxisAnnotHotSpot 0 8", {}},
        HotSpotCase{9, 8, 0, "HorzLineAnnotHotSpot 0 8", {}},
        HotSpotCase{10, 8, 0, "VertLineAnnotHotSpot 0 8", {}},
        HotSpotCase{11, 0, 0, "MainTitle 0", {}},
        HotSpotCase{12, 0, 0, "SubTitle 0", {}},
        HotSpotCase{13, 3, 1, "MultiSubTitle 0 3 1", {}},
        HotSpotCase{14, 3, 2, "MultiBottomTitle 0 3 2", {}},
        HotSpotCase{15, 1, 1, "YAxisLabel 0 1 1", {}},
        HotSpotCase{16, 1, 0, "XAxisLabel 0 1", {}},
        HotSpotCase{17, 2, 1, "YAxis 0 2 1 66", {"vget win 2637", "conv win 2 11 22 1 0 0"}},
        HotSpotCase{18, 1, 0, "XAxis 0 1 22", {"vget win 2637", "conv win 0 11 22 0 1 0"}},
        HotSpotCase{19, 1, 6, "GridNumber 0 1 1 0.75", {"vgetcell win 3123 6"}},
        HotSpotCase{20, 1, 6, "GridNumber 0 2 1 0.75", {"vgetcell win 3123 6"}},
        HotSpotCase{21, 0, 6, "GridNumber 0 0 0 0.75", {"vgetcell win 3123 6"}},
        HotSpotCase{22, 2, 6, "GridNumber 0 3 2 0.75", {"vgetcell win 3123 6"}},
        HotSpotCase{23, 5, 6, "TableAnnotation 0 0 5 6", {}},
        HotSpotCase{42, 5, 6, "TableAnnotation 0 19 5 6", {}}),
    [](const auto& info) { return "Type" + std::to_string(info.param.type); });

TEST(GraphHotSpot, TypesWithoutAnEventAndHeldKeysGoThroughTheFramework) {
  struct Case {
    int type;
    WPARAM wp;
  };
  for (const Case& c : {Case{0, MK_LBUTTON}, Case{2, MK_LBUTTON}, Case{4, MK_LBUTTON}, Case{43, MK_LBUTTON},
                        Case{-1, MK_LBUTTON}, Case{5, MK_LBUTTON | MK_SHIFT}, Case{5, MK_LBUTTON | MK_CONTROL},
                        Case{5, MK_LBUTTON | MK_RBUTTON}, Case{5, MK_LBUTTON | MK_MBUTTON}}) {
    SCOPED_TRACE("type " + std::to_string(c.type) + " wParam " + std::to_string(c.wp));
    ControlRig rig;
    rig.HookEvents();
    SetHotSpot(rig.engine, c.type, 1, 2);
    rig.Send(WM_LBUTTONDOWN, c.wp, kAt);
    rig.Send(WM_LBUTTONUP, 0, kAt);
    EXPECT_THAT(rig.events, ElementsAre("MouseDown 0 30 40", "Click", "MouseUp 0 30 40"));
    EXPECT_EQ(rig.engine.messages.front(), Msg(WM_LBUTTONDOWN, c.wp, kAt));
  }
}

TEST(GraphHotSpot, AHotSpotWithoutHandlerIsSwallowed) {
  ControlRig rig;
  std::vector<std::string> ev;
  rig.graph->OnClick([&](PESGraph&) { ev.push_back("Click"); });
  rig.graph->OnMouseDown([&](PESGraph&, TMouseButton, unsigned, int, int) { ev.push_back("MouseDown"); });
  for (int type : {1, 3, 5, 11, 17, 18, 19, 30}) {
    SetHotSpot(rig.engine, type, 0, 0);
    rig.engine.Clear();
    rig.Send(WM_LBUTTONDOWN, MK_LBUTTON, kAt);
    rig.Send(WM_LBUTTONUP, 0, kAt);
    if (type == 17 || type == 18) {
      EXPECT_TRUE(rig.engine.Matching("conv").empty());
    }
  }
  EXPECT_TRUE(ev.empty());
}

TEST(GraphHotSpot, ADoubleClickOnATitleRaisesItTwiceAndNoDblClick) {
  ControlRig rig;
  rig.HookEvents();
  SetHotSpot(rig.engine, 11, 0, 0);
  rig.Send(WM_LBUTTONDOWN, MK_LBUTTON, kAt);
  rig.Send(WM_LBUTTONUP, 0, kAt);
  rig.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, kAt);
  rig.Send(WM_LBUTTONUP, 0, kAt);
  EXPECT_THAT(rig.events, ElementsAre("MainTitle 0", "MouseUp 0 30 40", "MainTitle 1", "MouseUp 0 30 40"));
}

TEST(GraphHotSpot, ADoubleClickOnADataPointCarriesItsIndexes) {
  ControlRig rig;
  rig.HookEvents();
  SetHotSpot(rig.engine, 5, 1, 9);
  rig.Send(WM_LBUTTONDOWN, MK_LBUTTON, kAt);
  rig.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, kAt);
  EXPECT_THAT(rig.events, ElementsAre("DataHotSpot 0 1 9", "DataHotSpot 1 1 9"));
}

TEST(GraphHotSpot, InDesignModeOnlyTheFrameworkSeesTheClick) {
  ControlRig rig(true);
  rig.HookEvents();
  SetHotSpot(rig.engine, 5, 1, 9);
  rig.engine.Clear();
  rig.Send(WM_LBUTTONDOWN, MK_LBUTTON, kAt);
  rig.Send(WM_LBUTTONUP, 0, kAt);
  EXPECT_TRUE(rig.engine.messages.empty());
  EXPECT_TRUE(rig.engine.Matching("vget").empty());
  EXPECT_THAT(rig.events, ElementsAre("MouseDown 0 30 40", "Click", "MouseUp 0 30 40"));
}

// ---- notifications ----

LPARAM EngineLp(const ControlRig& rig) { return reinterpret_cast<LPARAM>(rig.engine.window); }

TEST(GraphNotify, EachCodeRaisesItsEventOnlyFromTheEngine) {
  struct Case {
    WORD code;
    const char* event;
  };
  for (const Case& c : {Case{3981, "PreHScroll"}, Case{3982, "PreVScroll"}, Case{3966, "ZoomIn"},
                        Case{3967, "ZoomOut"}, Case{3953, "CursorMoved"}, Case{3973, "PreCursorMove"},
                        Case{3974, "CustomizeDlg"}, Case{3975, "PopupMenu"}, Case{3961, "ParamUpdate"}}) {
    SCOPED_TRACE(c.event);
    ControlRig rig;
    rig.HookEvents();
    rig.Send(WM_COMMAND, MAKEWPARAM(0, c.code), reinterpret_cast<LPARAM>(rig.host));
    EXPECT_TRUE(rig.events.empty());
    rig.Send(WM_COMMAND, MAKEWPARAM(0, c.code), EngineLp(rig));
    EXPECT_EQ(rig.events, std::vector<std::string>{c.event});
  }
}

TEST(GraphNotify, CustomMenuReadsItsIndexes) {
  ControlRig rig;
  rig.HookEvents();
  rig.engine.numbers[id::CustomMenuIndex] = 3;
  rig.engine.numbers[id::CustomSubmenuIndex] = 1;
  rig.Send(WM_COMMAND, MAKEWPARAM(0, 3980), EngineLp(rig));
  EXPECT_THAT(rig.events, ElementsAre("CustomMenu 3 1"));
}

TEST(GraphNotify, CustomGridNumbersShowWhatTheHandlerWrote) {
  ControlRig rig;
  rig.engine.Clear();
  rig.Send(WM_COMMAND, MAKEWPARAM(0, 3979), EngineLp(rig));
  EXPECT_TRUE(rig.engine.Matching("vget").empty());  // no handler: nothing read

  CustomGridNumberRecord in{};
  in.axisType = 1;
  in.axisIndex = 2;
  in.number = 12.5;
  for (auto& ch : in.text) ch = u'x';  // no NUL anywhere
  rig.engine.blobs[id::CustomGridNumber].assign(reinterpret_cast<unsigned char*>(&in),
                                                reinterpret_cast<unsigned char*>(&in) + sizeof in);
  std::wstring seen;
  rig.graph->OnCustomGridnumbers([&](PESGraph&, int type, int index, double n, wchar_t* text) {
    seen = std::to_wstring(type) + L' ' + std::to_wstring(index) + L' ' + std::to_wstring(n) + L' ' +
           std::to_wstring(std::wcslen(text));
    std::wcscpy(text, L"12.5 s");
  });
  rig.engine.Clear();
  rig.Send(WM_COMMAND, MAKEWPARAM(0, 3979), EngineLp(rig));
  EXPECT_EQ(seen, L"1 2 12.500000 99");
  EXPECT_THAT(rig.engine.calls, ElementsAre("vget win 3162", "vset win 3162 1"));
  CustomGridNumberRecord out{};
  std::memcpy(&out, rig.engine.blobs[id::CustomGridNumber].data(), sizeof out);
  EXPECT_EQ(std::u16string(out.text), u"12.5 s");
  EXPECT_EQ(out.number, 12.5);
}

TEST(GraphNotify, ParamUpdateMirrorsTheEngineScrollBars) {
  ControlRig rig;
  const HWND control = rig.graph->Handle();
  SetScrollRange(rig.engine.window, SB_VERT, 1, 20, FALSE);
  SetScrollPos(rig.engine.window, SB_VERT, 7, FALSE);
  SetScrollRange(rig.engine.window, SB_HORZ, 0, 30, FALSE);
  SetScrollRange(control, SB_HORZ, 0, 5, FALSE);
  rig.Send(WM_COMMAND, MAKEWPARAM(0, 3961), EngineLp(rig));
  int lo = -1, hi = -1;
  GetScrollRange(control, SB_VERT, &lo, &hi);
  EXPECT_EQ(lo, 1);
  EXPECT_EQ(hi, 20);
  EXPECT_EQ(GetScrollPos(control, SB_VERT), 7);
  GetScrollRange(control, SB_HORZ, &lo, &hi);
  EXPECT_EQ(hi - lo, 0);  // a range from 0 leaves no bar

  SetScrollRange(rig.engine.window, SB_VERT, 0, 20, FALSE);
  rig.Send(WM_COMMAND, MAKEWPARAM(0, 3961), EngineLp(rig));
  GetScrollRange(control, SB_VERT, &lo, &hi);
  EXPECT_EQ(hi - lo, 0);
}

// ---- scrolling reported by the engine ----

TEST(GraphScroll, TheEngineScrollingMovesTheBarAndRaisesTheEventButNotAtTheEnd) {
  ControlRig rig;
  rig.HookEvents();
  const HWND control = rig.graph->Handle();
  SetScrollRange(control, SB_VERT, 0, 50, FALSE);
  SetScrollRange(control, SB_HORZ, 0, 50, FALSE);
  rig.engine.Clear();
  rig.Send(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 12), EngineLp(rig));
  rig.Send(WM_HSCROLL, MAKEWPARAM(SB_LINEDOWN, 3), EngineLp(rig));
  rig.Send(WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, 40), EngineLp(rig));
  EXPECT_THAT(rig.events, ElementsAre("VertScroll 4 12", "HorzScroll 1 3"));
  EXPECT_EQ(GetScrollPos(control, SB_VERT), 12);
  EXPECT_EQ(GetScrollPos(control, SB_HORZ), 3);
  EXPECT_TRUE(rig.engine.messages.empty());  // nothing goes back to the engine
}

// ---- repaint requests and focus ----

TEST(GraphRepaint, TheEngineAsksForTheWholeControlOrOneRectangle) {
  ControlRig rig;
  const HWND control = rig.graph->Handle();
  UpdateWindow(control);
  rig.Send(kRepaintMessage, 0, 0);
  RECT r{};
  ASSERT_TRUE(GetUpdateRect(control, &r, FALSE));
  EXPECT_EQ(r.right - r.left, 200);
  EXPECT_EQ(r.bottom - r.top, 120);
  UpdateWindow(control);
  std::int32_t rect[4] = {10, 20, 30, 45};
  rig.Send(kRepaintMessage, 0, reinterpret_cast<LPARAM>(rect));
  ASSERT_TRUE(GetUpdateRect(control, &r, FALSE));
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 20);
  EXPECT_EQ(r.right, 30);
  EXPECT_EQ(r.bottom, 45);
}

TEST(GraphRepaint, AFocusChangeInvalidatesOnlyTheTwoPixelRing) {
  ControlRig rig;
  const HWND control = rig.graph->Handle();
  for (UINT msg : {WM_SETFOCUS, WM_KILLFOCUS}) {
    UpdateWindow(control);
    rig.Send(msg);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    GetUpdateRgn(control, rgn, FALSE);
    EXPECT_TRUE(PtInRegion(rgn, 0, 0));
    EXPECT_TRUE(PtInRegion(rgn, 1, 60));
    EXPECT_TRUE(PtInRegion(rgn, 199, 119));
    EXPECT_FALSE(PtInRegion(rgn, 2, 60));
    EXPECT_FALSE(PtInRegion(rgn, 100, 60));
    DeleteObject(rgn);
  }
}

TEST(GraphRepaint, ASettingAtRunTimeChangesTheEngineButDoesNotRepaint) {
  ControlRig rig;
  UpdateWindow(rig.graph->Handle());
  rig.engine.Clear();
  rig.graph->Subsets(4);
  rig.graph->PrepareImages(true);
  EXPECT_THAT(rig.engine.calls, ElementsAre("nset win 2115 4", "nset win 2155 1"));
  RECT r{};
  EXPECT_FALSE(GetUpdateRect(rig.graph->Handle(), &r, FALSE));
}

}  // namespace
}  // namespace pel::graph::test
