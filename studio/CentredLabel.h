#pragma once
// A fixed-size label whose text wraps at word breaks and sits centred
// between its top and bottom edges (a plain static draws from the top).
// It keeps its text and font as any window does (WM_SETTEXT, WM_SETFONT)
// and takes its colours from its parent, as a static control does.
#include <windows.h>

namespace tessaly {

inline constexpr char kCentredLabelClass[] = "TessalyCentredLabel";

// Registers the window class once per process; false when it cannot.
bool RegisterCentredLabel(HINSTANCE instance);

}  // namespace tessaly
