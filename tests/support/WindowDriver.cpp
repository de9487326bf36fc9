#include "tests/support/WindowDriver.h"

#include <commctrl.h>

namespace windriver {

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    Sleep(20);
  }
  return true;
}

std::string WindowText(HWND w) {
  char t[512] = {};
  GetWindowTextA(w, t, sizeof t);
  return t;
}

std::string DosPath(const std::string& path) {
  if (path.empty() || path[0] != '/') return path;
  std::string p = "Z:" + path;
  for (char& c : p)
    if (c == '/') c = '\\';
  return p;
}

namespace {

struct TopSearch {
  DWORD pid;
  std::string cls, caption;
  HWND found = nullptr;
};

BOOL CALLBACK TopProc(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<TopSearch*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  char cls[128] = {};
  GetClassNameA(w, cls, sizeof cls);
  if (pid == s->pid && IsWindowVisible(w) && (s->cls.empty() || s->cls == cls) &&
      (s->caption.empty() || s->caption == WindowText(w))) {
    s->found = w;
    return FALSE;
  }
  return TRUE;
}

struct ChildSearch {
  std::function<bool(HWND)> match;
  HWND found = nullptr;
};

BOOL CALLBACK ChildProc(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<ChildSearch*>(lp);
  if (s->match(w)) {
    s->found = w;
    return FALSE;
  }
  return TRUE;
}

HWND FindChild(HWND parent, std::function<bool(HWND)> match) {
  if (!parent) return nullptr;
  ChildSearch s{std::move(match)};
  EnumChildWindows(parent, ChildProc, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

}  // namespace

HWND FindTopWindow(DWORD pid, const std::string& cls, const std::string& caption) {
  TopSearch s{pid, cls, caption};
  EnumWindows(TopProc, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND FindControl(HWND parent, int id) {
  return FindChild(parent, [id](HWND w) { return GetDlgCtrlID(w) == id; });
}

HWND FindButton(HWND parent, const std::string& caption) {
  return FindChild(parent, [&](HWND w) {
    char cls[32] = {};
    GetClassNameA(w, cls, sizeof cls);
    return lstrcmpiA(cls, "Button") == 0 && WindowText(w) == caption;
  });
}

void Click(HWND button) {
  const int id = GetDlgCtrlID(button);
  PostMessageA(GetParent(button), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void Click(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void ClickFirstListRow(HWND list) {
  HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  RECT r{};
  GetWindowRect(header, &r);
  const LPARAM at = MAKELPARAM(20, (r.bottom - r.top) + 6);
  PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(list, WM_LBUTTONUP, 0, at);
}

std::string ClipboardText() {
  std::string text;
  bool open = false;
  for (int i = 0; i < 100 && !(open = OpenClipboard(nullptr)); ++i) Sleep(20);
  if (!open) return text;
  if (HANDLE h = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(h))) {
      text = p;
      GlobalUnlock(h);
    }
  }
  CloseClipboard();
  return text;
}

void SetSerialListValue(const std::string& name, const std::string& port) {
  HKEY k = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                      &k, nullptr) != ERROR_SUCCESS)
    return;
  RegDeleteValueA(k, name.c_str());
  if (!port.empty())
    RegSetValueExA(k, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(port.c_str()),
                   static_cast<DWORD>(port.size() + 1));
  RegCloseKey(k);
}

bool Process::Start(const std::string& commandLine) {
  Kill();
  STARTUPINFOA si{};
  si.cb = sizeof si;
  std::string cmd = commandLine;
  return CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_) != 0;
}

bool Process::Running() const { return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }

bool Process::Exited(std::chrono::milliseconds limit, DWORD* code) const {
  if (!pi_.hProcess || WaitForSingleObject(pi_.hProcess, static_cast<DWORD>(limit.count())) != WAIT_OBJECT_0)
    return false;
  if (code) GetExitCodeProcess(pi_.hProcess, code);
  return true;
}

void Process::Kill() {
  if (pi_.hProcess) {
    if (Running()) {
      TerminateProcess(pi_.hProcess, 99);
      WaitForSingleObject(pi_.hProcess, 5000);
    }
    CloseHandle(pi_.hProcess);
    CloseHandle(pi_.hThread);
  }
  pi_ = PROCESS_INFORMATION{};
}

}  // namespace windriver
