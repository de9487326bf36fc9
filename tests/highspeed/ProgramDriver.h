#pragma once
// Starts the real Quillon.exe and works its windows the way a user would:
// finding them by process, caption and text, pressing their buttons.
#include <windows.h>

#include <string>

namespace quillon::test {

class Program {
 public:
  Program() = default;
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool Start();
  DWORD Pid() const { return pi_.dwProcessId; }
  // A top-level dialog of this process with the caption, within ms.
  HWND WaitWindow(const std::string& caption, int ms = 10000) const;
  // Presses OK on this process's message box; returns the box's text.
  std::string DismissMessage(int ms = 10000) const;
  bool WaitExit(int ms, DWORD* code = nullptr) const;
  bool Running() const { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }
  void Kill();

 private:
  PROCESS_INFORMATION pi_{};
};

// Clicks a dialog's button by id (the way the dialog manager reports it).
void Click(HWND dialog, int id);
std::string WindowText(HWND w);
// Clicks the first row of a list view, below its header, as a user would.
void ClickFirstListRow(HWND list);
void SetRegString(HKEY root, const std::string& path, const std::string& name, const std::string& value);
// Makes `port` the last value of the serial-port list (Wine keeps values sorted by
// name, so ours sorts last); an empty port removes it. Tests that write the list
// take the serialcomm lock.
void SetLastSerialPort(const std::string& port);

}  // namespace quillon::test
