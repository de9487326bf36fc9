// The window framework's properties of the control: their defaults and what
// each does to the control's window (cursor, alignment, help id, hint tip,
// Tab order).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/graph/ControlRig.h"

namespace pel::graph::test {
namespace {

// A host of its own, so that resizing it and adding windows to it leaves the
// shared host alone.
struct OwnHost {
  OwnHost() : hwnd(MakeHostWindow(420, 320)) {}
  ~OwnHost() {
    DestroyWindow(hwnd);
    Pump();
  }
  RECT Client() const {
    RECT r{};
    GetClientRect(hwnd, &r);
    return r;
  }
  HWND hwnd;
};

RECT BoundsIn(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(w), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

bool Same(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

struct FindTip {
  HWND control;
  HWND found = nullptr;
  std::wstring text;
};

BOOL CALLBACK FindTipProc(HWND w, LPARAM lp) {
  auto* f = reinterpret_cast<FindTip*>(lp);
  wchar_t cls[64] = {};
  GetClassNameW(w, cls, 64);
  if (std::wstring(cls) != TOOLTIPS_CLASSW) return TRUE;
  wchar_t buffer[128] = {};
  TOOLINFOW ti{};
  ti.cbSize = sizeof ti;
  ti.lpszText = buffer;
  if (!SendMessageW(w, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&ti))) return TRUE;
  if (ti.uId != reinterpret_cast<UINT_PTR>(f->control)) return TRUE;
  f->found = w;
  f->text = buffer;
  return FALSE;
}

// The tip window that holds the control as its tool, and the tip's text;
// null without one.
HWND TipOf(HWND control, std::wstring* text = nullptr) {
  FindTip f{control, nullptr, {}};
  EnumThreadWindows(GetCurrentThreadId(), FindTipProc, reinterpret_cast<LPARAM>(&f));
  if (text) *text = f.text;
  return f.found;
}

TEST(GraphFramework, Defaults) {
  ControlRig rig(false, false);
  const PESGraph& g = *rig.graph;
  EXPECT_EQ(g.Cursor(), 0);
  EXPECT_EQ(g.DragCursor(), -12);
  EXPECT_EQ(g.Align(), TAlign::None);
  EXPECT_EQ(g.HelpContext(), 0);
  EXPECT_FALSE(g.ShowHint());
  EXPECT_TRUE(g.ParentShowHint());
  EXPECT_EQ(g.TabOrder(), -1);
}

TEST(GraphFramework, CursorOverTheControl) {
  ControlRig rig;
  struct Case {
    TCursor cursor;
    LPCSTR shown;  // null: no cursor at all
  };
  const Case cases[] = {
      {0, IDC_ARROW},  // the window's own
      {-3, IDC_CROSS}, {-4, IDC_IBEAM}, {-11, IDC_WAIT}, {-21, IDC_HAND}, {-22, IDC_SIZEALL},
      {-1, nullptr},
      {5, IDC_ARROW},  // a number of no shared cursor: the window's own
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cursor);
    rig.graph->Cursor(c.cursor);
    SetCursor(LoadCursorA(nullptr, IDC_UPARROW));
    rig.Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(rig.graph->Handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), c.shown ? LoadCursorA(nullptr, c.shown) : nullptr);
  }
}

TEST(GraphFramework, AlignDocksInTheParentAndFollowsItsSize) {
  OwnHost host;
  ControlRig rig(false, false);
  rig.host = host.hwnd;
  rig.graph->SetBounds(30, 40, 200, 120);
  rig.graph->Align(TAlign::Client);  // before the window: taken when it is made
  rig.MakeWindow();
  EXPECT_TRUE(Same(BoundsIn(rig.graph->Handle()), host.Client()));

  struct Case {
    TAlign align;
    RECT (*expected)(const RECT& client);  // for a control of 200 x 120 before
  };
  const Case cases[] = {
      {TAlign::Top, [](const RECT& c) { return RECT{0, 0, c.right, 120}; }},
      {TAlign::Bottom, [](const RECT& c) { return RECT{0, c.bottom - 120, c.right, c.bottom}; }},
      {TAlign::Left, [](const RECT& c) { return RECT{0, 0, 200, c.bottom}; }},
      {TAlign::Right, [](const RECT& c) { return RECT{c.right - 200, 0, c.right, c.bottom}; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.align));
    rig.graph->Align(TAlign::None);
    rig.graph->SetBounds(30, 40, 200, 120);
    rig.graph->Align(c.align);
    EXPECT_TRUE(Same(BoundsIn(rig.graph->Handle()), c.expected(host.Client())));
    SetWindowPos(host.hwnd, nullptr, 0, 0, 380, 290, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    EXPECT_TRUE(Same(BoundsIn(rig.graph->Handle()), c.expected(host.Client()))) << "after the parent's resize";
    SetWindowPos(host.hwnd, nullptr, 0, 0, 420, 320, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
  }
  // Without alignment the parent's resize leaves the control where it is.
  rig.graph->Align(TAlign::None);
  rig.graph->SetBounds(30, 40, 200, 120);
  SetWindowPos(host.hwnd, nullptr, 0, 0, 380, 290, SWP_NOMOVE | SWP_NOZORDER);
  Pump();
  EXPECT_TRUE(Same(BoundsIn(rig.graph->Handle()), RECT{30, 40, 230, 160}));
}

TEST(GraphFramework, HelpContextIsTheWindowsContextHelpId) {
  ControlRig rig(false, false);
  rig.graph->HelpContext(4711);
  rig.MakeWindow();
  EXPECT_EQ(GetWindowContextHelpId(rig.graph->Handle()), 4711u);
  rig.graph->HelpContext(12);
  EXPECT_EQ(GetWindowContextHelpId(rig.graph->Handle()), 12u);
  EXPECT_EQ(rig.graph->HelpContext(), 12);
}

TEST(GraphFramework, ShowHintShowsTheHintAsATip) {
  ControlRig rig;
  PESGraph& g = *rig.graph;
  g.Hint(L"Live values");
  EXPECT_EQ(TipOf(g.Handle()), nullptr) << "ParentShowHint: a plain parent shows no hints";
  g.ShowHint(true);
  EXPECT_FALSE(g.ParentShowHint());
  std::wstring text;
  ASSERT_NE(TipOf(g.Handle(), &text), nullptr);
  EXPECT_EQ(text, L"Live values");
  g.Hint(L"Channel A");
  TipOf(g.Handle(), &text);
  EXPECT_EQ(text, L"Channel A");
  g.Hint(L"");
  EXPECT_EQ(TipOf(g.Handle()), nullptr) << "no tip without a text";
  g.Hint(L"Channel A");
  g.ParentShowHint(true);
  EXPECT_FALSE(g.ShowHint());
  EXPECT_EQ(TipOf(g.Handle()), nullptr);
}

TEST(GraphFramework, TabOrderIsThePlaceAmongTheParentsWindows) {
  OwnHost host;
  for (int i = 0; i < 2; ++i)
    CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 30 * i, 40, 20, host.hwnd, nullptr,
                    nullptr, nullptr);
  ControlRig rig(false, false);
  rig.host = host.hwnd;
  rig.graph->TabOrder(1);  // before the window: taken when it is made
  EXPECT_EQ(rig.graph->TabOrder(), 1);
  rig.MakeWindow();
  EXPECT_EQ(rig.graph->TabOrder(), 1);
  EXPECT_EQ(GetWindow(GetWindow(host.hwnd, GW_CHILD), GW_HWNDNEXT), rig.graph->Handle());
  rig.graph->TabOrder(0);
  EXPECT_EQ(GetWindow(host.hwnd, GW_CHILD), rig.graph->Handle());
  rig.graph->TabOrder(7);  // past the end: last
  EXPECT_EQ(rig.graph->TabOrder(), 2);
  EXPECT_EQ(GetWindow(rig.graph->Handle(), GW_HWNDNEXT), nullptr);
}

}  // namespace
}  // namespace pel::graph::test
