// The TCP worker and the component's end over real threads and a local peer.
#include <winsock2.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "devicelink/Pelmora.h"
#include "devicelink/WinsockDaemon.h"
#include "FakeLink.h"
#include "platform/HandOver.h"
#include "platform/MessageLoop.h"
#include "tests/support/LoopbackListener.h"

namespace {

// A peer on 127.0.0.1 and a free port: after accepting it streams frames
// (stream), echoes (echo) or closes at once (close), until the client goes.
class Peer {
 public:
  enum class Mode { Stream, Echo, Close };
  explicit Peer(Mode mode) : mode_(mode) {
    listen_ = pel::test::ListenOnLoopback(1, port_);
    thread_ = std::thread([this] { Serve(); });
  }
  ~Peer() {
    closesocket(listen_);
    thread_.join();
  }
  std::string Port() const { return std::to_string(port_); }

 private:
  void Serve() {
    SOCKET c = accept(listen_, nullptr, nullptr);
    if (c == INVALID_SOCKET) return;
    if (mode_ == Mode::Stream) {
      while (send(c, "{1 2}\r\n", 7, 0) > 0) Sleep(1);
    } else if (mode_ == Mode::Echo) {
      char buf[256];
      for (int n; (n = recv(c, buf, sizeof buf, 0)) > 0;) send(c, buf, n, 0);
    }
    closesocket(c);
  }
  Mode mode_;
  SOCKET listen_;
  int port_ = 0;
  std::thread thread_;
};

// A peer on 127.0.0.1 and a free port that takes one connection after
// another and keeps what arrived on each. Drop() ends the current one from
// this side; with closeFirst the first connection ends after its first piece.
class RecordingPeer {
 public:
  explicit RecordingPeer(bool closeFirst = false) : closeFirst_(closeFirst) {
    listen_ = pel::test::ListenOnLoopback(4, port_);
    thread_ = std::thread([this] { Serve(); });
  }
  ~RecordingPeer() {
    closesocket(listen_);
    Drop();
    thread_.join();
  }
  std::string Port() const { return std::to_string(port_); }
  void Drop() {
    std::lock_guard lock(lock_);
    if (current_ != INVALID_SOCKET) shutdown(current_, SD_BOTH);  // Serve closes it
  }
  std::vector<std::string> Received() const {
    std::lock_guard lock(lock_);
    return received_;
  }

