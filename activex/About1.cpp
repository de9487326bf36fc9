#include "activex/About1.h"

#include <windows.h>

#include <stdexcept>

#include "activex/ComModule.h"

namespace pel::com {

namespace {

// Placement in client pixels: x, y, width, height.
struct Place {
  int id, x, y, w, h;
};
constexpr Place kPlaces[] = {
    {kAboutImage, 48, 16, 23, 22}, {kAboutName, 80, 16, 102, 16}, {kAboutDesc, 80, 34, 180, 16},
    {kAboutLine, 56, 72, 200, 16}, {IDOK, 96, 96, 75, 25},
};
constexpr int kClientWidth = 267;
constexpr int kClientHeight = 127;

struct AboutState {
  HFONT bold = nullptr;
  HBITMAP glyph = nullptr;
  ~AboutState() {
    if (bold) DeleteObject(bold);
    if (glyph) DeleteObject(glyph);
  }
};

void layOut(HWND dlg, AboutState& st) {
  RECT r{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(dlg, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(dlg, GWL_EXSTYLE)));
  const int w = r.right - r.left, h = r.bottom - r.top;
  const int x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
  SetWindowPos(dlg, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  for (const Place& p : kPlaces)
    if (HWND c = GetDlgItem(dlg, p.id)) SetWindowPos(c, nullptr, p.x, p.y, p.w, p.h, SWP_NOZORDER | SWP_NOACTIVATE);

  LOGFONTW lf{};
  if (HFONT f = reinterpret_cast<HFONT>(SendMessageW(dlg, WM_GETFONT, 0, 0))) GetObjectW(f, sizeof lf, &lf);
  lf.lfHeight = -13;
  lf.lfWeight = FW_BOLD;
  st.bold = CreateFontIndirectW(&lf);
  if (st.bold) SendDlgItemMessageW(dlg, kAboutName, WM_SETFONT, reinterpret_cast<WPARAM>(st.bold), TRUE);
  st.glyph = static_cast<HBITMAP>(
      LoadImageW(Module::Instance(), MAKEINTRESOURCEW(1), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
  if (st.glyph)
    SendDlgItemMessageW(dlg, kAboutImage, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(st.glyph));
}

INT_PTR CALLBACK aboutProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG:
      layOut(dlg, *reinterpret_cast<AboutState*>(lp));
      return TRUE;
    case WM_COMMAND:
      // OK is the default and the cancel button: every way out answers OK.
      if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
        EndDialog(dlg, IDOK);
        return TRUE;
      }
      break;
    default:
      break;
  }
  return FALSE;
}

}  // namespace

void ShowAboutBox() {
  AboutState st;
  const INT_PTR r = DialogBoxParamW(Module::Instance(), MAKEINTRESOURCEW(kAboutDialog), nullptr, aboutProc,
                                    reinterpret_cast<LPARAM>(&st));
  if (r == -1) throw std::runtime_error("cannot show the about box");
}

}  // namespace pel::com
