#pragma once
// TWinsockDaemon: the TCP worker thread. It sends queued texts, receives what
// the peer sends and hands each piece to the main thread synchronously.
// While not connected it sleeps on a condition instead of spinning; a send or
// receive that fails clears the connected flag and closes the socket. Texts
// are queued only while connected, and whatever ends a connection drops
// what is still queued for it.
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "devicelink/LinkEnvironment.h"
#include "platform/TcpClient.h"

namespace pel::link {

class TWinsockDaemon final : public SocketWorker {
 public:
  explicit TWinsockDaemon(std::string host = "127.0.0.1", std::string port = "4000");
  ~TWinsockDaemon() override;

  void ConnectLocal() override;
  void Disconnect() override;
  bool IsConnected() const override { return connected_; }
  void QueueSend(const std::string& text) override;
  std::string PopReceived() override;
  bool HasReceived() const override;
  void Resume() override {}  // never suspends itself
  void Stop() override;
  void SetHandlers(Handlers h) override { handlers_ = std::move(h); }
  bool InHandOver() const override { return inHandOver_ > 0; }

 private:
  void Execute();
  bool PauseUnlessStopped(int ms);
  void HandOver(std::function<void()> Handlers::*which);
  // Both with the socket lock held: the send queue belongs to the connection
  // that is up, so every end of a connection (and a new one) clears it.
  void DropConnection();  // closes the socket, clears the flag and the queue
  void DropQueued();

  const std::string host_, port_;
  // Guards socket_: the worker's send/receive, the main thread's connect/disconnect;
  // its wake() is called without it.
  std::mutex socketLock_;
  pel::TcpClient socket_;
  mutable std::mutex sendLock_;  // guards sendQueue_; taken inside socketLock_, never around it
  std::deque<std::string> sendQueue_;
  mutable std::mutex receiveLock_;  // guards received_
  std::deque<std::string> received_;
  std::atomic<bool> connected_{false};
  std::atomic<bool> running_{true};
  std::atomic<bool> finished_{false};
  std::mutex wakeLock_;  // with wake_: the loop's sleep while not connected or between sends
  std::condition_variable wake_;
  Handlers handlers_;   // main thread only (read inside hand-overs)
  int inHandOver_ = 0;  // main thread only
  std::thread thread_;  // joined by Stop()
};

}  // namespace pel::link
