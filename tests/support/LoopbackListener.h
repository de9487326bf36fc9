#pragma once
// A listening TCP socket on 127.0.0.1 at a port the system picks, for test
// peers that serve one thread of their own.
#include <winsock2.h>

namespace pel::test {

// Listens with the backlog; port receives the port chosen.
inline SOCKET ListenOnLoopback(int backlog, int& port) {
  WSADATA d;
  WSAStartup(MAKEWORD(2, 2), &d);
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = 0;
  bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
  int len = sizeof a;
  getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
  port = ntohs(a.sin_port);
  listen(s, backlog);
  return s;
}

}  // namespace pel::test
