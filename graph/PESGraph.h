#pragma once
// PESGraph: a child window that shows one graph engine object. The control
// owns the engine object, paints the engine's image itself (the engine's own
// window stays hidden), forwards input to it and turns its notifications and
// hot spots into events.
//
// How published members appear in C++ (the same rule as the device link):
// - a published property P is a getter `P()` and a setter `P(value)` with the
//   property's exact name; the graph properties keep no copy, they read and
//   write the engine (list in PESGraphProperties.h);
// - an event E is set with `E(handler)` and read with `E()`; handlers run
//   synchronously inside the message handler that raised them.
// Lifecycle: construct (a windowless engine object takes every setting),
// optionally Loaded() once stored settings are in, then Parent(hwnd) makes
// the window and the window-backed engine object. Use on one thread only.
#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "graph/EngineApi.h"
#include "graphengine/GraphEnums.h"
#include "graphengine/PESGraphProperties.h"

class PESGraph;

// ---- the control's own events ----
using TNotifyEvent = std::function<void(PESGraph& sender)>;
using TScrollEvent = std::function<void(PESGraph& sender, unsigned char scrollCode, int& scrollPos)>;
using TSubsetHotSpot = std::function<void(PESGraph& sender, int dblClick, int subsetIndex)>;
using TDataHotSpot = std::function<void(PESGraph& sender, int dblClick, int subsetIndex, int pointIndex)>;
using TGraphHotSpot =
    std::function<void(PESGraph& sender, int dblClick, int axisIndex, double xval, double yval)>;
using TAnnotHotSpot = std::function<void(PESGraph& sender, int dblClick, int nIndex)>;
using TTitle = std::function<void(PESGraph& sender, int dblClick)>;
using TMultiTitle = std::function<void(PESGraph& sender, int dblClick, int nIndex, int nJustification)>;
using TYAxisLabel = std::function<void(PESGraph& sender, int dblClick, int nAxis, int nRight)>;
using TXAxisLabelEvent = std::function<void(PESGraph& sender, int dblClick, int nTop)>;
using TYAxis = std::function<void(PESGraph& sender, int dblClick, int nAxis, int nRight, double yval)>;
using TXAxis = std::function<void(PESGraph& sender, int dblClick, int nTop, double xval)>;
// szData points at the record's text (100 wide characters with the NUL);
// what the handler writes there is shown.
using TCustomGridNumbers =
    std::function<void(PESGraph& sender, int nAxisType, int nAxisIndex, double dNumber, wchar_t* szData)>;
using TTableAnnotation =
    std::function<void(PESGraph& sender, int dblClick, int nIndex, int nRow, int nColumn)>;
using TCustomMenu = std::function<void(PESGraph& sender, int menuIndex, int submenuIndex)>;
using TPreHScroll = TNotifyEvent;
using TPreVScroll = TNotifyEvent;
using TGridNumber2 = std::function<void(PESGraph& sender, int dblClick, int nType, int nAxis, double dNumber)>;

// ---- the window framework's property types ----
// A cursor number: 0 the window's own, negative numbers the shared cursors
// (-1 none, -2 arrow, -3 cross, ... -21 hand point, -22 size all).
using TCursor = short;
// Where a control docks in its parent's client area.
enum class TAlign : unsigned char { None, Top, Bottom, Left, Right, Client };

