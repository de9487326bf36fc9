#include "platform/HandOver.h"

#include <windows.h>

#include <algorithm>
#include <chrono>

namespace pel {

HandOver& HandOver::instance() {
  static HandOver h;
  return h;
}

void HandOver::setMainThread() { mainThread_.store(GetCurrentThreadId()); }

bool HandOver::onMainThread() const {
  const unsigned long main = mainThread_.load();
  return main == 0 || main == GetCurrentThreadId();
}

void HandOver::synchronize(std::function<void()> f) {
  if (onMainThread()) {
    f();
    return;
  }
  auto call = std::make_shared<Call>();
  call->f = std::move(f);
  call->from = std::this_thread::get_id();
  WakeHook wake;
  {
    std::lock_guard lock(m_);
    queue_.push_back(call);
    ++generation_;
    wake = wake_;
  }
  cv_.notify_all();
  if (wake) wake();
  std::unique_lock lock(m_);
  cv_.wait(lock, [&] { return call->done; });
  if (call->error) std::rethrow_exception(call->error);
}

bool HandOver::runPending() {
  bool any = false;
  for (;;) {
    std::shared_ptr<Call> call;
    {
      std::lock_guard lock(m_);
      if (queue_.empty()) break;
      call = queue_.front();
      queue_.pop_front();
    }
    std::exception_ptr error;
    running_.push_back(call->from);
    try {
      call->f();
    } catch (...) {
      error = std::current_exception();
    }
    running_.pop_back();
    {
      std::lock_guard lock(m_);
      call->error = error;
      call->done = true;
    }
    cv_.notify_all();
    any = true;
  }
  return any;
}

void HandOver::serviceUntil(const std::function<bool()>& done) {
  for (;;) {
    runPending();
    if (done()) return;
    std::unique_lock lock(m_);
    const unsigned long seen = generation_;
    // The time-out only bounds a missed notify; hand-overs and ends wake it.
    cv_.wait_for(lock, std::chrono::milliseconds(20), [&] { return generation_ != seen || !queue_.empty(); });
  }
}

bool HandOver::runningCallFrom(std::thread::id worker) const {
  return std::find(running_.begin(), running_.end(), worker) != running_.end();
}

void HandOver::notify() {
  {
    std::lock_guard lock(m_);
    ++generation_;
  }
  cv_.notify_all();
}

HandOver::WakeHook HandOver::setWakeHook(WakeHook hook) {
  std::lock_guard lock(m_);
  std::swap(hook, wake_);
  return hook;
}

std::size_t HandOver::pendingCount() const {
  std::lock_guard lock(m_);
  return queue_.size();
}

}  // namespace pel
