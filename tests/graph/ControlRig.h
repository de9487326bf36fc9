#pragma once
// A PESGraph in a shown top-level window over the recording engine, with
// every event of the control written into `events` as text.
#include <windows.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "graph/PESGraph.h"
#include "tests/graph/RecordingEngine.h"

namespace pel::graph::test {

// Top-level windows are slow to make under Wine: tests share one host,
// made on first use and kept for the whole program.
inline HWND MakeHostWindow(int width = 400, int height = 300) {
  static const ATOM atom = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"GraphTestHost";
    return RegisterClassExW(&wc);
  }();
  (void)atom;
  HWND h = CreateWindowExW(0, L"GraphTestHost", L"graph test", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 10, 10,
                           width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ShowWindow(h, SW_SHOW);
  UpdateWindow(h);
  return h;
}

inline HWND SharedHost() {
  static const HWND host = MakeHostWindow(500, 400);
  return host;
}

// Runs what is queued; bounded, so a message storm fails the test instead
// of hanging it. Returns the number of messages run.
inline int Pump() {
  MSG m;
  int n = 0;
  while (n < 2000 && PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
    ++n;
  }
  return n;
}

struct ControlRig {
  explicit ControlRig(bool designing = false, bool withWindow = true) {
    host = SharedHost();
    graph = std::make_unique<PESGraph>(RecordingEngine::Api(), designing);
    graph->SetBounds(0, 0, 200, 120);
    if (withWindow) MakeWindow();
  }
  ~ControlRig() {
    graph.reset();
    Pump();
  }
  void MakeWindow() {
    graph->Parent(host);
    Pump();
  }
  LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return SendMessageW(graph->Handle(), msg, wp, lp); }

  template <class... A>
  static std::string Text(const char* name, A... args) {
    std::ostringstream s;
    s << name;
    ((s << ' ' << args), ...);
    return s.str();
  }
  void HookEvents() {
    PESGraph& g = *graph;
    auto& ev = events;
    g.OnParamUpdate([&ev](PESGraph&) { ev.push_back("ParamUpdate"); });
    g.OnVertScroll([&ev](PESGraph&, unsigned char code, int& pos) { ev.push_back(Text("VertScroll", int(code), pos)); });
    g.OnHorzScroll([&ev](PESGraph&, unsigned char code, int& pos) { ev.push_back(Text("HorzScroll", int(code), pos)); });
    g.OnCursorMoved([&ev](PESGraph&) { ev.push_back("CursorMoved"); });
    g.OnZoomIn([&ev](PESGraph&) { ev.push_back("ZoomIn"); });
    g.OnZoomOut([&ev](PESGraph&) { ev.push_back("ZoomOut"); });
    g.OnSubsetHotSpot([&ev](PESGraph&, int d, int s) { ev.push_back(Text("SubsetHotSpot", d, s)); });
    g.OnDataHotSpot([&ev](PESGraph&, int d, int s, int p) { ev.push_back(Text("DataHotSpot", d, s, p)); });
    g.OnGraphHotSpot([&ev](PESGraph&, int d, int a, double x, double y) { ev.push_back(Text("GraphHotSpot", d, a, x, y)); });
    g.OnGraphAnnotHotSpot([&ev](PESGraph&, int d, int i) { ev.push_back(Text("GraphAnnotHotSpot", d, i)); });
    g.OnXAxisAnnotHotSpot([&ev](PESGraph&, int d, int i) { ev.push_back(Text("XAxisAnnotHotSpot", d, i)); });
    g.OnYAxisAnnotHotSpot([&ev](PESGraph&, int d, int i) { ev.push_back(Text("YAxisAnnotHotSpot", d, i)); });
    g.OnHorzLineAnnotHotSpot([&ev](PESGraph&, int d, int i) { ev.push_back(Text("HorzLineAnnotHotSpot", d, i)); });
    g.OnVertLineAnnotHotSpot([&ev](PESGraph&, int d, int i) { ev.push_back(Text("VertLineAnnotHotSpot", d, i)); });
    g.OnPreCursorMove([&ev](PESGraph&) { ev.push_back("PreCursorMove"); });
    g.OnCustomizeDlg([&ev](PESGraph&) { ev.push_back("CustomizeDlg"); });
    g.OnPopupMenu([&ev](PESGraph&) { ev.push_back("PopupMenu"); });
    g.OnMainTitle([&ev](PESGraph&, int d) { ev.push_back(Text("MainTitle", d)); });
    g.OnSubTitle([&ev](PESGraph&, int d) { ev.push_back(Text("SubTitle", d)); });
    g.OnMultiSubTitle([&ev](PESGraph&, int d, int i, int j) { ev.push_back(Text("MultiSubTitle", d, i, j)); });
    g.OnMultiBottomTitle([&ev](PESGraph&, int d, int i, int j) { ev.push_back(Text("MultiBottomTitle", d, i, j)); });
    g.OnYAxisLabel([&ev](PESGraph&, int d, int a, int r) { ev.push_back(Text("YAxisLabel", d, a, r)); });
    g.OnXAxisLabel([&ev](PESGraph&, int d, int t) { ev.push_back(Text("XAxisLabel", d, t)); });
    g.OnYAxis([&ev](PESGraph&, int d, int a, int r, double y) { ev.push_back(Text("YAxis", d, a, r, y)); });
    g.OnXAxis([&ev](PESGraph&, int d, int t, double x) { ev.push_back(Text("XAxis", d, t, x)); });
    g.OnTableAnnotation([&ev](PESGraph&, int d, int i, int r, int c) { ev.push_back(Text("TableAnnotation", d, i, r, c)); });
    g.OnCustomMenu([&ev](PESGraph&, int m, int s) { ev.push_back(Text("CustomMenu", m, s)); });
    g.OnPreHScroll([&ev](PESGraph&) { ev.push_back("PreHScroll"); });
    g.OnPreVScroll([&ev](PESGraph&) { ev.push_back("PreVScroll"); });
    g.OnGridNumber([&ev](PESGraph&, int d, int t, int a, double n) { ev.push_back(Text("GridNumber", d, t, a, n)); });
    g.OnClick([&ev](PESGraph&) { ev.push_back("Click"); });
    g.OnDblClick([&ev](PESGraph&) { ev.push_back("DblClick"); });
    g.OnMouseDown([&ev](PESGraph&, TMouseButton b, unsigned, int x, int y) { ev.push_back(Text("MouseDown", int(b), x, y)); });
    g.OnMouseUp([&ev](PESGraph&, TMouseButton b, unsigned, int x, int y) { ev.push_back(Text("MouseUp", int(b), x, y)); });
  }

  RecordingEngine engine;  // first: outlives the control
  HWND host = nullptr;
  std::unique_ptr<PESGraph> graph;
  std::vector<std::string> events;
};

}  // namespace pel::graph::test
