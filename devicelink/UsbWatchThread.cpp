#include "devicelink/UsbWatchThread.h"

#include "platform/HandOver.h"
#include "platform/MessageLoop.h"

namespace pel::link {

TWatchThread::TWatchThread(std::function<void()> pass, std::atomic<bool>& busy)
    : pass_(std::move(pass)), busy_(busy), thread_([this] { Loop(); }) {}

TWatchThread::~TWatchThread() {
  {
    std::lock_guard lock(m_);
    terminate_ = true;
  }
  cv_.notify_all();
  if (!thread_.joinable()) return;
  // A pass ends within its transfers' time-outs once the host code it runs
  // returns; servicing meanwhile keeps a pass that sends to this thread from
  // waiting on us, which a bare join after the bound could not promise.
  if (!OnThisThread())
    while (!pel::serviceWhile([this] { return !ended_.load(); }, kEndWait)) {
    }
  thread_.join();
}

bool TWatchThread::WaitOutPass(std::chrono::milliseconds bound) {
  if (OnThisThread()) return !inPass_.load();
  // From inside the pass's own hand-over: the pass waits for this very call.
  if (pel::HandOver::instance().onMainThread() && pel::HandOver::instance().runningCallFrom(Id()))
    return !inPass_.load();
  return pel::serviceWhile([this] { return inPass_.load(); }, bound);
}

bool TWatchThread::Resume() {
  {
    std::lock_guard lock(m_);
    if (busy_.load() || terminate_) return false;
    busy_.store(true);
    resume_ = true;
  }
  cv_.notify_all();
  return true;
}

void TWatchThread::Loop() {
  for (;;) {
    {
      std::unique_lock lock(m_);
      // Each wait is bounded; the loop looks again until asked.
      while (!resume_ && !terminate_) cv_.wait_for(lock, std::chrono::milliseconds(200));
      if (terminate_) {
        ended_.store(true);
        return;
      }
      resume_ = false;
      inPass_.store(true);
    }
    try {
      pass_();
    } catch (...) {
      // A failing pass ends that pass only.
    }
    inPass_.store(false);
    busy_.store(false);
  }
}

}  // namespace pel::link
