#pragma once
// Works another program's windows as a user would: starts it, finds its
// windows by process, class, caption or control id, reads and presses them,
// reads the clipboard. Shared by the end-to-end tests, the benchmarks and
// the demo driver.
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

namespace windriver {

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit);
std::string WindowText(HWND w);
// "/a/b" as Wine's Z: drive names it; other paths as they are.
std::string DosPath(const std::string& path);
// The first visible top-level window of the process with the class (empty:
// any class) and, when given, the caption.
HWND FindTopWindow(DWORD pid, const std::string& cls, const std::string& caption = {});
// A child of the window, at any depth, by control id.
HWND FindControl(HWND parent, int id);
// A descendant button by its caption.
HWND FindButton(HWND parent, const std::string& caption);
// What a click on the button sends its parent.
void Click(HWND button);
// The same for a dialog's button by id.
void Click(HWND dialog, int id);
// A click on the first row of a list view, below its header.
void ClickFirstListRow(HWND list);
// CF_TEXT of the clipboard, empty when there is none.
std::string ClipboardText();
// Sets the value of the system's serial-port list; an empty port removes it.
void SetSerialListValue(const std::string& name, const std::string& port);

// A started program, ended when this goes away if it still runs.
class Process {
 public:
  Process() = default;
  ~Process() { Kill(); }
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  bool Start(const std::string& commandLine);
  DWORD Pid() const { return pi_.dwProcessId; }
  bool Running() const;
  // Whether it ended within the limit, with its exit code when asked.
  bool Exited(std::chrono::milliseconds limit, DWORD* code = nullptr) const;
  void Kill();

 private:
  PROCESS_INFORMATION pi_{};
};

}  // namespace windriver
