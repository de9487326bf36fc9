// PESGraph: construction, window creation, destruction, the framework part
// and the public methods. Painting and input are in their own files.
#include "graph/PESGraph.h"

#include <commctrl.h>

#include <algorithm>

#include "graphengine/EngineIds.h"

namespace {

constexpr wchar_t kClassName[] = L"PESGraph";
constexpr UINT kFirstObjectType = 304;
constexpr UINT kFirstObjectId = 12111;
constexpr UINT kWindowObjectId = 100;

HINSTANCE ThisModule() {
  HMODULE m = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ThisModule), &m);
  return m;
}

void RegisterClassOnce(WNDPROC proc) {
  static const ATOM atom = [proc] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = proc;
    wc.hInstance = ThisModule();
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc);
  }();
  (void)atom;
}

}  // namespace

PESGraph::PESGraph(const pel::graph::EngineApi& engine, bool designing) : engine_(engine), designing_(designing) {
  engineHandle_ = nullptr;
  windowCreated_ = false;
  working_ = RECT{0, 0, 300, 300};
  // A windowless object: it takes every setting made before the window exists.
  engineHandle_ = engine_.create(kFirstObjectType, 0, &working_, nullptr, kFirstObjectId);
}

PESGraph::~PESGraph() {
  if (engineHandle_) {
    engine_.destroy(engineHandle_);
    engineHandle_ = nullptr;
    windowCreated_ = false;
  }
  if (parentHooked_) RemoveWindowSubclass(parent_, &PESGraph::ParentSized, 0);
  if (hwnd_) DestroyWindow(hwnd_);
}

void PESGraph::Loaded() {
  engine_.reinitialize(engineHandle_);
  engine_.resetImage(engineHandle_, 0, 0);
  Invalidate();
}

void PESGraph::Parent(HWND parent) {
  if (hwnd_ || !parent) return;
  parent_ = parent;
  RegisterClassOnce(&PESGraph::WndProc);
  DWORD style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  if (visible_) style |= WS_VISIBLE;
  if (tabStop_) style |= WS_TABSTOP;
  CreateWindowExW(0, kClassName, L"", style, Left(), Top(), std::max(Width(), kMinSize),
                  std::max(Height(), kMinSize), parent, nullptr, ThisModule(), this);
  if (hwnd_) ApplyFrameworkProperties();
}

LRESULT PESGraph::OnCreate(UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT r = Default(msg, wp, lp);
  GetClientRect(hwnd_, &working_);
  HWND made = engine_.create(reinterpret_cast<UINT_PTR>(engineHandle_), 0, &working_, hwnd_, kWindowObjectId);
  if (!made) return r;  // stays on the windowless object
  engine_.nset(made, pel::graph::id::NotifyWindow, HandleToLong(hwnd_));
  engineHandle_ = made;
  engine_.reinitialize(engineHandle_);
  engine_.resetImage(engineHandle_, 0, 0);
  windowCreated_ = true;
  ShowWindow(engineHandle_, SW_HIDE);
  return r;
}

void PESGraph::SetBounds(int left, int top, int width, int height) {
  if (!hwnd_) {
    bounds_ = RECT{left, top, left + width, top + height};
    return;
  }
  SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  RECT r{};
  GetWindowRect(hwnd_, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
  bounds_ = r;
}

void PESGraph::Visible(bool v) {
  visible_ = v;
  if (hwnd_) ShowWindow(hwnd_, v ? SW_SHOW : SW_HIDE);
}

void PESGraph::TabStop(bool v) {
  tabStop_ = v;
  if (!hwnd_) return;
  LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
  SetWindowLongPtrW(hwnd_, GWL_STYLE, v ? (style | WS_TABSTOP) : (style & ~LONG_PTR(WS_TABSTOP)));
}

void PESGraph::Invalidate() {
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void PESGraph::Refresh() {
  if (!hwnd_) return;
  InvalidateRect(hwnd_, nullptr, FALSE);
  UpdateWindow(hwnd_);
}

void PESGraph::ResetImageIfDesigning() {
  if (!designing_ || !windowCreated_) return;
  engine_.reinitialize(engineHandle_);
  engine_.resetImage(engineHandle_, 0, 0);
  Invalidate();
}

// ---- public methods ----

void PESGraph::SetXData(int subsetIndex, int pointIndex, float value) {
  engine_.vsetcellEx(engineHandle_, pel::graph::id::XData, subsetIndex, pointIndex, &value);
}
void PESGraph::SetYData(int subsetIndex, int pointIndex, float value) {
  engine_.vsetcellEx(engineHandle_, pel::graph::id::YData, subsetIndex, pointIndex, &value);
}
void PESGraph::SetSubsetLabel(int index, const std::wstring& text) {
  engine_.vsetcell(engineHandle_, pel::graph::id::SubsetLabels, static_cast<UINT>(index), text.c_str());
}
void PESGraph::SetIntCell3271(int index, int value) {
  engine_.vsetcell(engineHandle_, 3271, static_cast<UINT>(index), &value);
}
void PESGraph::SetIntCell3001(int index, int value) {
  engine_.vsetcell(engineHandle_, 3001, static_cast<UINT>(index), &value);
}
void PESGraph::SetIntCell3059(int index, int value) {
  engine_.vsetcell(engineHandle_, 3059, static_cast<UINT>(index), &value);
}
void PESGraph::SetIntProp2618(int value) { engine_.nset(engineHandle_, 2618, value); }
void PESGraph::SetIntProp2619(int value) { engine_.nset(engineHandle_, 2619, value); }
void PESGraph::SetWorkingAxis(int axisNumber) { engine_.nset(engineHandle_, pel::graph::id::WorkingAxis, axisNumber); }
void PESGraph::SetBoolProp2975(unsigned char value) {
  engine_.nset(engineHandle_, 2975, value);
  ResetImageIfDesigning();
}
void PESGraph::SetBoolProp3149(bool value) { engine_.nset(engineHandle_, 3149, value ? 1 : 0); }
void PESGraph::SetBoolProp3111(bool value) { engine_.nset(engineHandle_, 3111, value ? 1 : 0); }
