#include "studio/CentredLabel.h"

#include <string>

namespace tessaly {

namespace {

constexpr UINT kTextFormat = DT_LEFT | DT_WORDBREAK | DT_NOPREFIX;

std::string TextOf(HWND w) {
  std::string t(static_cast<std::size_t>(GetWindowTextLengthA(w)) + 1, '\0');
  t.resize(static_cast<std::size_t>(GetWindowTextA(w, t.data(), static_cast<int>(t.size()))));
  return t;
}

void Draw(HWND w, HDC dc) {
  RECT client{};
  GetClientRect(w, &client);
  auto brush = reinterpret_cast<HBRUSH>(
      SendMessageA(GetParent(w), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(w)));
  FillRect(dc, &client, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
  const std::string text = TextOf(w);
  if (text.empty()) return;
  const auto font = reinterpret_cast<HFONT>(GetWindowLongPtrA(w, 0));
  const HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
  SetBkMode(dc, TRANSPARENT);
  // The wrapped text's height decides where it starts; a text taller than
  // the label loses as much at the top as at the bottom.
  RECT measured = client;
  DrawTextA(dc, text.c_str(), -1, &measured, kTextFormat | DT_CALCRECT);
  const int height = measured.bottom - measured.top;
  RECT r = client;
  r.top = client.top + (client.bottom - client.top - height) / 2;
  r.bottom = r.top + height;
  DrawTextA(dc, text.c_str(), -1, &r, kTextFormat);
  if (old) SelectObject(dc, old);
}

LRESULT CALLBACK LabelProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(w, &ps);
      Draw(w, dc);
      EndPaint(w, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      Draw(w, reinterpret_cast<HDC>(wp));
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the paint fills the whole label
    case WM_SETFONT:
      SetWindowLongPtrA(w, 0, static_cast<LONG_PTR>(wp));
      if (LOWORD(lp)) InvalidateRect(w, nullptr, FALSE);
      return 0;
    case WM_GETFONT:
      return GetWindowLongPtrA(w, 0);
    case WM_SETTEXT: {
      const LRESULT r = DefWindowProcA(w, msg, wp, lp);
      InvalidateRect(w, nullptr, FALSE);
      return r;
    }
    case WM_NCHITTEST:
      return HTTRANSPARENT;  // a label takes no clicks
    default:
      return DefWindowProcA(w, msg, wp, lp);
  }
}

}  // namespace

bool RegisterCentredLabel(HINSTANCE instance) {
  WNDCLASSA c{};
  c.hInstance = instance;
  c.hCursor = LoadCursor(nullptr, IDC_ARROW);
  c.lpfnWndProc = LabelProc;
  c.cbWndExtra = sizeof(LONG_PTR);  // the font
  c.lpszClassName = kCentredLabelClass;
  return RegisterClassA(&c) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace tessaly
