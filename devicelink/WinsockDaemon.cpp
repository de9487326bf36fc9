#include "devicelink/WinsockDaemon.h"

#include <winsock2.h>

#include <optional>

#include "platform/HandOver.h"

namespace pel::link {

TWinsockDaemon::TWinsockDaemon(std::string host, std::string port)
    : host_(std::move(host)), port_(std::move(port)) {
  thread_ = std::thread([this] { Execute(); });
}

TWinsockDaemon::~TWinsockDaemon() { Stop(); }

void TWinsockDaemon::ConnectLocal() {
  {
    std::lock_guard lock(socketLock_);
    // A connect closes an earlier connection: its texts go with it.
    DropQueued();
    socket_.connect(host_, port_);
    // Under the wake lock, so the loop cannot miss the change while it goes to sleep.
    std::lock_guard wakeLock(wakeLock_);
    connected_ = socket_.lastError() == 0;
  }
  wake_.notify_all();
}

void TWinsockDaemon::Disconnect() {
  // Marked first, so the loop, woken from its receive (which holds the
  // socket lock), takes no further wait before the socket closes.
  if (connected_.exchange(false)) socket_.wake();
  std::lock_guard lock(socketLock_);
  socket_.closeSocket();
  // Also when the worker dropped the link first: nothing queued for that
  // connection may go out on the next one.
  DropQueued();
}

void TWinsockDaemon::QueueSend(const std::string& text) {
  {
    std::lock_guard lock(sendLock_);
    // Only for the connection that is up; with none the text has nowhere to go.
    if (!connected_) return;
    sendQueue_.push_back(text);
  }
  wake_.notify_all();
  socket_.wake();
}

std::string TWinsockDaemon::PopReceived() {
  std::lock_guard lock(receiveLock_);
  if (received_.empty()) return {};
  std::string s = std::move(received_.front());
  received_.pop_front();
  return s;
}

bool TWinsockDaemon::HasReceived() const {
  std::lock_guard lock(receiveLock_);
  return !received_.empty();
}

void TWinsockDaemon::Stop() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard lock(wakeLock_);
    running_ = false;
  }
  wake_.notify_all();
  socket_.wake();
  // The loop may be waiting in a hand-over to this thread.
  HandOver::instance().serviceUntil([this] { return finished_.load(); });
  thread_.join();
  std::lock_guard lock(socketLock_);
  DropConnection();
}

void TWinsockDaemon::DropConnection() {
  socket_.closeSocket();
  connected_ = false;
  DropQueued();
}

void TWinsockDaemon::DropQueued() {
  std::lock_guard lock(sendLock_);
  sendQueue_.clear();
}

bool TWinsockDaemon::PauseUnlessStopped(int ms) {
  std::unique_lock lock(wakeLock_);
  wake_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return !running_; });
  return running_;
}

void TWinsockDaemon::HandOver(std::function<void()> Handlers::*which) {
  try {
    pel::HandOver::instance().synchronize([this, which] {
      // A copy: the handler may replace the handlers or end the component.
      const auto f = handlers_.*which;
      if (!f) return;
      ++inHandOver_;
      try {
        f();
      } catch (...) {
      }
      --inHandOver_;
    });
  } catch (...) {
  }
}

void TWinsockDaemon::Execute() {
  while (running_) {
    if (!connected_) {
      std::unique_lock lock(wakeLock_);
      wake_.wait(lock, [this] { return !running_ || connected_; });
      continue;
    }
    // Taken under the socket lock: every end of a connection clears the
    // queue under it, so what is taken here belongs to the connection it
    // goes out on.
    bool sent = false;
    bool failed = false;
    {
      std::lock_guard lock(socketLock_);
      if (!connected_) continue;
      std::optional<std::string> next;
      {
        std::lock_guard q(sendLock_);
        if (!sendQueue_.empty()) {
          next = std::move(sendQueue_.front());
          sendQueue_.pop_front();
        }
      }
      if (next) {
        sent = true;
        socket_.sendString(*next);
        failed = socket_.lastError() != 0;
        if (failed) DropConnection();
      }
    }
    if (failed) HandOver(&Handlers::sendFailed);
    if (sent && !PauseUnlessStopped(50)) break;
    // Receive for up to 200 ms. A queued send, a disconnect or a stop wakes
    // the wait; a socket that cannot be woken waits in slices of 10 ms, each
    // taking the socket lock alone, so those wait one slice at most.
    std::string got;
    bool lost = false;
    const int slice = socket_.wakeable() ? 200 : 10;
    for (int waited = 0; waited < 200 && got.empty() && running_ && connected_; waited += slice) {
      {
        std::lock_guard lock(socketLock_);
        if (!connected_) break;
        got = socket_.recvPacket(slice);
        const int err = socket_.lastError();
        if (got.empty() && err != 0 && err != WSAETIMEDOUT) {
          DropConnection();
          lost = true;
          break;
        }
      }
      std::lock_guard q(sendLock_);
      if (!sendQueue_.empty()) break;
    }
    if (!got.empty()) {
      {
        std::lock_guard lock(receiveLock_);
        received_.push_back(std::move(got));
      }
      HandOver(&Handlers::received);
    }
    if (lost) HandOver(&Handlers::lost);
  }
  finished_ = true;
  pel::HandOver::instance().notify();
}

}  // namespace pel::link
