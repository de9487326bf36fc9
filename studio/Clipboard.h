#pragma once
// The clipboard, open for one hand-back; closed on destruction.
#include <windows.h>

#include <string>

namespace tessaly {

class Clipboard {
 public:
  // Throws std::runtime_error when the clipboard cannot be opened.
  explicit Clipboard(HWND owner);
  ~Clipboard();
  Clipboard(const Clipboard&) = delete;
  Clipboard& operator=(const Clipboard&) = delete;
  void Clear();
  // Puts 8-bit text on it; throws std::runtime_error when it cannot.
  void SetText(const std::string& text);
};

}  // namespace tessaly
