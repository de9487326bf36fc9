#include "tests/highspeed/ProgramDriver.h"

namespace quillon::test {

bool Program::Start() { return process_.Start("\"" + windriver::DosPath(QUILLON_EXE) + "\""); }

HWND Program::WaitWindow(const std::string& caption, int ms) const {
  for (int waited = 0; waited <= ms; waited += 20) {
    if (HWND w = windriver::FindTopWindow(Pid(), "#32770", caption)) return w;
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
  windriver::SetSerialListValue("~QuillonTest", port);
}

}  // namespace quillon::test
