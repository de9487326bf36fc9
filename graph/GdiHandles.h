#pragma once
// Owners for the GDI objects the control makes for one paint or focus change.
#include <windows.h>

#include <memory>
#include <type_traits>

namespace pel::graph {

struct GdiObjectDeleter {
  void operator()(void* h) const { DeleteObject(static_cast<HGDIOBJ>(h)); }
};
struct DcDeleter {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
using UniqueRgn = std::unique_ptr<std::remove_pointer_t<HRGN>, GdiObjectDeleter>;
using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;
using UniqueMemDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;

}  // namespace pel::graph
