#pragma once
// The host loop pieces: pumping the thread's message queue and a message-only
// window whose messages go to a C++ handler.
#include <windows.h>

#include <chrono>
#include <functional>

namespace pel {

// Dispatches every message waiting for the calling thread, then returns; a
// dialog's messages go through its dialog handling (Enter, Esc, Tab) first.
void pumpMessages();

// Waits until busy() turns false or bound passed; false when still busy.
// On the main thread it runs hand-overs and the messages other threads send
// to it meanwhile (nothing is taken from its queue), so a thread that waits
// for either can always finish.
bool serviceWhile(const std::function<bool()>& busy, std::chrono::milliseconds bound);

// A message-only window on the creating thread. The handler returns true when
// it handled the message; other messages get the default treatment.
class MessageWindow {
 public:
  using Handler = std::function<bool(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)>;
  explicit MessageWindow(Handler handler);
  MessageWindow(const MessageWindow&) = delete;
  MessageWindow& operator=(const MessageWindow&) = delete;
  ~MessageWindow();
  HWND hwnd() const { return hwnd_; }

 private:
  static LRESULT CALLBACK proc(HWND, UINT, WPARAM, LPARAM);
  Handler handler_;
  HWND hwnd_ = nullptr;
};

}  // namespace pel
