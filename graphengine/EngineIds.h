#pragma once
// Engine settings the control itself uses (beside the published properties),
// the records it reads from the engine, and its notification codes. Shared
// by the control and our engine, which must agree on every byte.
#include <cstdint>

namespace pel::graph {

namespace id {
constexpr unsigned NotifyWindow = 2915;     // window that receives the notifications
constexpr unsigned PaintInProgress = 2916;
constexpr unsigned ImageDirty = 2905;
constexpr unsigned PrepareImages = 2155;
constexpr unsigned EngineMemory = 2574;     // engine keeps bitmap and memory DC itself
constexpr unsigned EngineBitmap = 2575;
constexpr unsigned EngineMemoryDc = 2580;
constexpr unsigned FocalRect = 2632;
constexpr unsigned HotSpot = 2610;
constexpr unsigned GraphHotSpot = 3023;
constexpr unsigned MousePoint = 2637;
constexpr unsigned GridNumberCell = 3123;
constexpr unsigned CustomGridNumber = 3162;
constexpr unsigned CustomMenuIndex = 2675;
constexpr unsigned CustomSubmenuIndex = 2676;
// data and cells written by the public methods
constexpr unsigned XData = 2135;
constexpr unsigned YData = 2140;
constexpr unsigned SubsetLabels = 2125;
constexpr unsigned WorkingAxis = 3006;
}  // namespace id

// Message the engine sends to ask for a repaint (lParam 0 or a rectangle).
constexpr unsigned kRepaintMessage = 3962;

// WM_COMMAND notification codes (high word of wParam, lParam the engine).
namespace notify {
constexpr unsigned CursorMoved = 3953;
constexpr unsigned ParamUpdate = 3961;
constexpr unsigned ZoomIn = 3966;
constexpr unsigned ZoomOut = 3967;
constexpr unsigned PreCursorMove = 3973;
constexpr unsigned CustomizeDlg = 3974;
constexpr unsigned PopupMenu = 3975;
constexpr unsigned CustomGridNumbers = 3979;
constexpr unsigned CustomMenu = 3980;
constexpr unsigned PreHScroll = 3981;
constexpr unsigned PreVScroll = 3982;
}  // namespace notify

// All fields little-endian, integers signed 32-bit.
struct HotSpotRecord {
  std::int32_t left, top, right, bottom;
  std::int32_t type;  // 0 nothing under the mouse
  std::int32_t first, second;
};
static_assert(sizeof(HotSpotRecord) == 28);

struct GraphHotSpotRecord {
  std::int32_t axis;
  std::int32_t padding;
  double x, y;
};
static_assert(sizeof(GraphHotSpotRecord) == 24);

struct MousePointRecord {
  std::int32_t x, y;
};
static_assert(sizeof(MousePointRecord) == 8);

struct CustomGridNumberRecord {
  static constexpr int kTextChars = 100;
  std::int32_t axisType;
  std::int32_t axisIndex;
  double number;
  char16_t text[kTextChars];  // NUL-terminated
};
static_assert(sizeof(CustomGridNumberRecord) == 216);

// Hot-spot types the control turns into events.
namespace hotspot {
constexpr int None = 0, Subset = 1, Graph = 3, Data = 5, GraphAnnot = 6, XAxisAnnot = 7, YAxisAnnot = 8,
              HorzLineAnnot = 9, VertLineAnnot = 10, MainTitle = 11, SubTitle = 12, MultiSubTitle = 13,
              MultiBottomTitle = 14, YAxisLabel = 15, XAxisLabel = 16, YAxis = 17, XAxis = 18,
              GridNumberFirst = 19, GridNumberLast = 22, TableAnnotFirst = 23, TableAnnotLast = 42;
}

}  // namespace pel::graph
