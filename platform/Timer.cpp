#include "platform/Timer.h"

namespace pel {
namespace {
constexpr UINT_PTR kTimerId = 1;
}

Timer::Timer(unsigned intervalMs, std::function<void()> onTick)
    : interval_(intervalMs), onTick_(std::move(onTick)), window_([this](UINT msg, WPARAM wp, LPARAM, LRESULT&) {
        if (msg != WM_TIMER || wp != kTimerId) return false;
        if (enabled_ && onTick_) onTick_();
        return true;
      }) {}

Timer::~Timer() { KillTimer(window_.hwnd(), kTimerId); }

void Timer::restart() {
  KillTimer(window_.hwnd(), kTimerId);
  if (enabled_ && interval_ > 0) SetTimer(window_.hwnd(), kTimerId, interval_, nullptr);
}

void Timer::setInterval(unsigned ms) {
  if (ms == interval_) return;
  interval_ = ms;
  restart();
}

void Timer::setEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  restart();
}

}  // namespace pel
