#pragma once
// A graph engine that records every call the control makes, answers from
// values the test sets, and gives window-backed objects a real hidden window
// that records the messages forwarded to it. One per test (global state:
// the engine functions are plain functions).
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "graph/EngineApi.h"

namespace pel::graph::test {

struct RecordingEngine {
  RecordingEngine();
  ~RecordingEngine();
  static RecordingEngine& Current();
  static const EngineApi& Api();

  // Calls as text: "<function> <object> <arguments...>", the object being
  // "first" (the windowless one), "win" (the window-backed one) or "null".
  std::vector<std::string> calls;
  // Messages that reached the engine window: "<msg> <wParam> <lParam>".
  std::vector<std::string> messages;

  // Answers.
  std::map<unsigned, int> numbers;          // PEnget
  std::map<unsigned, std::vector<unsigned char>> blobs;  // PEvgetW, PEvsetW (count 0 by valueSize)
  std::map<unsigned, unsigned> valueSize;   // bytes of a PEvsetW/PEvgetW value, default 8
  std::map<unsigned, std::wstring> texts;   // PEszgetW
  std::wstring rawText;                     // when set, PEszgetW fills all 1256 characters with it
  std::map<int, double> gridNumbers;        // PEvgetcellW 3123
  bool failWindowCreate = false;
  COLORREF metaColour = RGB(10, 200, 30);   // PEplaymetafile fills the client with it
  bool returnMeta = true;

  HWND first = nullptr;   // message-only window standing for the windowless object
  HWND window = nullptr;  // the window-backed object's window
  HWND parentAtDestroy = nullptr;
  bool parentWasWindowAtDestroy = false;
  // engine-kept image (settings 2575, 2580) when numbers[2574] is set
  HDC memDc = nullptr;
  HBITMAP memBitmap = nullptr;

  std::string Tag(HWND h) const;
  // Calls starting with prefix, in order.
  std::vector<std::string> Matching(const std::string& prefix) const;
  bool Has(const std::string& call) const;
  void Clear() {
    calls.clear();
    messages.clear();
  }
};

}  // namespace pel::graph::test
