#pragma once
// A small modal-dialog layer: a dialog from a resource, its messages routed to
// members (button clicks and notifications by control id), and data exchange
// helpers for the few control kinds the program uses.
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <utility>

namespace ui {

class Dialog {
 public:
  explicit Dialog(int resourceId, HWND parent = nullptr) : resourceId_(resourceId), parent_(parent) {}
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;
  virtual ~Dialog() = default;

  // Runs the dialog modally; returns the value given to EndDialog (-1 on failure).
  INT_PTR DoModal();
  HWND Hwnd() const { return hwnd_; }
  void EndDialog(INT_PTR result);

  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
  std::string ItemText(int id) const;
  void SetItemText(int id, const std::string& text) const;
  void EnableItem(int id, bool enable) const;
  void SetTitle(const std::string& text) const { SetWindowTextA(hwnd_, text.c_str()); }

 protected:
  virtual BOOL OnInitDialog() { return TRUE; }
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }
  // Any other message; return true when handled (result goes to the dialog manager).
  virtual bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) {
    (void)msg, (void)wp, (void)lp, (void)result;
    return false;
  }

  void OnClicked(int id, std::function<void()> handler) { clicks_[id] = std::move(handler); }
  void OnNotify(int id, UINT code, std::function<LRESULT(NMHDR*)> handler) {
    notifies_[{id, code}] = std::move(handler);
  }

 private:
  static INT_PTR CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  INT_PTR Dispatch(UINT msg, WPARAM wp, LPARAM lp);

  int resourceId_;
  HWND parent_;
  HWND hwnd_ = nullptr;
  std::map<int, std::function<void()>> clicks_;
  std::map<std::pair<int, UINT>, std::function<LRESULT(NMHDR*)>> notifies_;
};

// Float exchange with an edit control, '.' as the decimal point whatever the
// locale. save=false shows value ("%.*g", 6 digits); save=true parses the text
// into value, and text that is no number shows a message and keeps value.
bool ExchangeFloat(HWND dialog, int id, float& value, bool save);

}  // namespace ui
