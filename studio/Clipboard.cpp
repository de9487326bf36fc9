#include "studio/Clipboard.h"

#include <cstring>
#include <stdexcept>

namespace tessaly {

Clipboard::Clipboard(HWND owner) {
  if (!OpenClipboard(owner)) throw std::runtime_error("Cannot open clipboard");
}

Clipboard::~Clipboard() { CloseClipboard(); }

void Clipboard::Clear() { EmptyClipboard(); }

void Clipboard::SetText(const std::string& text) {
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  if (!mem) throw std::runtime_error("Out of memory for the clipboard");
  void* p = GlobalLock(mem);
  if (!p) {
    GlobalFree(mem);
    throw std::runtime_error("Out of memory for the clipboard");
  }
  std::memcpy(p, text.c_str(), text.size() + 1);
  GlobalUnlock(mem);
  // The clipboard owns the memory once it took it.
  if (!SetClipboardData(CF_TEXT, mem)) {
    GlobalFree(mem);
    throw std::runtime_error("Cannot set the clipboard's text");
  }
}

}  // namespace tessaly
