#include "sim/demo/DemoWindows.h"

#include <vector>

#include "sim/demo/PngFile.h"

namespace pel::demo {

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    Sleep(50);
  }
  return true;
}

std::string WindowText(HWND w) {
  char t[512] = {};
  GetWindowTextA(w, t, sizeof t);
  return t;
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

bool Screenshot(HWND w, const std::string& path) {
  // The client area: without a window manager the frame is not what a user sees.
  RECT r{};
  if (!GetClientRect(w, &r)) return false;
  MapWindowPoints(w, nullptr, reinterpret_cast<POINT*>(&r), 2);
  RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Sleep(300);
  const int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return false;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;  // top row first
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = false;
  if (dib && bits) {
    HGDIOBJ old = SelectObject(mem, dib);
    ok = BitBlt(mem, 0, 0, width, height, screen, r.left, r.top, SRCCOPY) != 0;
    GdiFlush();
    SelectObject(mem, old);
    if (ok) {
      const auto* px = static_cast<const std::uint8_t*>(bits);
      std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
      for (std::size_t i = 0, n = static_cast<std::size_t>(width) * height; i < n; ++i) {
        rgb[i * 3] = px[i * 4 + 2];
        rgb[i * 3 + 1] = px[i * 4 + 1];
        rgb[i * 3 + 2] = px[i * 4];
      }
      ok = WritePng(path, width, height, rgb);
    }
  }
  if (dib) DeleteObject(dib);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return ok;
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

Process::~Process() {
  if (!pi_.hProcess) return;
  if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(pi_.hProcess, 99);
    WaitForSingleObject(pi_.hProcess, 5000);
  }
  CloseHandle(pi_.hProcess);
  CloseHandle(pi_.hThread);
}

bool Process::Start(const std::string& commandLine) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  std::string cmd = commandLine;
  return CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_) != 0;
}

bool Process::Exited(std::chrono::milliseconds limit) const {
  return WaitForSingleObject(pi_.hProcess, static_cast<DWORD>(limit.count())) == WAIT_OBJECT_0;
}

}  // namespace pel::demo