 private:
  void Serve() {
    for (;;) {
      SOCKET c = accept(listen_, nullptr, nullptr);
      if (c == INVALID_SOCKET) return;
      bool first;
      {
        std::lock_guard lock(lock_);
        first = received_.empty();
        received_.emplace_back();
        current_ = c;
      }
      char buf[256];
      for (int n; (n = recv(c, buf, sizeof buf, 0)) > 0;) {
        std::lock_guard lock(lock_);
        received_.back().append(buf, static_cast<std::size_t>(n));
        if (first && closeFirst_) shutdown(c, SD_BOTH);
      }
      std::lock_guard lock(lock_);
      current_ = INVALID_SOCKET;
      closesocket(c);
    }
  }
  const bool closeFirst_;
  SOCKET listen_;
  int port_ = 0;
  mutable std::mutex lock_;  // guards received_ and current_
  std::vector<std::string> received_;
  SOCKET current_ = INVALID_SOCKET;
  std::thread thread_;
};

pel::link::LinkEnvironment RealWorkerEnv(fake::Rig& rig, const std::string& port) {
  auto env = TPelmora::DefaultEnvironment();
  auto fakes = rig.Env();
  env.makeSerial = fakes.makeSerial;
  env.usb = rig.usb;
  env.makeWorker = [port] { return std::make_unique<pel::link::TWinsockDaemon>("127.0.0.1", port); };
  return env;
}

template <class Pred>
bool ServiceUntil(Pred done) {
  for (int i = 0; i < 400 && !done(); ++i) {
    pel::HandOver::instance().runPending();
    pel::pumpMessages();
    Sleep(5);
  }
  return done();
}

TEST(Teardown, ComponentWithAConnectedPeerAndAWorkerBlockedInAHandOverEnds) {
  Peer peer(Peer::Mode::Stream);
  fake::Rig rig;
  auto p = TPelmora::Create(nullptr, LinkFlavour::Studio(), RealWorkerEnv(rig, peer.Port()));
  int events = 0;
  p->PelmoraError([&](TPelmora&, int) { ++events; });
  p->Worker().ConnectLocal();
  ASSERT_TRUE(p->Worker().IsConnected());
  // Without pumping, the worker soon waits in a hand-over for this thread.
  for (int i = 0; i < 400 && pel::HandOver::instance().pendingCount() == 0; ++i) Sleep(5);
  ASSERT_GT(pel::HandOver::instance().pendingCount(), 0u);
  p.reset();  // returns: the hand-over is serviced while the worker is joined
  EXPECT_EQ(pel::HandOver::instance().pendingCount(), 0u);
  EXPECT_EQ(events, 0);
}

TEST(Teardown, WorkerHandsReceivedTextToTheMainThreadAndNoticesALostPeer) {
  Peer peer(Peer::Mode::Echo);
  pel::HandOver::instance().setMainThread();
  pel::link::TWinsockDaemon w("127.0.0.1", peer.Port());
  const DWORD main = GetCurrentThreadId();
  std::string got;
  bool onMain = true;
  int lost = 0;
  w.SetHandlers({[&] {
                   onMain = onMain && GetCurrentThreadId() == main;
                   got += w.PopReceived();
                 },
                 {},
                 [&] { ++lost; }});
  w.ConnectLocal();
  ASSERT_TRUE(w.IsConnected());
  w.QueueSend("s{10,3}\r\n");
  EXPECT_TRUE(ServiceUntil([&] { return got.size() >= 9; }));
  EXPECT_EQ(got, "s{10,3}\r\n");
  EXPECT_TRUE(onMain);
  w.Disconnect();
  EXPECT_FALSE(w.IsConnected());
  ServiceUntil([] { return false; });
  EXPECT_EQ(lost, 0) << "our own disconnect is no loss";
}

TEST(Teardown, ClosedConnectionClearsTheConnectedFlag) {
  Peer peer(Peer::Mode::Close);
  pel::HandOver::instance().setMainThread();
  pel::link::TWinsockDaemon w("127.0.0.1", peer.Port());
  const DWORD main = GetCurrentThreadId();
  int lost = 0;
  bool onMain = true;
  w.SetHandlers({{}, {}, [&] {
                   onMain = onMain && GetCurrentThreadId() == main;
                   ++lost;
                 }});
  w.ConnectLocal();
  EXPECT_TRUE(ServiceUntil([&] { return !w.IsConnected(); }));
  EXPECT_TRUE(ServiceUntil([&] { return lost > 0; }));
  EXPECT_EQ(lost, 1);
  EXPECT_TRUE(onMain);
  pel::link::TWinsockDaemon none("127.0.0.1", "1");
  none.ConnectLocal();
  EXPECT_FALSE(none.IsConnected());
}

// Whichever way a connection ends, what was queued for it never goes out on
// the next one: the peer's second connection sees only the text sent on it.
TEST(Teardown, TextsQueuedForAnEndedConnectionNeverReachTheNextOne) {
  pel::HandOver::instance().setMainThread();
  const std::string fresh = "s{10,3}\r\n";
  struct Case {
    const char* what;
    bool peerClosesAfterFirstText;  // else the test drops it when the first text arrived
    bool queueWhileDropped;
    bool disconnectFirst;
  };
  const Case cases[] = {
      {"queued while dropped, then connected again", false, true, false},
      {"queued while dropped, disconnected, then connected again", false, true, true},
      {"queued before the worker dropped, then connected again", true, false, false},
      {"queued before the worker dropped, disconnected, then connected again", true, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RecordingPeer peer(c.peerClosesAfterFirstText);
    pel::link::TWinsockDaemon w("127.0.0.1", peer.Port());
    int lost = 0;
    w.SetHandlers({[&] { w.PopReceived(); }, [&] { ++lost; }, [&] { ++lost; }});
    w.ConnectLocal();
    ASSERT_TRUE(w.IsConnected());
    w.QueueSend("s{10,1}\r\n");
    // Still queued when the peer goes: the worker sends one text per 50 ms.
    if (!c.queueWhileDropped)
      for (int i = 0; i < 5; ++i) w.QueueSend("s{10,0}\r\n");
    ASSERT_TRUE(ServiceUntil([&] { return !peer.Received().empty() && !peer.Received()[0].empty(); }));
    if (!c.peerClosesAfterFirstText) peer.Drop();
    ASSERT_TRUE(ServiceUntil([&] { return !w.IsConnected() && lost > 0; }));
    if (c.queueWhileDropped)
      for (int i = 0; i < 5; ++i) w.QueueSend("s{10,0}\r\n");
    if (c.disconnectFirst) w.Disconnect();
    w.ConnectLocal();
    ASSERT_TRUE(w.IsConnected());
    w.QueueSend(fresh);
    ASSERT_TRUE(ServiceUntil([&] {
      const auto r = peer.Received();
      return r.size() == 2 && r[1].find(fresh) != std::string::npos;
    }));
    Sleep(150);  // a stale text would be sent by now
    const auto r = peer.Received();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[1], fresh);
    w.Disconnect();
  }
}

std::int64_t ProcessCpuMs() {
  FILETIME c, e, k, u;
  GetProcessTimes(GetCurrentProcess(), &c, &e, &k, &u);
  auto ms = [](FILETIME f) { return ((static_cast<std::int64_t>(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 10000; };
  return ms(k) + ms(u);
}

TEST(Teardown, WorkerWithoutAConnectionWaitsInsteadOfSpinning) {
  // Positive control: the process clock must see a spinning thread at all.
  std::int64_t before = ProcessCpuMs();
  std::thread spin([] {
    const DWORD end = GetTickCount() + 150;
    while (GetTickCount() < end) {
    }
  });
  spin.join();
  if (ProcessCpuMs() - before < 75) GTEST_SKIP() << "process times not measurable here";

  pel::link::TWinsockDaemon w("127.0.0.1", "1");
  before = ProcessCpuMs();
  Sleep(150);
  EXPECT_LT(ProcessCpuMs() - before, 50);
}

}  // namespace
