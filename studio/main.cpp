// Tessaly: one instance at a time; the form runs until End.
#include <windows.h>

#include "studio/MainForm.h"

namespace {
// The named mutex, closed when the program ends.
struct InstanceMutex {
  HANDLE h = CreateMutexA(nullptr, TRUE, "Tessaly");
  DWORD error = GetLastError();
  ~InstanceMutex() {
    if (h) CloseHandle(h);
  }
  bool alone() const { return h && error == 0; }
};
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  InstanceMutex mutex;
  if (!mutex.alone()) return 0;
  tessaly::TSDIAppForm form;
  if (!form.Create(instance)) return 1;
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  return 0;
}
