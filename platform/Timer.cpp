#include "platform/Timer.h"

namespace pel {
namespace {
constexpr UINT_PTR kTimerId = 1;
}

Timer::Timer(unsigned intervalMs, std::function<void()> onTick)
    : interval_(intervalMs), onTick_(std::move(onTick)), window_([this](UINT msg, WPARAM wp, LPARAM, LRESULT&) {
        if (msg != WM_TIMER || wp != kTimerId) return false;
        if (!enabled_) {
          disarm();  // disabled since the last tick
          return true;
        }
        if (onTick_) onTick_();
        return true;
      }) {}

Timer::~Timer() { KillTimer(window_.hwnd(), kTimerId); }

void Timer::disarm() {
  KillTimer(window_.hwnd(), kTimerId);
  armed_ = false;
}

void Timer::restart() {
  disarm();
  if (enabled_ && interval_ > 0) armed_ = SetTimer(window_.hwnd(), kTimerId, interval_, nullptr) != 0;
}

void Timer::setInterval(unsigned ms) {
  if (ms == interval_) return;
  interval_ = ms;
  restart();
}

void Timer::setEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  // Off stops the ticks at once; the system timer goes at the next one, so
  // a handler that turns its timer off and on again (each tick of a fast
  // poll) costs no new system timer.
  if (on && !armed_) restart();
}

}  // namespace pel
