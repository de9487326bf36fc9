#include "devicelink/UsbWatchThread.h"

#include <chrono>

namespace pel::link {

TWatchThread::TWatchThread(std::function<void()> pass, std::atomic<bool>& busy)
    : pass_(std::move(pass)), busy_(busy), thread_([this] { Loop(); }) {}

TWatchThread::~TWatchThread() {
  {
    std::lock_guard lock(m_);
    terminate_ = true;
  }
  cv_.notify_all();
  if (thread_.joinable()) thread_.join();
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
      if (terminate_) return;
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
