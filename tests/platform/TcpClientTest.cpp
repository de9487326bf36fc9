#include "platform/TcpClient.h"

#include <winsock2.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "tests/support/LoopbackListener.h"

namespace {

// A one-connection server on 127.0.0.1 and a free port: echoes what it
// receives in upper case until it reads "bye", then closes.
class EchoServer {
 public:
  EchoServer() {
    listen_ = pel::test::ListenOnLoopback(1, port_);
    thread_ = std::thread([this] { serve(); });
  }
  ~EchoServer() {
    closesocket(listen_);
    thread_.join();
  }
  std::string port() const { return std::to_string(port_); }

 private:
  void serve() {
    SOCKET c = accept(listen_, nullptr, nullptr);
    if (c == INVALID_SOCKET) return;
    std::string seen;
    char buf[256];
    for (;;) {
      const int n = recv(c, buf, sizeof buf, 0);
      if (n <= 0) break;
      std::string piece(buf, n);
      seen += piece;
      for (char& ch : piece) ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
      send(c, piece.data(), static_cast<int>(piece.size()), 0);
      if (seen.find("bye") != std::string::npos) break;
    }
    closesocket(c);
  }
  SOCKET listen_;
  int port_ = 0;
  std::thread thread_;
};

// Collects replies until want bytes came or the retries ran out.
std::string receive(pel::TcpClient& c, std::size_t want) {
  std::string got;
  for (int i = 0; i < 50 && got.size() < want; ++i) got += c.recvPacket(100);
  return got;
}

TEST(TcpClientTest, RoundTripThenPeerCloseIsReported) {
  EchoServer server;
  pel::TcpClient c;
  c.connect("127.0.0.1", server.port());
  ASSERT_EQ(c.lastError(), 0);
  ASSERT_TRUE(c.isOpen());
  c.sendString("s{10,3}\r\n");
  EXPECT_EQ(c.lastError(), 0);
  EXPECT_EQ(receive(c, 9), "S{10,3}\r\n");
  c.sendString("bye");
  EXPECT_EQ(receive(c, 3), "BYE");
  // The peer closed: a receive now fails instead of timing out for ever.
  std::string rest;
  int err = 0;
  for (int i = 0; i < 50 && err == 0; ++i) {
    rest += c.recvPacket(100);
    err = c.lastError() == WSAETIMEDOUT ? 0 : c.lastError();
  }
  EXPECT_TRUE(rest.empty());
  EXPECT_NE(err, 0);
  c.closeSocket();
  EXPECT_FALSE(c.isOpen());
}

TEST(TcpClientTest, ReceiveTimesOutEmptyWhenNothingWaits) {
  EchoServer server;
  pel::TcpClient c;
  c.connect("127.0.0.1", server.port());
  ASSERT_EQ(c.lastError(), 0);
  EXPECT_EQ(c.recvPacket(20), "");
  EXPECT_EQ(c.lastError(), WSAETIMEDOUT);
  c.sendString("bye");
}

TEST(TcpClientTest, WakeEndsAWaitEarlyAndDataStillArrivesAfterIt) {
  EchoServer server;
  pel::TcpClient c;
  c.connect("127.0.0.1", server.port());
  ASSERT_EQ(c.lastError(), 0);
  ASSERT_TRUE(c.wakeable());
  const auto t0 = std::chrono::steady_clock::now();
  std::thread waker([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    c.wake();
  });
  EXPECT_EQ(c.recvPacket(60000), "");
  waker.join();
  EXPECT_EQ(c.lastError(), WSAETIMEDOUT);
  // Far below the minute asked for: the wake ended it.
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(30));
  // Wakes that nobody waited for end one wait at most, and lose no data.
  c.wake();
  c.wake();
  c.sendString("bye");
  EXPECT_EQ(receive(c, 3), "BYE");
}

TEST(TcpClientTest, ConnectToNoListenerFailsAndSendsFail) {
  pel::TcpClient c;
  {
    EchoServer gone;  // learn a free port, then let it close
    c.connect("127.0.0.1", gone.port());
    c.sendString("bye");
    c.closeSocket();
  }
  c.connect("127.0.0.1", "1");
  EXPECT_NE(c.lastError(), 0);
  EXPECT_FALSE(c.isOpen());
  c.sendString("x");
  EXPECT_EQ(c.lastError(), WSAENOTCONN);
  EXPECT_EQ(c.recvPacket(10), "");
  EXPECT_NE(c.lastError(), 0);
}

}  // namespace
