#pragma once
// Synchronous hand-over of calls from worker threads to the main thread.
// A worker queues a call, wakes the main thread through the wake hook (which
// posts a message to a window) and blocks until the main thread has run it.
// The main thread runs what is pending when it asks (runPending), for example
// at each poll, and while it waits for a worker to end (serviceUntil), so a
// worker blocked in a hand-over can never deadlock a main thread joining it.
#include <atomic>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "platform/SlimSync.h"

namespace pel {

class HandOver {
 public:
  using WakeHook = std::function<void()>;

  // The one instance of the process (a worker's Synchronize has no owner).
  static HandOver& instance();

  // The thread that runs hand-overs from now on: the calling one.
  void setMainThread();
  bool onMainThread() const;

  // Runs f on the main thread and returns when it has run; an exception
  // thrown by f is rethrown here. On the main thread f runs at once.
  void synchronize(std::function<void()> f);

  // Main thread: runs every call queued so far; true when any ran.
  bool runPending();
  // Main thread: runs hand-overs as they come until done() holds.
  void serviceUntil(const std::function<bool()>& done);
  // Main thread: a call queued by that thread runs now (at any depth), so
  // the thread waits for this one and waiting for it in turn would hang.
  bool runningCallFrom(std::thread::id worker) const;
  // Wakes serviceUntil to test its condition again (a worker that ends).
  void notify();

  // Called by a worker after it queued a call; returns the hook it replaces.
  WakeHook setWakeHook(WakeHook hook);

  std::size_t pendingCount() const;

 private:
  HandOver() = default;
  struct Call {
    std::function<void()> f;
    std::thread::id from;  // the thread that waits for it
    bool done = false;
    std::exception_ptr error;
  };
  mutable SlimMutex m_;  // guards queue_, every Call's done/error, wake_, generation_
  SlimCondition cv_;
  std::deque<std::shared_ptr<Call>> queue_;
  WakeHook wake_;
  unsigned long generation_ = 0;
  std::atomic<unsigned long> mainThread_{0};
  std::vector<std::thread::id> running_;  // queuers of the calls running now, innermost last (main thread only)
};

}  // namespace pel
