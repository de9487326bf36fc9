#pragma once
// The host's message loop, run by tests while the link works on its own
// threads and timers.
#include <windows.h>

#include <chrono>

namespace hostloop {

// Runs the host's message loop until done() or the timeout.
template <class F>
bool PumpUntil(F done, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
    Sleep(1);
  }
  return true;
}

}  // namespace hostloop
