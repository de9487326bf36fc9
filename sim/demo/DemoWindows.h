#pragma once
// What the demo driver does to a program's windows, as a user would: find
// them, read and press them, take a picture, read the clipboard.
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

namespace pel::demo {

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit);
std::string WindowText(HWND w);
// The first visible top-level window of the process with the class (empty:
// any class) and, when given, the caption.
HWND FindTopWindow(DWORD pid, const std::string& cls, const std::string& caption = {});
// A child of the window, at any depth, by control id.
HWND FindControl(HWND parent, int id);
// A descendant button by its caption.
HWND FindButton(HWND parent, const std::string& caption);
// What a click on the button sends its parent.
void Click(HWND button);
// The window's client area as the screen shows it (repainted first), as PNG.
bool Screenshot(HWND w, const std::string& path);
// CF_TEXT of the clipboard, empty when there is none.
std::string ClipboardText();

// A started program, ended when this goes away if it still runs.
class Process {
 public:
  Process() = default;
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  bool Start(const std::string& commandLine);
  DWORD Pid() const { return pi_.dwProcessId; }
  bool Exited(std::chrono::milliseconds limit) const;

 private:
  PROCESS_INFORMATION pi_{};
};

}  // namespace pel::demo
