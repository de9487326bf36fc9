#pragma once
// A mutex and a condition variable over the system's slim reader/writer
// lock and condition variable. The C++ library's own go through semaphores
// of the threads layer: a system call for every wait and wake, on every
// hand-over between threads; these wait in the process while they can.
#include <windows.h>

#include <chrono>
#include <mutex>

namespace pel {

// Not recursive; lockable by std::lock_guard and std::unique_lock.
class SlimMutex {
 public:
  SlimMutex() = default;
  SlimMutex(const SlimMutex&) = delete;
  SlimMutex& operator=(const SlimMutex&) = delete;
  void lock() { AcquireSRWLockExclusive(&srw_); }
  bool try_lock() { return TryAcquireSRWLockExclusive(&srw_) != 0; }
  void unlock() { ReleaseSRWLockExclusive(&srw_); }
  PSRWLOCK native() { return &srw_; }

 private:
  SRWLOCK srw_ = SRWLOCK_INIT;
};

class SlimCondition {
 public:
  SlimCondition() = default;
  SlimCondition(const SlimCondition&) = delete;
  SlimCondition& operator=(const SlimCondition&) = delete;
  void notify_all() { WakeAllConditionVariable(&cv_); }
  template <class Pred>
  void wait(std::unique_lock<SlimMutex>& lock, Pred done) {
    while (!done()) SleepConditionVariableSRW(&cv_, lock.mutex()->native(), INFINITE, 0);
  }
  // False when done() is still false after the time.
  template <class Pred>
  bool wait_for(std::unique_lock<SlimMutex>& lock, std::chrono::milliseconds time, Pred done) {
    const auto until = std::chrono::steady_clock::now() + time;
    while (!done()) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
      if (left.count() <= 0) return false;
      SleepConditionVariableSRW(&cv_, lock.mutex()->native(), static_cast<DWORD>(left.count()), 0);
    }
    return true;
  }

 private:
  CONDITION_VARIABLE cv_ = CONDITION_VARIABLE_INIT;
};

}  // namespace pel
