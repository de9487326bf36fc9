#pragma once
// Starts the real Quillon.exe and works its windows the way a user would:
// finding them by process, caption and text, pressing their buttons.
#include <windows.h>

#include <string>

#include "tests/support/WindowDriver.h"

namespace quillon::test {

using windriver::Click;
using windriver::ClickFirstListRow;
using windriver::WindowText;

class Program {
 public:
  bool Start();
  DWORD Pid() const { return process_.Pid(); }
  // A top-level dialog of this process with the caption, within ms.
  HWND WaitWindow(const std::string& caption, int ms = 10000) const;
  // Presses OK on this process's message box; returns the box's text.
  std::string DismissMessage(int ms = 10000) const;
  bool WaitExit(int ms, DWORD* code = nullptr) const { return process_.Exited(std::chrono::milliseconds(ms), code); }
  bool Running() const { return process_.Running(); }
  void Kill() { process_.Kill(); }

 private:
  windriver::Process process_;
};

void SetRegString(HKEY root, const std::string& path, const std::string& name, const std::string& value);
// Makes `port` the last value of the serial-port list (Wine keeps values sorted by
// name, so ours sorts last); an empty port removes it. Tests that write the list
// take the serialcomm lock.
void SetLastSerialPort(const std::string& port);

}  // namespace quillon::test
