// PESGraph: the window framework's properties that act on the control's
// window: cursor, alignment in the parent, context help id, hint tip and
// place in the Tab order.
#include "graph/PESGraph.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace {

// Shared cursor numbers and the system cursors that show them.
struct SharedCursor {
  TCursor number;
  WORD systemId;
};
constexpr SharedCursor kSharedCursors[] = {
    {-2, 32512},  {-3, 32515},  {-4, 32513},  {-5, 32646},  {-6, 32643},  {-7, 32645},  {-8, 32642},
    {-9, 32644},  {-10, 32516}, {-11, 32514}, {-12, 32512}, {-13, 32648}, {-14, 32644}, {-15, 32645},
    {-16, 32512}, {-17, 32514}, {-18, 32648}, {-19, 32650}, {-20, 32651}, {-21, 32649}, {-22, 32646},
};
constexpr TCursor kNoCursor = -1;

std::vector<HWND> SiblingsOf(HWND self) {
  std::vector<HWND> v;
  for (HWND w = GetWindow(self, GW_HWNDFIRST); w; w = GetWindow(w, GW_HWNDNEXT))
    if (w != self) v.push_back(w);
  return v;
}

}  // namespace

void PESGraph::ApplyFrameworkProperties() {
  SetWindowContextHelpId(hwnd_, static_cast<DWORD>(helpContext_));
  if (tabOrder_ >= 0) TabOrder(tabOrder_);
  Align(align_);
  UpdateHint();
}

bool PESGraph::SetCursorOver() {
  if (cursor_ == 0) return false;  // the window's own cursor
  if (cursor_ == kNoCursor) {
    SetCursor(nullptr);
    return true;
  }
  for (const SharedCursor& c : kSharedCursors) {
    if (c.number != cursor_) continue;
    SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(c.systemId)));
    return true;
  }
  return false;  // a number of no shared cursor: the window's own
}

void PESGraph::Align(TAlign v) {
  align_ = v;
  if (!hwnd_) return;
  if (align_ != TAlign::None && !parentHooked_ && parent_)
    parentHooked_ = SetWindowSubclass(parent_, &PESGraph::ParentSized, 0, reinterpret_cast<DWORD_PTR>(this)) != FALSE;
  Realign();
}

void PESGraph::Realign() {
  if (!hwnd_ || !parent_ || align_ == TAlign::None) return;
  RECT c{};
  GetClientRect(parent_, &c);
  const int w = c.right - c.left, h = c.bottom - c.top;
  switch (align_) {
    case TAlign::Top: SetBounds(0, 0, w, Height()); break;
    case TAlign::Bottom: SetBounds(0, h - Height(), w, Height()); break;
    case TAlign::Left: SetBounds(0, 0, Width(), h); break;
    case TAlign::Right: SetBounds(w - Width(), 0, Width(), h); break;
    case TAlign::Client: SetBounds(0, 0, w, h); break;
    case TAlign::None: break;
  }
}

LRESULT CALLBACK PESGraph::ParentSized(HWND parent, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self) {
  auto* graph = reinterpret_cast<PESGraph*>(self);
  const LRESULT r = DefSubclassProc(parent, msg, wp, lp);
  if (msg == WM_SIZE) {
    graph->Realign();
  } else if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(parent, &PESGraph::ParentSized, 0);
    graph->parentHooked_ = false;
  }
  return r;
}

void PESGraph::HelpContext(int v) {
  helpContext_ = v;
  if (hwnd_) SetWindowContextHelpId(hwnd_, static_cast<DWORD>(v));
}

void PESGraph::Hint(std::wstring v) {
  hint_ = std::move(v);
  UpdateHint();
}

void PESGraph::ShowHint(bool v) {
  showHint_ = v;
  parentShowHint_ = false;
  UpdateHint();
}

void PESGraph::ParentShowHint(bool v) {
  parentShowHint_ = v;
  if (v) showHint_ = false;  // what a plain parent window chooses
  UpdateHint();
}

void PESGraph::UpdateHint() {
  if (!hwnd_) return;
  const bool shown = showHint_ && !hint_.empty();
  if (!shown) {
    if (tooltip_) DestroyWindow(tooltip_);
    tooltip_ = nullptr;
    return;
  }
  TOOLINFOW ti{};
  ti.cbSize = sizeof ti;
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = hwnd_;
  ti.uId = reinterpret_cast<UINT_PTR>(hwnd_);
  ti.lpszText = hint_.data();
  if (tooltip_) {
    SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    return;
  }
  static const bool classes = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
    return InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)classes;
  tooltip_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, nullptr, nullptr);
  if (tooltip_) SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

int PESGraph::TabOrder() const {
  if (!hwnd_) return tabOrder_;
  int place = 0;
  for (HWND w = GetWindow(hwnd_, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV)) ++place;
  return place;
}

void PESGraph::TabOrder(int v) {
  if (!hwnd_) {
    tabOrder_ = v;
    return;
  }
  if (v < 0) return;
  const std::vector<HWND> others = SiblingsOf(hwnd_);
  const std::size_t place = std::min<std::size_t>(static_cast<std::size_t>(v), others.size());
  HWND after = place == 0 ? HWND_TOP : others[place - 1];
  SetWindowPos(hwnd_, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}
