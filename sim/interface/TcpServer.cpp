// TCP side of the simulator: listens on 127.0.0.1 and serves one peer at a
// time; a peer that connects meanwhile waits in the backlog.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <atomic>
#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <utility>
#include <string>
#include <thread>

#include "sim/interface/WinTransports.h"

namespace pel::sim {
namespace {

using namespace std::chrono_literals;
constexpr auto kLongestWait = 5ms;

class WinsockSession {
 public:
  WinsockSession() {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) throw std::runtime_error("WSAStartup failed");
  }
  ~WinsockSession() { WSACleanup(); }
  WinsockSession(const WinsockSession&) = delete;
  WinsockSession& operator=(const WinsockSession&) = delete;
};

class Socket {
 public:
  Socket() = default;
  explicit Socket(SOCKET s) : s_(s) {}
  ~Socket() { reset(); }
  Socket(Socket&& o) noexcept : s_(std::exchange(o.s_, INVALID_SOCKET)) {}
  Socket& operator=(Socket&& o) noexcept {
    if (this != &o) {
      reset();
      s_ = std::exchange(o.s_, INVALID_SOCKET);
    }
    return *this;
  }
  SOCKET get() const { return s_; }
  bool valid() const { return s_ != INVALID_SOCKET; }
  void reset() {
    if (s_ != INVALID_SOCKET) closesocket(s_);
    s_ = INVALID_SOCKET;
  }

 private:
  SOCKET s_ = INVALID_SOCKET;
};

// True when the socket has input (or was closed) within the wait.
bool readable(SOCKET s, std::chrono::microseconds wait) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(s, &set);
  timeval tv{static_cast<long>(wait.count() / 1000000), static_cast<long>(wait.count() % 1000000)};
  return select(0, &set, nullptr, nullptr, &tv) > 0;
}

// Sends everything unless the peer goes away or the simulator stops; the
// socket is non-blocking, so a peer that stops reading cannot hold up stop().
bool sendAll(SOCKET s, const std::string& bytes, const std::atomic<bool>& stop) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    int n = send(s, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
      continue;
    }
    if (n == 0 || WSAGetLastError() != WSAEWOULDBLOCK || stop) return false;
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval tv{0, 20000};
    select(0, nullptr, &set, nullptr, &tv);
  }
  return true;
}

class TcpServer final : public ServerTransport {
 public:
  explicit TcpServer(std::uint16_t port) {
    listener_ = Socket(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (!listener_.valid()) throw std::runtime_error("cannot create a socket");
    // A previous simulator's connections may linger on the port after they
    // closed; they must not keep the next one from listening.
    BOOL on = TRUE;
    setsockopt(listener_.get(), SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&on),
               sizeof on);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(listener_.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        listen(listener_.get(), 4) != 0)
      throw std::runtime_error("cannot listen on 127.0.0.1:" + std::to_string(port) +
                               " (error " + std::to_string(WSAGetLastError()) + ")");
  }

  void serve(TransportState& st) override {
    while (!st.stop) {
      if (!readable(listener_.get(), 20ms)) continue;
      Socket peer(accept(listener_.get(), nullptr, nullptr));
      if (!peer.valid()) continue;
      BOOL on = TRUE;
      setsockopt(peer.get(), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on),
                 sizeof on);
      u_long nonBlocking = 1;
      ioctlsocket(peer.get(), FIONBIO, &nonBlocking);
      ++st.connections;
      st.peer = true;
      st.core.connected(SimCore::Clock::now());
      servePeer(st, peer.get());
      st.peer = false;
    }
  }

 private:
  static void servePeer(TransportState& st, SOCKET peer) {
    char buf[4096];
    while (!st.stop) {
      auto wait = st.core.waitHint(SimCore::Clock::now(), kLongestWait);
      std::string received;
      if (readable(peer, std::chrono::duration_cast<std::chrono::microseconds>(wait))) {
        int n = recv(peer, buf, sizeof buf, 0);
        if (n == 0) return;  // the peer closed the link
        if (n < 0 && WSAGetLastError() != WSAEWOULDBLOCK) return;  // it broke
        if (n > 0) received.assign(buf, static_cast<std::size_t>(n));
      }
      Outgoing out = st.core.step(received, SimCore::Clock::now());
      for (std::size_t i = 0; i < out.pieces.size(); ++i) {
        if (st.stop) return;  // slow delivery must not hold up stop()
        if (i > 0 && out.gap.count() > 0) std::this_thread::sleep_for(out.gap);
        if (!sendAll(peer, out.pieces[i], st.stop)) return;
      }
      if (out.close) return;
    }
  }

  WinsockSession winsock_;
  Socket listener_;
};

}  // namespace

std::unique_ptr<ServerTransport> makeTcpServer(std::uint16_t port) {
  return std::make_unique<TcpServer>(port);
}

}  // namespace pel::sim
