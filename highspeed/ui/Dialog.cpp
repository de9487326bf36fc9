#include "highspeed/ui/Dialog.h"

#include "highspeed/ui/NumberText.h"

namespace ui {

INT_PTR Dialog::DoModal() {
  return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId_), parent_, &Dialog::Proc,
                         reinterpret_cast<LPARAM>(this));
}

void Dialog::EndDialog(INT_PTR result) {
  if (hwnd_) ::EndDialog(hwnd_, result);
}

std::string Dialog::ItemText(int id) const {
  HWND item = Item(id);
  if (!item) return {};
  const int len = GetWindowTextLengthA(item);
  std::string text(static_cast<std::size_t>(len > 0 ? len : 0) + 1, '\0');
  const int got = GetWindowTextA(item, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return text;
}

void Dialog::SetItemText(int id, const std::string& text) const { SetDlgItemTextA(hwnd_, id, text.c_str()); }

void Dialog::EnableItem(int id, bool enable) const {
  if (HWND item = Item(id)) EnableWindow(item, enable ? TRUE : FALSE);
}

INT_PTR CALLBACK Dialog::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Dialog* self = nullptr;
  if (msg == WM_INITDIALOG) {
    self = reinterpret_cast<Dialog*>(lp);
    SetWindowLongPtrA(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = hwnd;
  } else {
    self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
  }
  if (!self) return FALSE;
  const INT_PTR r = self->Dispatch(msg, wp, lp);
  if (msg == WM_NCDESTROY) self->hwnd_ = nullptr;
  return r;
}

INT_PTR Dialog::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG:
      return OnInitDialog();
    case WM_COMMAND: {
      const int id = LOWORD(wp);
      const int code = HIWORD(wp);
      if (id == IDOK && code == BN_CLICKED) { OnOK(); return TRUE; }
      if (id == IDCANCEL && code == BN_CLICKED) { OnCancel(); return TRUE; }
      if (code == BN_CLICKED) {
        auto it = clicks_.find(id);
        if (it != clicks_.end()) { it->second(); return TRUE; }
      }
      break;
    }
    case WM_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(lp);
      auto it = notifies_.find({static_cast<int>(hdr->idFrom), hdr->code});
      if (it != notifies_.end()) {
        SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, it->second(hdr));
        return TRUE;
      }
      break;
    }
    default:
      break;
  }
  INT_PTR result = FALSE;
  if (OnMessage(msg, wp, lp, result)) return result;
  return FALSE;
}

bool ExchangeFloat(HWND dialog, int id, float& value, bool save) {
  if (!save) {
    SetDlgItemTextA(dialog, id, FormatFloat6(value).c_str());
    return true;
  }
  char text[64] = {};
  GetDlgItemTextA(dialog, id, text, sizeof text);
  float parsed = 0;
  if (!ParseFloat(text, parsed)) {
    MessageBoxA(dialog, "Please enter a number.", "Pelmora Experiment", MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  value = parsed;
  return true;
}

}  // namespace ui
