#pragma once
// One Tessaly process and its form, worked as a user would.
#include <windows.h>

#include <chrono>
#include <string>

#include "tests/support/WindowDriver.h"

namespace tessaly::test {

class TessalyProcess {
 public:
  bool Start(const std::string& exe) { return process_.Start("\"" + windriver::DosPath(exe) + "\""); }
  bool Exited(std::chrono::milliseconds limit, DWORD* code = nullptr) const { return process_.Exited(limit, code); }
  HWND Form() {
    if (!form_) form_ = windriver::FindTopWindow(process_.Pid(), "TSDIAppForm");
    return form_;
  }
  // A control of the form by its id, wherever it sits.
  HWND Control(int id) { return windriver::FindControl(Form(), id); }
  bool Enabled(int id) {
    HWND c = Control(id);
    return c && IsWindowVisible(c) && IsWindowEnabled(c) && IsWindowEnabled(GetParent(c));
  }
  std::string Text(int id) { return windriver::WindowText(Control(id)); }
  void Click(int id) { windriver::Click(Control(id)); }
  // A message box of this process that shows up within the limit, with its
  // text; null when none did.
  HWND WaitMessageBox(std::chrono::milliseconds limit, std::string* text) {
    HWND box = nullptr;
    windriver::WaitFor([&] { return (box = windriver::FindTopWindow(process_.Pid(), "#32770", "Tessaly")) != nullptr; },
                       limit);
    if (box && text) *text = windriver::WindowText(GetDlgItem(box, 0xFFFF));
    return box;
  }

 private:
  windriver::Process process_;
  HWND form_ = nullptr;
};

}  // namespace tessaly::test