// ---- the window framework's events ----
enum class TMouseButton : unsigned char { mbLeft, mbRight, mbMiddle };
// Shift state: MK_ flags of the mouse message, plus these for keys.
enum : unsigned { ssShift = 1u << 8, ssAlt = 1u << 9, ssCtrl = 1u << 10, ssDouble = 1u << 11 };
using TMouseEvent = std::function<void(PESGraph& sender, TMouseButton button, unsigned shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(PESGraph& sender, unsigned shift, int x, int y)>;
// A handler that sets key to 0 swallows it for the engine too.
using TKeyEvent = std::function<void(PESGraph& sender, WORD& key, unsigned shift)>;
using TKeyPressEvent = std::function<void(PESGraph& sender, wchar_t& key)>;

class PESGraph {
 public:
  // designing: the control sits in a form designer; setters then refresh
  // the picture themselves and input does not reach the engine.
  explicit PESGraph(const pel::graph::EngineApi& engine = pel::graph::EngineApi::Imported(),
                    bool designing = false);
  PESGraph(const PESGraph&) = delete;
  PESGraph& operator=(const PESGraph&) = delete;
  ~PESGraph();

  // ---- window framework ----
  // Makes the control's window as a child of parent (once); null is ignored.
  void Parent(HWND parent);
  HWND Parent() const { return parent_; }
  HWND Handle() const { return hwnd_; }
  bool Designing() const { return designing_; }
  // Run after the stored settings are in: the engine takes them all at once.
  void Loaded();
  void SetBounds(int left, int top, int width, int height);
  int Left() const { return bounds_.left; }
  void Left(int v) { SetBounds(v, Top(), Width(), Height()); }
  int Top() const { return bounds_.top; }
  void Top(int v) { SetBounds(Left(), v, Width(), Height()); }
  int Width() const { return bounds_.right - bounds_.left; }
  void Width(int v) { SetBounds(Left(), Top(), v, Height()); }
  int Height() const { return bounds_.bottom - bounds_.top; }
  void Height(int v) { SetBounds(Left(), Top(), Width(), v); }
  bool Visible() const { return visible_; }
  void Visible(bool v);
  bool TabStop() const { return tabStop_; }
  void TabStop(bool v);
  int Tag() const { return tag_; }
  void Tag(int v) { tag_ = v; }
  std::wstring Hint() const { return hint_; }
  void Hint(std::wstring v);
  // The mouse cursor over the control.
  TCursor Cursor() const { return cursor_; }
  void Cursor(TCursor v) { cursor_ = v; }
  // Kept for a drag that a host starts; the control starts none itself.
  TCursor DragCursor() const { return dragCursor_; }
  void DragCursor(TCursor v) { dragCursor_ = v; }
  // Docks the control in its parent's client area, also as the parent resizes.
  TAlign Align() const { return align_; }
  void Align(TAlign v);
  // The window's context help id (WM_HELP carries it).
  int HelpContext() const { return helpContext_; }
  void HelpContext(int v);
  // With ShowHint the Hint shows as a tip over the control. Setting ShowHint
  // clears ParentShowHint; ParentShowHint takes the parent's choice, and a
  // plain parent window shows no hints.
  bool ShowHint() const { return showHint_; }
  void ShowHint(bool v);
  bool ParentShowHint() const { return parentShowHint_; }
  void ParentShowHint(bool v);
  // Place among the parent's windows in the Tab order (their z-order), from
  // 0; -1 while the control has no parent. A value set before the window
  // exists takes effect when it is made.
  int TabOrder() const;
  void TabOrder(int v);
  void Invalidate();
  // Invalidate and paint now.
  void Refresh();

  // ---- public methods ----
  HWND GetPEHandle() const { return engineHandle_; }
  void SetXData(int subsetIndex, int pointIndex, float value);
  void SetYData(int subsetIndex, int pointIndex, float value);
  void SetSubsetLabel(int index, const std::wstring& text);
  void SetIntCell3271(int index, int value);
  void SetIntCell3001(int index, int value);
  void SetIntCell3059(int index, int value);
  void SetIntProp2618(int value);
  void SetIntProp2619(int value);
  void SetWorkingAxis(int axisNumber);
  void SetBoolProp2975(unsigned char value);
  void SetBoolProp3149(bool value);
  void SetBoolProp3111(bool value);
  // In design mode with the window made: re-initialise the engine object,
  // reset its image and repaint. Otherwise nothing.
  void ResetImageIfDesigning();

  // ---- published properties (each one engine setting) ----
#define PEL_GRAPH_ACCESSORS(type, kind, name, id, group) \
  type name() const { return Get##kind<type>(id); }      \
  void name(const type& v) {                             \
    Set##kind<type>(id, v);                              \
    After##group();                                      \
  }
  PEL_GRAPH_PROPERTIES(PEL_GRAPH_ACCESSORS)
#undef PEL_GRAPH_ACCESSORS

  // ---- events ----
#define PEL_GRAPH_EVENTS(X)                                                                    \
  X(TNotifyEvent, OnParamUpdate) X(TScrollEvent, OnVertScroll) X(TScrollEvent, OnHorzScroll)  \
  X(TNotifyEvent, OnCursorMoved) X(TNotifyEvent, OnZoomIn) X(TNotifyEvent, OnZoomOut)          \
  X(TSubsetHotSpot, OnSubsetHotSpot) X(TDataHotSpot, OnDataHotSpot)                            \
  X(TGraphHotSpot, OnGraphHotSpot) X(TAnnotHotSpot, OnGraphAnnotHotSpot)                       \
  X(TAnnotHotSpot, OnXAxisAnnotHotSpot) X(TAnnotHotSpot, OnYAxisAnnotHotSpot)                  \
  X(TAnnotHotSpot, OnHorzLineAnnotHotSpot) X(TAnnotHotSpot, OnVertLineAnnotHotSpot)            \
  X(TNotifyEvent, OnPreCursorMove) X(TNotifyEvent, OnCustomizeDlg) X(TNotifyEvent, OnPopupMenu) \
  X(TTitle, OnMainTitle) X(TTitle, OnSubTitle) X(TMultiTitle, OnMultiSubTitle)                 \
  X(TMultiTitle, OnMultiBottomTitle) X(TYAxisLabel, OnYAxisLabel)                              \
  X(TXAxisLabelEvent, OnXAxisLabel) X(TYAxis, OnYAxis) X(TXAxis, OnXAxis)                      \
  X(TCustomGridNumbers, OnCustomGridnumbers) X(TTableAnnotation, OnTableAnnotation)            \
  X(TCustomMenu, OnCustomMenu) X(TPreHScroll, OnPreHScroll) X(TPreVScroll, OnPreVScroll)       \
  X(TGridNumber2, OnGridNumber)                                                                \
  X(TNotifyEvent, OnClick) X(TNotifyEvent, OnDblClick) X(TMouseEvent, OnMouseDown)             \
  X(TMouseMoveEvent, OnMouseMove) X(TMouseEvent, OnMouseUp) X(TNotifyEvent, OnEnter)           \
  X(TKeyEvent, OnKeyUp) X(TKeyEvent, OnKeyDown) X(TNotifyEvent, OnExit) X(TKeyPressEvent, OnKeyPress)
#define PEL_GRAPH_EVENT_ACCESSORS(type, name)   \
  const type& name() const { return name##_; } \
  void name(type h) { name##_ = std::move(h); }
  PEL_GRAPH_EVENTS(PEL_GRAPH_EVENT_ACCESSORS)
#undef PEL_GRAPH_EVENT_ACCESSORS

  // Size of the text buffer the engine returns texts in.
  static constexpr int kTextBufferChars = 1256;
  // The smallest size of the control and of the engine window.
  static constexpr int kMinSize = 50;

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Default(UINT msg, WPARAM wp, LPARAM lp);

  // message handlers
  LRESULT OnCreate(UINT msg, WPARAM wp, LPARAM lp);
  void Paint();
  void PaintBuffered(HDC paintDc, int width, int height, HENHMETAFILE meta, int engineMemory,
                     int imageDirty, HDC memDc, HBITMAP bitmap);
  void Size();
  void HotSpotClick(UINT msg, WPARAM wp, LPARAM lp, int dblClick);
  bool DispatchHotSpot(int type, int first, int second, int dblClick);
  void Command(WPARAM wp, LPARAM lp);
  void MirrorScrollBars();
  void Scroll(UINT msg, WPARAM wp, LPARAM lp);
  void FocusRing();
  void InvalidateFromEngine(LPARAM lp);
  void Forward(UINT msg, WPARAM wp, LPARAM lp);

  // the framework properties on the window
  void ApplyFrameworkProperties();
  void Realign();
  void UpdateHint();
  bool SetCursorOver();
  static LRESULT CALLBACK ParentSized(HWND parent, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self);

  // the framework's own handling of input
  void FrameworkMouseDown(TMouseButton button, WPARAM wp, LPARAM lp, bool dbl);
  void FrameworkMouseUp(TMouseButton button, WPARAM wp, LPARAM lp);
  static unsigned KeyShift();

  // accessors of the property list
  template <class T> T GetNumber(UINT id) const { return static_cast<T>(engine_.nget(engineHandle_, id)); }
  template <class T> void SetNumber(UINT id, T v) { engine_.nset(engineHandle_, id, static_cast<INT>(v)); }
  template <class T> T GetBool(UINT id) const { return (engine_.nget(engineHandle_, id) & 0xFF) != 0; }
  template <class T> void SetBool(UINT id, T v) { engine_.nset(engineHandle_, id, v ? 1 : 0); }
  template <class T> T GetEnum(UINT id) const { return static_cast<T>(engine_.nget(engineHandle_, id) & 0xFF); }
  template <class T> void SetEnum(UINT id, T v) { engine_.nset(engineHandle_, id, static_cast<INT>(v)); }
  template <class T> T GetPlotMethod(UINT id) const;
  template <class T> void SetPlotMethod(UINT id, T v);
  template <class T> T GetPlotMethodII(UINT id) const;
  template <class T> void SetPlotMethodII(UINT id, T v);
  template <class T> T GetDouble(UINT id) const;
  template <class T> void SetDouble(UINT id, T v) { engine_.vset(engineHandle_, id, &v, 0); }
  template <class T> T GetSingle(UINT id) const;
  template <class T> void SetSingle(UINT id, T v) { engine_.vset(engineHandle_, id, &v, 0); }
  template <class T> T GetText(UINT id) const;
  template <class T> void SetText(UINT id, const T& v) { engine_.szset(engineHandle_, id, v.c_str()); }
  void AfterRefresh() { ResetImageIfDesigning(); }
  void AfterNoRefresh() {}

  const pel::graph::EngineApi& engine_;
  const bool designing_;
  HWND parent_ = nullptr;
  HWND hwnd_ = nullptr;
  RECT bounds_{0, 0, 300, 300};
  bool visible_ = true;
  bool tabStop_ = false;
  int tag_ = 0;
  std::wstring hint_;
  TCursor cursor_ = 0;
  TCursor dragCursor_ = -12;
  TAlign align_ = TAlign::None;
  int helpContext_ = 0;
  bool showHint_ = false;
  bool parentShowHint_ = true;
  int tabOrder_ = -1;          // until the window exists
  HWND tooltip_ = nullptr;     // while a hint shows; owned by the control's window
  bool parentHooked_ = false;  // the parent's resizes reach Realign

  RECT working_{};               // creation, paint, resize and invalidation rectangle
  HWND engineHandle_ = nullptr;  // also the engine's hidden window once the window exists
  bool windowCreated_ = false;
  SIZE engineWindowSize_{};
  WPARAM lastMoveWp_ = 0;
  LPARAM lastMoveLp_ = 0;
  bool haveLastMove_ = false;
  float scaleX_ = 1.0f, scaleY_ = 1.0f;  // of a rectangle the engine asks to repaint
  bool leftPressed_ = false;             // a framework mouse-down awaits its click
  bool forwardingWheel_ = false;         // a wheel is on its way to the engine
  int paintDepth_ = 0;                   // our own paint is running
  bool repaintAfterPaint_ = false;       // a paint came in during our own
  mutable std::array<wchar_t, kTextBufferChars> text_{};
  mutable std::wstring lastText_;

#define PEL_GRAPH_EVENT_FIELDS(type, name) type name##_;
  PEL_GRAPH_EVENTS(PEL_GRAPH_EVENT_FIELDS)
#undef PEL_GRAPH_EVENT_FIELDS
};

// ---- accessor templates that need more than one line ----
#include "graph/PlottingMethod.h"

template <class T> T PESGraph::GetPlotMethod(UINT id) const {
  return pel::graph::PlottingMethodFromEngine(engine_.nget(engineHandle_, id));
}
template <class T> void PESGraph::SetPlotMethod(UINT id, T v) {
  engine_.nset(engineHandle_, id, pel::graph::PlottingMethodToEngine(static_cast<unsigned char>(v)));
}
template <class T> T PESGraph::GetPlotMethodII(UINT id) const {
  return pel::graph::PlottingMethodIIFromEngine(engine_.nget(engineHandle_, id));
}
template <class T> void PESGraph::SetPlotMethodII(UINT id, T v) {
  engine_.nset(engineHandle_, id, pel::graph::PlottingMethodIIToEngine(static_cast<unsigned char>(v)));
}
template <class T> T PESGraph::GetDouble(UINT id) const {
  double scratch = 0;
  engine_.vget(engineHandle_, id, &scratch);
  return scratch;
}
template <class T> T PESGraph::GetSingle(UINT id) const {
  float scratch = 0;
  engine_.vget(engineHandle_, id, &scratch);
  return scratch;
}
template <class T> T PESGraph::GetText(UINT id) const {
  text_.fill(L'\0');
  engine_.szget(engineHandle_, id, text_.data());
  // At most 1255 characters, whatever the engine left in the buffer.
  std::size_t n = 0;
  while (n < text_.size() - 1 && text_[n] != L'\0') ++n;
  lastText_.assign(text_.data(), n);
  return lastText_;
}
