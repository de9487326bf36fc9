#include "devicelink/UsbWatchThread.h"

#include <windows.h>

#include "platform/HandOver.h"

namespace pel::link {
namespace {

// Waits until busy() turns false or bound passed. On the main thread it
// runs hand-overs and the messages other threads send to it meanwhile, so a
// thread that waits for either can always finish.
bool ServiceWhile(const std::function<bool()>& busy, std::chrono::milliseconds bound) {
  const auto until = std::chrono::steady_clock::now() + bound;
  const bool main = pel::HandOver::instance().onMainThread();
  for (;;) {
    if (main) pel::HandOver::instance().runPending();
    if (!busy()) return true;
    if (std::chrono::steady_clock::now() >= until) return false;
    // Returns early when a message is sent to this thread; PeekMessage
    // delivers sent messages only and takes nothing from the queue.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 2, QS_SENDMESSAGE);
    MSG m;
    PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

}  // namespace

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
    while (!ServiceWhile([this] { return !ended_.load(); }, kEndWait)) {
    }
  thread_.join();
}

bool TWatchThread::WaitOutPass(std::chrono::milliseconds bound) {
  if (OnThisThread()) return !inPass_.load();
  return ServiceWhile([this] { return inPass_.load(); }, bound);
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
