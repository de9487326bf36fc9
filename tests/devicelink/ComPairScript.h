#pragma once
// Takes a COM pair of the test prefix down or up through the pty pair
// script, a Unix program that Wine runs directly: its end cannot be waited
// for, so callers watch for its effect. The test target defines
// PEL_COMPAIR_SCRIPT.
#include <windows.h>

#include <chrono>
#include <memory>
#include <string>

#include "sim/interface/InterfaceSim.h"

namespace compair {

inline bool Run(const char* action, int a, int b) {
  std::string cmd = std::string("/bin/bash ") + PEL_COMPAIR_SCRIPT + " " + action + " " + std::to_string(a) + " " +
                    std::to_string(b);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  if (pi.hThread) CloseHandle(pi.hThread);
  if (pi.hProcess) CloseHandle(pi.hProcess);
  return true;
}

// The pair is back when its far end can be served again: the simulated
// interface serving it, or null after the timeout.
inline std::unique_ptr<pel::sim::InterfaceSim> ServeWithin(pel::sim::Model model, int port,
                                                          std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    auto sim = std::make_unique<pel::sim::InterfaceSim>(model);
    try {
      sim->startCom(port);
      return sim;
    } catch (const std::exception&) {
      if (std::chrono::steady_clock::now() > end) return nullptr;
    }
    Sleep(100);
  }
}

}  // namespace compair
