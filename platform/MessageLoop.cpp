#include "platform/MessageLoop.h"

#include <stdexcept>

#include "platform/HandOver.h"

namespace pel {

bool serviceWhile(const std::function<bool()>& busy, std::chrono::milliseconds bound) {
  const auto until = std::chrono::steady_clock::now() + bound;
  const bool main = HandOver::instance().onMainThread();
  for (;;) {
    if (main) HandOver::instance().runPending();
    if (!busy()) return true;
    if (std::chrono::steady_clock::now() >= until) return false;
    // Returns early when a message is sent to this thread; PeekMessage
    // delivers sent messages only and takes nothing from the queue.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 2, QS_SENDMESSAGE);
    MSG m;
    PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

namespace {

// The dialog a message's window belongs to, or null: a pump inside a modal
// dialog's loop (a poll tick while an about box is up) must leave its keys
// to the dialog, as the dialog's own loop would, or Enter and Esc are lost.
HWND dialogOf(HWND w) {
  HWND root = w ? GetAncestor(w, GA_ROOT) : nullptr;
  char cls[8] = {};
  return root && GetClassNameA(root, cls, sizeof cls) && lstrcmpA(cls, "#32770") == 0 ? root : nullptr;
}

}  // namespace

void pumpMessages() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      // Leave the quit request for the host's own loop.
      PostQuitMessage(static_cast<int>(m.wParam));
      return;
    }
    if (HWND dlg = dialogOf(m.hwnd); dlg && IsDialogMessageA(dlg, &m)) continue;
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

namespace {
const char* const kClass = "PelmoraMessageWindow";

void registerClassOnce() {
  static const bool done = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClass;
    return RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  if (!done) throw std::runtime_error("cannot register the message window class");
}
}  // namespace

MessageWindow::MessageWindow(Handler handler) : handler_(std::move(handler)) {
  registerClassOnce();
  hwnd_ = CreateWindowExA(0, kClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr),
                          nullptr);
  if (!hwnd_) throw std::runtime_error("cannot create a message window");
  SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MessageWindow::proc));
}

MessageWindow::~MessageWindow() {
  SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
  DestroyWindow(hwnd_);
}

LRESULT CALLBACK MessageWindow::proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<MessageWindow*>(GetWindowLongPtrA(h, GWLP_USERDATA));
  LRESULT r = 0;
  if (self && self->handler_ && self->handler_(msg, wp, lp, r)) return r;
  return DefWindowProcA(h, msg, wp, lp);
}

}  // namespace pel
