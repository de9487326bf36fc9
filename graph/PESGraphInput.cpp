// PESGraph messages: input forwarded to the engine's hidden window, hot-spot
// clicks and engine notifications turned into events, sizing and scrolling.
#include <windowsx.h>

#include <algorithm>
#include <cmath>

#include "graphengine/EngineIds.h"
#include "graph/GdiHandles.h"
#include "graph/PESGraph.h"

namespace id = pel::graph::id;
namespace hs = pel::graph::hotspot;
namespace nt = pel::graph::notify;

namespace {
// Arrow keys and all other keys go to the control.
constexpr LRESULT kWantKeys = DLGC_WANTARROWS | DLGC_WANTALLKEYS;
// A click with any of these held is no hot-spot click.
constexpr WPARAM kOtherButtonsOrKeys = MK_RBUTTON | MK_SHIFT | MK_CONTROL | MK_MBUTTON;
}  // namespace

LRESULT CALLBACK PESGraph::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<PESGraph*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<PESGraph*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
  return self->HandleMessage(msg, wp, lp);
}

LRESULT PESGraph::Default(UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcW(hwnd_, msg, wp, lp); }

void PESGraph::Forward(UINT msg, WPARAM wp, LPARAM lp) {
  if (engineHandle_) SendMessageW(engineHandle_, msg, wp, lp);
}

unsigned PESGraph::KeyShift() {
  unsigned s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

LRESULT PESGraph::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      return OnCreate(msg, wp, lp);
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE:
      Size();
      return Default(msg, wp, lp);
    case WM_WINDOWPOSCHANGING: {
      auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
      if (!(pos->flags & SWP_NOSIZE)) {
        pos->cx = std::max(pos->cx, kMinSize);
        pos->cy = std::max(pos->cy, kMinSize);
      }
      return Default(msg, wp, lp);
    }
    case WM_MOVE: {
      LRESULT r = Default(msg, wp, lp);
      if (GetParent(hwnd_)) {
        RECT wr{};
        GetWindowRect(hwnd_, &wr);
        MapWindowPoints(HWND_DESKTOP, GetParent(hwnd_), reinterpret_cast<POINT*>(&wr), 2);
        bounds_ = wr;
      }
      return r;
    }
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wp) == hwnd_ && LOWORD(lp) == HTCLIENT && SetCursorOver()) return TRUE;
      return Default(msg, wp, lp);
    case WM_GETDLGCODE: {
      LRESULT r = Default(msg, wp, lp);
      if (!designing_ && engineHandle_) r = kWantKeys;
      return r;
    }
    case WM_MOUSEMOVE:
      if (!designing_ && engineHandle_ && (!haveLastMove_ || wp != lastMoveWp_ || lp != lastMoveLp_)) {
        Forward(msg, wp, lp);
        lastMoveWp_ = wp;
        lastMoveLp_ = lp;
        haveLastMove_ = true;
      }
      if (OnMouseMove_) OnMouseMove_(*this, static_cast<unsigned>(wp) | KeyShift(), GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
      return Default(msg, wp, lp);
    case WM_LBUTTONDOWN:
      HotSpotClick(msg, wp, lp, 0);
      return 0;
    case WM_LBUTTONDBLCLK:
      HotSpotClick(msg, wp, lp, 1);
      return 0;
    case WM_LBUTTONUP:
      if (!designing_) Forward(msg, wp, lp);
      FrameworkMouseUp(TMouseButton::mbLeft, wp, lp);
      return 0;
    case WM_RBUTTONDOWN:
      FrameworkMouseDown(TMouseButton::mbRight, wp, lp, false);
      return 0;
    case WM_RBUTTONUP:
      // The engine opens its menu on the button's release.
      if (!designing_) Forward(WM_RBUTTONDOWN, wp, lp);
      FrameworkMouseUp(TMouseButton::mbRight, wp, lp);
      return Default(msg, wp, lp);
    case WM_MBUTTONDOWN:
      FrameworkMouseDown(TMouseButton::mbMiddle, wp, lp, false);
      return 0;
    case WM_MBUTTONUP:
      FrameworkMouseUp(TMouseButton::mbMiddle, wp, lp);
      return 0;
    case WM_KEYDOWN:
    case WM_KEYUP: {
      WORD key = static_cast<WORD>(wp);
      const TKeyEvent& h = msg == WM_KEYDOWN ? OnKeyDown_ : OnKeyUp_;
      if (h) h(*this, key, KeyShift());
      if (!designing_) Forward(msg, key, lp);
      return 0;
    }
    case WM_CHAR: {
      wchar_t key = static_cast<wchar_t>(wp);
      if (OnKeyPress_) OnKeyPress_(*this, key);
      return 0;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      FocusRing();
      if (msg == WM_SETFOCUS && OnEnter_) OnEnter_(*this);
      if (msg == WM_KILLFOCUS && OnExit_) OnExit_(*this);
      return Default(msg, wp, lp);
    case WM_VSCROLL:
    case WM_HSCROLL:
      Scroll(msg, wp, lp);
      return 0;
    case WM_MOUSEWHEEL: {
      LRESULT r = Default(msg, wp, lp);
      if (IsWindowVisible(hwnd_)) {
        SetFocus(hwnd_);
        UpdateWindow(hwnd_);
      }
      // The engine window may hand a wheel it does not use back to its
      // parent, this control: that one is not sent round again.
      if (!forwardingWheel_) {
        forwardingWheel_ = true;
        Forward(msg, wp, 0);
        forwardingWheel_ = false;
      }
      return r;
    }
    case WM_COMMAND:
      Command(wp, lp);
      return 0;
    case pel::graph::kRepaintMessage:
      InvalidateFromEngine(lp);
      return 0;
    default:
      return Default(msg, wp, lp);
  }
}

