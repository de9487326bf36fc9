#pragma once
// A blocking TCP client over Winsock 2. Each call reports its outcome in
// lastError(): 0 on success, else the Winsock error code (a connection that
// the peer closed reads as WSAECONNRESET).
#include <string>
#include <string_view>

namespace pel {

class TcpClient {
 public:
  TcpClient();
  TcpClient(const TcpClient&) = delete;
  TcpClient& operator=(const TcpClient&) = delete;
  ~TcpClient();

  // Connects to a numeric or named host; closes an earlier connection first.
  void connect(std::string_view host, std::string_view port);
  // Sends all of the text (blocking until it went out or failed).
  void sendString(std::string_view data);
  // Waits up to timeoutMs for data and returns everything waiting then;
  // empty on time-out or wake() (lastError WSAETIMEDOUT) or failure.
  std::string recvPacket(int timeoutMs);
  // Ends a recvPacket wait early, from any thread. False when this client
  // has no wake-up (its waits then run their full time).
  bool wake();
  bool wakeable() const { return wake_ != kNone; }
  void closeSocket();
  bool isOpen() const { return socket_ != kNone; }
  int lastError() const { return lastError_; }

 private:
  static constexpr unsigned long long kNone = ~0ull;
  unsigned long long socket_ = kNone;  // a SOCKET
  // A loopback datagram socket that wake() sends to and recvPacket also
  // waits on; made once, read-only after the constructor.
  unsigned long long wake_ = kNone;
  unsigned char wakeAddr_[16] = {};  // its sockaddr_in
  int lastError_ = 0;
};

}  // namespace pel
