#include "tests/highspeed/ProgramDriver.h"

#include <commctrl.h>

#include <vector>

namespace quillon::test {

namespace {

std::string DosPath(const std::string& unixPath) {
  std::string p = "Z:" + unixPath;
  for (char& c : p)
    if (c == '/') c = '\\';
  return p;
}

struct Find {
  DWORD pid;
  std::string caption;
  HWND found;
};

BOOL CALLBACK FindProc(HWND w, LPARAM lp) {
  auto* f = reinterpret_cast<Find*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid != f->pid || !IsWindowVisible(w)) return TRUE;
  char cls[32] = {};
  GetClassNameA(w, cls, sizeof cls);
  if (std::string(cls) == "#32770" && WindowText(w) == f->caption) {
    f->found = w;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

Program::~Program() { Kill(); }

bool Program::Start() {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  std::string cmd = "\"" + DosPath(QUILLON_EXE) + "\"";
  if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_)) return false;
  return true;
}

HWND Program::WaitWindow(const std::string& caption, int ms) const {
  for (int waited = 0; waited <= ms; waited += 20) {
    Find f{pi_.dwProcessId, caption, nullptr};
    EnumWindows(FindProc, reinterpret_cast<LPARAM>(&f));
    if (f.found) return f.found;
    if (!Running()) return nullptr;
    Sleep(20);
  }
  return nullptr;
}

std::string Program::DismissMessage(int ms) const {
  HWND box = WaitWindow("Pelmora Experiment", ms);
  if (!box) return "<no message>";
  char text[512] = {};
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  Click(box, IDOK);
  for (int i = 0; i < 250 && IsWindow(box); ++i) Sleep(20);
  return text;
}

bool Program::WaitExit(int ms, DWORD* code) const {
  if (!pi_.hProcess || WaitForSingleObject(pi_.hProcess, static_cast<DWORD>(ms)) != WAIT_OBJECT_0) return false;
  if (code) GetExitCodeProcess(pi_.hProcess, code);
  return true;
}

void Program::Kill() {
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

void Click(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void ClickFirstListRow(HWND list) {
  HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  RECT hr{};
  GetWindowRect(header, &hr);
  const LPARAM at = MAKELPARAM(20, (hr.bottom - hr.top) + 6);
  PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(list, WM_LBUTTONUP, 0, at);
}

std::string WindowText(HWND w) {
  char t[256] = {};
  GetWindowTextA(w, t, sizeof t);
  return t;
}

void SetRegString(HKEY root, const std::string& path, const std::string& name, const std::string& value) {
  HKEY k = nullptr;
  if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr) != ERROR_SUCCESS) return;
  RegSetValueExA(k, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(k);
}

void SetLastSerialPort(const std::string& port) {
  // Wine enumerates values by name compared in lower case: "~" sorts after
  // every letter and the backslash, so no other test's port (PelmoraTest6...) comes later.
  const char* const name = "~QuillonTest";
  HKEY k = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                      &k, nullptr) != ERROR_SUCCESS)
    return;
  RegDeleteValueA(k, name);
  if (!port.empty())
    RegSetValueExA(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(port.c_str()),
                   static_cast<DWORD>(port.size() + 1));
  RegCloseKey(k);
}

}  // namespace quillon::test