void PESGraph::Size() {
  if (!engineHandle_) return;
  RECT r{};
  GetWindowRect(hwnd_, &r);
  engineWindowSize_.cx = std::max<LONG>(r.right - r.left, kMinSize);
  engineWindowSize_.cy = std::max<LONG>(r.bottom - r.top, kMinSize);
  MoveWindow(engineHandle_, 0, 0, engineWindowSize_.cx, engineWindowSize_.cy, FALSE);
  ShowWindow(engineHandle_, SW_HIDE);
}

// ---- framework mouse handling ----

void PESGraph::FrameworkMouseDown(TMouseButton button, WPARAM wp, LPARAM lp, bool dbl) {
  SetCapture(hwnd_);
  if (button == TMouseButton::mbLeft) {
    if (dbl) {
      if (OnDblClick_) OnDblClick_(*this);
    } else {
      leftPressed_ = true;
    }
  }
  unsigned shift = static_cast<unsigned>(wp) | KeyShift() | (dbl ? ssDouble : 0u);
  if (OnMouseDown_) OnMouseDown_(*this, button, shift, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
}

void PESGraph::FrameworkMouseUp(TMouseButton button, WPARAM wp, LPARAM lp) {
  if (GetCapture() == hwnd_) ReleaseCapture();
  const POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  if (button == TMouseButton::mbLeft && leftPressed_) {
    leftPressed_ = false;
    RECT client{};
    GetClientRect(hwnd_, &client);
    if (PtInRect(&client, pt) && OnClick_) OnClick_(*this);
  }
  if (OnMouseUp_) OnMouseUp_(*this, button, static_cast<unsigned>(wp) | KeyShift(), pt.x, pt.y);
}

// ---- hot spots ----

void PESGraph::HotSpotClick(UINT msg, WPARAM wp, LPARAM lp, int dblClick) {
  const bool dbl = dblClick != 0;
  if (designing_ || !engineHandle_) {
    FrameworkMouseDown(TMouseButton::mbLeft, wp, lp, dbl);
    return;
  }
  Forward(msg, wp, lp);
  if (wp & kOtherButtonsOrKeys) {
    FrameworkMouseDown(TMouseButton::mbLeft, wp, lp, dbl);
    return;
  }
  pel::graph::HotSpotRecord spot{};
  engine_.vget(engineHandle_, id::HotSpot, &spot);
  if (spot.type == hs::None || !DispatchHotSpot(spot.type, spot.first, spot.second, dblClick))
    FrameworkMouseDown(TMouseButton::mbLeft, wp, lp, dbl);
}

// Raises the event of a hot-spot type; false for a type that has none.
bool PESGraph::DispatchHotSpot(int type, int first, int second, int dbl) {
  const HWND h = engineHandle_;
  switch (type) {
    case hs::Subset:
      if (OnSubsetHotSpot_) OnSubsetHotSpot_(*this, dbl, first);
      return true;
    case hs::Graph: {
      pel::graph::GraphHotSpotRecord g{};
      engine_.vget(h, id::GraphHotSpot, &g);
      if (OnGraphHotSpot_) OnGraphHotSpot_(*this, dbl, g.axis, g.x, g.y);
      return true;
    }
    case hs::Data:
      if (OnDataHotSpot_) OnDataHotSpot_(*this, dbl, first, second);
      return true;
    case hs::GraphAnnot:
      if (OnGraphAnnotHotSpot_) OnGraphAnnotHotSpot_(*this, dbl, first);
      return true;
    case hs::XAxisAnnot:
      if (OnXAxisAnnotHotSpot_) OnXAxisAnnotHotSpot_(*this, dbl, first);
      return true;
    case hs::YAxisAnnot:
      if (OnYAxisAnnotHotSpot_) OnYAxisAnnotHotSpot_(*this, dbl, first);
      return true;
    case hs::HorzLineAnnot:
      if (OnHorzLineAnnotHotSpot_) OnHorzLineAnnotHotSpot_(*this, dbl, first);
      return true;
    case hs::VertLineAnnot:
      if (OnVertLineAnnotHotSpot_) OnVertLineAnnotHotSpot_(*this, dbl, first);
      return true;
    case hs::MainTitle:
      if (OnMainTitle_) OnMainTitle_(*this, dbl);
      return true;
    case hs::SubTitle:
      if (OnSubTitle_) OnSubTitle_(*this, dbl);
      return true;
    case hs::MultiSubTitle:
      if (OnMultiSubTitle_) OnMultiSubTitle_(*this, dbl, first, second);
      return true;
    case hs::MultiBottomTitle:
      if (OnMultiBottomTitle_) OnMultiBottomTitle_(*this, dbl, first, second);
      return true;
    case hs::YAxisLabel:
      if (OnYAxisLabel_) OnYAxisLabel_(*this, dbl, first, second);
      return true;
    case hs::XAxisLabel:
      if (OnXAxisLabel_) OnXAxisLabel_(*this, dbl, first);
      return true;
    case hs::YAxis:
      if (OnYAxis_) {
        pel::graph::MousePointRecord pt{};
        engine_.vget(h, id::MousePoint, &pt);
        INT axis = first, px = pt.x, py = pt.y;
        double gx = 0, gy = 0;
        engine_.convPixelToGraph(h, &axis, &px, &py, &gx, &gy, second, 0, 0);
        OnYAxis_(*this, dbl, first, second, gy);
      }
      return true;
    case hs::XAxis:
      if (OnXAxis_) {
        pel::graph::MousePointRecord pt{};
        engine_.vget(h, id::MousePoint, &pt);
        INT axis = 0, px = pt.x, py = pt.y;
        double gx = 0, gy = 0;
        engine_.convPixelToGraph(h, &axis, &px, &py, &gx, &gy, 0, first, 0);
        OnXAxis_(*this, dbl, first, gx);
      }
      return true;
    default:
      break;
  }
  if (type >= hs::GridNumberFirst && type <= hs::GridNumberLast) {
    double number = 0;
    engine_.vgetcell(h, id::GridNumberCell, static_cast<UINT>(second), &number);
    static constexpr int kType[] = {1, 2, 0, 3};  // of types 19, 20, 21, 22
    if (OnGridNumber_) OnGridNumber_(*this, dbl, kType[type - hs::GridNumberFirst], first, number);
    return true;
  }
  if (type >= hs::TableAnnotFirst && type <= hs::TableAnnotLast) {
    if (OnTableAnnotation_) OnTableAnnotation_(*this, dbl, type - hs::TableAnnotFirst, first, second);
    return true;
  }
  return false;
}

// ---- engine notifications ----

void PESGraph::Command(WPARAM wp, LPARAM lp) {
  const HWND h = engineHandle_;
  if (!h || reinterpret_cast<HWND>(lp) != h) return;
  const auto fire = [this](const TNotifyEvent& e) {
    if (e) e(*this);
  };
  switch (HIWORD(wp)) {
    case nt::CustomGridNumbers:
      if (OnCustomGridnumbers_) {
        pel::graph::CustomGridNumberRecord rec{};
        engine_.vget(h, id::CustomGridNumber, &rec);
        // The text is NUL-terminated within the record whatever the engine
        // or the handler left there.
        rec.text[rec.kTextChars - 1] = u'\0';
        OnCustomGridnumbers_(*this, rec.axisType, rec.axisIndex, rec.number, reinterpret_cast<wchar_t*>(rec.text));
        rec.text[rec.kTextChars - 1] = u'\0';
        engine_.vset(h, id::CustomGridNumber, &rec, 1);
      }
      break;
    case nt::CustomMenu:
      if (OnCustomMenu_) OnCustomMenu_(*this, engine_.nget(h, id::CustomMenuIndex), engine_.nget(h, id::CustomSubmenuIndex));
      break;
    case nt::PreHScroll: fire(OnPreHScroll_); break;
    case nt::PreVScroll: fire(OnPreVScroll_); break;
    case nt::ZoomIn: fire(OnZoomIn_); break;
    case nt::ZoomOut: fire(OnZoomOut_); break;
    case nt::CursorMoved: fire(OnCursorMoved_); break;
    case nt::PreCursorMove: fire(OnPreCursorMove_); break;
    case nt::CustomizeDlg: fire(OnCustomizeDlg_); break;
    case nt::PopupMenu: fire(OnPopupMenu_); break;
    case nt::ParamUpdate:
      MirrorScrollBars();
      fire(OnParamUpdate_);
      break;
    default:
      break;
  }
}

void PESGraph::MirrorScrollBars() {
  for (int bar : {SB_VERT, SB_HORZ}) {
    int lo = 0, hi = 0;
    GetScrollRange(engineHandle_, bar, &lo, &hi);
    if (lo == 1) {
      SetScrollRange(hwnd_, bar, lo, hi, FALSE);
      SetScrollPos(hwnd_, bar, GetScrollPos(engineHandle_, bar), TRUE);
    } else {
      SetScrollRange(hwnd_, bar, 0, 0, FALSE);
      SetScrollPos(hwnd_, bar, 0, TRUE);
    }
  }
}

void PESGraph::Scroll(UINT msg, WPARAM wp, LPARAM lp) {
  Default(msg, wp, lp);
  if (IsWindowVisible(hwnd_)) {
    SetFocus(hwnd_);
    UpdateWindow(hwnd_);
  }
  const int code = LOWORD(wp);
  int pos = HIWORD(wp);
  if (engineHandle_ && reinterpret_cast<HWND>(lp) == engineHandle_) {
    if (code == SB_ENDSCROLL) return;
    const bool vert = msg == WM_VSCROLL;
    SetScrollPos(hwnd_, vert ? SB_VERT : SB_HORZ, pos, TRUE);
    UpdateWindow(hwnd_);
    const TScrollEvent& e = vert ? OnVertScroll_ : OnHorzScroll_;
    if (e) e(*this, static_cast<unsigned char>(code), pos);  // a position the handler writes is not used
  } else if (engineHandle_) {
    Forward(msg, MAKEWPARAM(code, pos), 0);
  }
}

// ---- focus and repaint requests ----

void PESGraph::FocusRing() {
  RECT r{};
  GetClientRect(hwnd_, &r);
  pel::graph::UniqueRgn outer(CreateRectRgnIndirect(&r));
  pel::graph::UniqueRgn inner(CreateRectRgn(r.left + 2, r.top + 2, r.right - 2, r.bottom - 2));
  pel::graph::UniqueRgn ring(CreateRectRgn(0, 0, 0, 0));
  if (!outer || !inner || !ring) return;
  CombineRgn(ring.get(), outer.get(), inner.get(), RGN_XOR);
  InvalidateRgn(hwnd_, ring.get(), FALSE);
}

void PESGraph::InvalidateFromEngine(LPARAM lp) {
  if (lp == 0) {
    InvalidateRect(hwnd_, nullptr, FALSE);
    return;
  }
  const auto* r = reinterpret_cast<const std::int32_t*>(lp);
  scaleX_ = scaleY_ = 1.0f;
  working_.left = static_cast<LONG>(std::nearbyint(r[0] * double(scaleX_)));
  working_.top = static_cast<LONG>(std::nearbyint(r[1] * double(scaleY_)));
  working_.right = static_cast<LONG>(std::nearbyint(r[2] * double(scaleX_)));
  working_.bottom = static_cast<LONG>(std::nearbyint(r[3] * double(scaleY_)));
  InvalidateRect(hwnd_, &working_, FALSE);
}
