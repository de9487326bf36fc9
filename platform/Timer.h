#pragma once
// A timer on its own message window: the tick handler runs on the thread that
// created the timer, from its message loop.
#include <functional>

#include "platform/MessageLoop.h"

namespace pel {

class Timer {
 public:
  explicit Timer(unsigned intervalMs = 1000, std::function<void()> onTick = {});
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;
  ~Timer();

  void setInterval(unsigned ms);
  unsigned interval() const { return interval_; }
  void setEnabled(bool on);
  bool enabled() const { return enabled_; }
  void setOnTick(std::function<void()> f) { onTick_ = std::move(f); }

 private:
  void restart();
  void disarm();
  unsigned interval_;
  bool enabled_ = false;
  bool armed_ = false;  // the system timer runs
  std::function<void()> onTick_;
  MessageWindow window_;
};

}  // namespace pel
