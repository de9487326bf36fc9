// PESGraph painting: the engine's image goes into the control's own window,
// either straight from its metafile or through a memory bitmap.
#include <algorithm>

#include "graphengine/EngineIds.h"
#include "graph/GdiHandles.h"
#include "graph/PESGraph.h"

namespace id = pel::graph::id;

void PESGraph::Paint() {
  const HWND h = engineHandle_;
  if (!h || engine_.nget(h, id::PaintInProgress) != 0) {
    // Validate, or Windows sends WM_PAINT again at once, for ever. A paint
    // that came in while our own ran (a handler pumped messages) is done
    // once ours has finished.
    if (paintDepth_ > 0) repaintAfterPaint_ = true;
    ValidateRect(hwnd_, nullptr);
    return;
  }
  ++paintDepth_;
  engine_.nset(h, id::PaintInProgress, 1);
  HDC memDc = nullptr;
  HBITMAP bitmap = nullptr;
  const HENHMETAFILE meta = engine_.getMeta(h);

  GetClientRect(hwnd_, &working_);
  const int width = working_.right, height = working_.bottom;
  PAINTSTRUCT ps{};
  const HDC paintDc = BeginPaint(hwnd_, &ps);

  const int prepareImages = engine_.nget(h, id::PrepareImages);
  int imageDirty = engine_.nget(h, id::ImageDirty);
  const int engineMemory = engine_.nget(h, id::EngineMemory);

  pel::graph::UniqueMemDc ownDc;
  pel::graph::UniqueBitmap ownBitmap;
  if (prepareImages) {
    if (engineMemory) {
      bitmap = reinterpret_cast<HBITMAP>(LongToHandle(engine_.nget(h, id::EngineBitmap)));
      if (!bitmap || imageDirty) engine_.allocateIndMemory(h);
      memDc = reinterpret_cast<HDC>(LongToHandle(engine_.nget(h, id::EngineMemoryDc)));
    } else {
      ownDc.reset(CreateCompatibleDC(paintDc));
      memDc = ownDc.get();
      if (memDc) SetMapMode(memDc, MM_TEXT);
      ownBitmap.reset(CreateCompatibleBitmap(paintDc, width, height));
      bitmap = ownBitmap.get();
    }
  }

  if (prepareImages && memDc) {
    PaintBuffered(paintDc, width, height, meta, engineMemory, imageDirty, memDc, bitmap);
  } else {
    const int oldMode = SetMapMode(paintDc, MM_TEXT);
    SetViewportExtEx(paintDc, width, height, nullptr);
    if (meta) engine_.playMeta(h, paintDc, meta);
    SetMapMode(paintDc, oldMode);
  }

  if (GetFocus() == hwnd_ && engine_.nget(h, id::FocalRect) != 0) {
    const int oldRop = SetROP2(paintDc, R2_NOT);
    const int oldMode = SetMapMode(paintDc, MM_TEXT);
    const RECT& r = working_;
    const POINT frame[5] = {
        {r.left, r.top}, {r.right - 1, r.top}, {r.right - 1, r.bottom - 1}, {r.left, r.bottom - 1}, {r.left, r.top}};
    Polyline(paintDc, frame, 5);
    SetROP2(paintDc, oldRop);
    SetMapMode(paintDc, oldMode);
  }
  engine_.drawCursor(h, paintDc, 0);
  EndPaint(hwnd_, &ps);
  engine_.nset(h, id::PaintInProgress, 0);
  --paintDepth_;
  if (paintDepth_ == 0 && repaintAfterPaint_) {
    repaintAfterPaint_ = false;
    InvalidateRect(hwnd_, nullptr, FALSE);
  }
}

void PESGraph::PaintBuffered(HDC paintDc, int width, int height, HENHMETAFILE meta, int engineMemory,
                             int imageDirty, HDC memDc, HBITMAP bitmap) {
  const HWND h = engineHandle_;
  if (engineMemory) bitmap = reinterpret_cast<HBITMAP>(LongToHandle(engine_.nget(h, id::EngineBitmap)));
  const HGDIOBJ displaced = SelectObject(memDc, bitmap);
  // A clean image the engine keeps is copied unchanged.
  if (!engineMemory || imageDirty) {
    engine_.bitmapAndGradients(h, memDc, &working_, 0);
    SetViewportExtEx(memDc, width, height, nullptr);
    if (meta) engine_.playMeta(h, memDc, meta);
    SetViewportExtEx(paintDc, width, height, nullptr);
  }
  BitBlt(paintDc, 0, 0, width, height, memDc, 0, 0, SRCCOPY);
  if (displaced) SelectObject(memDc, displaced);
  engine_.nset(h, id::ImageDirty, 0);
}
