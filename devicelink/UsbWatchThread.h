#pragma once
// TWatchThread: the USB polling thread. Its owner (the component's USB side)
// creates it idle, resumes it from the timer poll and joins it in its
// destructor, which like every wait for a pass keeps running hand-overs and
// messages sent from other threads (a handler on this thread may send one to
// a window of the main thread). Between passes it waits for the next resume; the busy flag is
// set by Resume and cleared by the thread when its pass is over, so the timer
// never starts a second pass while one runs.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace pel::link {

class TWatchThread {
 public:
  TWatchThread(std::function<void()> pass, std::atomic<bool>& busy);
  // Asks the loop to end and joins it: a running pass ends first (the pass
  // watches its own stop conditions and its transfers are bounded); the wait
  // services the main thread until the loop has ended, in slices of kEndWait.
  // Never runs on the thread itself (that join would terminate): its owner
  // ends only in TPelmora's destructor on the main thread, and the
  // component's EndIfDue defers any end asked for on another thread or
  // while a pass runs (InPass) to its window's next message.
  ~TWatchThread();
  TWatchThread(const TWatchThread&) = delete;
  TWatchThread& operator=(const TWatchThread&) = delete;

  // False when a pass still runs (nothing changes then).
  bool Resume();
  bool OnThisThread() const { return std::this_thread::get_id() == thread_.get_id(); }
  std::thread::id Id() const { return thread_.get_id(); }
  // A pass runs on the thread now (the busy flag is also set by the timer's own passes).
  bool InPass() const { return inPass_.load(); }
  // Main thread: waits until no pass runs, at most bound, servicing as the
  // destructor does. False when the pass still runs; at once when called
  // from inside a hand-over of the pass, which waits for that call.
  bool WaitOutPass(std::chrono::milliseconds bound);

  static constexpr std::chrono::milliseconds kEndWait{10000};

 private:
  void Loop();

  std::function<void()> pass_;  // runs on the thread only
  std::atomic<bool>& busy_;
  std::atomic<bool> inPass_{false};
  std::atomic<bool> ended_{false};  // the loop returned
  std::mutex m_;
  std::condition_variable cv_;
  bool resume_ = false;     // guarded by m_
  bool terminate_ = false;  // guarded by m_
  std::thread thread_;      // last: starts once the rest is set
};

}  // namespace pel::link
