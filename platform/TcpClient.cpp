#include "platform/TcpClient.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstring>
#include <vector>

namespace pel {
namespace {

// Winsock stays started for the life of the process once any client exists.
void startWinsock() {
  static const int rc = [] {
    WSADATA d;
    return WSAStartup(MAKEWORD(2, 2), &d);
  }();
  (void)rc;
}

SOCKET sock(unsigned long long s) { return static_cast<SOCKET>(s); }

}  // namespace

TcpClient::TcpClient() {
  startWinsock();
  SOCKET w = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (w == INVALID_SOCKET) return;
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int len = sizeof a;
  u_long nonBlocking = 1;
  if (::bind(w, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
      getsockname(w, reinterpret_cast<sockaddr*>(&a), &len) != 0 || ioctlsocket(w, FIONBIO, &nonBlocking) != 0) {
    closesocket(w);
    return;
  }
  static_assert(sizeof wakeAddr_ == sizeof a);
  std::memcpy(wakeAddr_, &a, sizeof a);
  wake_ = static_cast<unsigned long long>(w);
}

TcpClient::~TcpClient() {
  closeSocket();
  if (wakeable()) closesocket(sock(wake_));
}

bool TcpClient::wake() {
  if (!wakeable()) return false;
  const char b = 1;
  return ::sendto(sock(wake_), &b, 1, 0, reinterpret_cast<const sockaddr*>(wakeAddr_), sizeof(sockaddr_in)) == 1;
}

void TcpClient::connect(std::string_view host, std::string_view port) {
  closeSocket();
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  addrinfo* found = nullptr;
  const std::string h(host), p(port);
  if (int rc = getaddrinfo(h.c_str(), p.c_str(), &hints, &found); rc != 0) {
    lastError_ = rc;
    return;
  }
  lastError_ = WSAECONNREFUSED;
  for (addrinfo* a = found; a; a = a->ai_next) {
    SOCKET s = ::socket(a->ai_family, a->ai_socktype, a->ai_protocol);
    if (s == INVALID_SOCKET) {
      lastError_ = WSAGetLastError();
      continue;
    }
    if (::connect(s, a->ai_addr, static_cast<int>(a->ai_addrlen)) == 0) {
      BOOL on = TRUE;
      setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
      socket_ = static_cast<unsigned long long>(s);
      lastError_ = 0;
      break;
    }
    lastError_ = WSAGetLastError();
    closesocket(s);
  }
  freeaddrinfo(found);
}

void TcpClient::sendString(std::string_view data) {
  if (!isOpen()) {
    lastError_ = WSAENOTCONN;
    return;
  }
  lastError_ = 0;
  while (!data.empty()) {
    const int n = ::send(sock(socket_), data.data(), static_cast<int>(data.size()), 0);
    if (n == SOCKET_ERROR) {
      lastError_ = WSAGetLastError();
      return;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
  }
}

std::string TcpClient::recvPacket(int timeoutMs) {
  std::string out;
  if (!isOpen()) {
    lastError_ = WSAENOTCONN;
    return out;
  }
  fd_set rd;
  FD_ZERO(&rd);
  FD_SET(sock(socket_), &rd);
  if (wakeable()) FD_SET(sock(wake_), &rd);
  timeval tv{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
  const int ready = ::select(0, &rd, nullptr, nullptr, &tv);
  if (ready == SOCKET_ERROR) {
    lastError_ = WSAGetLastError();
    return out;
  }
  if (wakeable() && FD_ISSET(sock(wake_), &rd)) {
    char b[64];
    while (::recv(sock(wake_), b, sizeof b, 0) > 0) {
    }
  }
  if (!FD_ISSET(sock(socket_), &rd)) {
    lastError_ = WSAETIMEDOUT;
    return out;
  }
  // Take everything that is waiting now.
  for (;;) {
    char buf[4096];
    const int n = ::recv(sock(socket_), buf, sizeof buf, 0);
    if (n == 0) {
      lastError_ = out.empty() ? WSAECONNRESET : 0;
      return out;
    }
    if (n == SOCKET_ERROR) {
      lastError_ = WSAGetLastError();
      return out;
    }
    out.append(buf, static_cast<std::size_t>(n));
    u_long waiting = 0;
    if (ioctlsocket(sock(socket_), FIONREAD, &waiting) != 0 || waiting == 0) break;
  }
  lastError_ = 0;
  return out;
}

void TcpClient::closeSocket() {
  if (isOpen()) {
    shutdown(sock(socket_), SD_BOTH);
    closesocket(sock(socket_));
  }
  socket_ = kNone;
  lastError_ = 0;
}

}  // namespace pel
