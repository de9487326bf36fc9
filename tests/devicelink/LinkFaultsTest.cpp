// A misbehaving link over in-process fakes: a user-set port that is missing
// for a moment, a TCP connection that goes away.
#include <gtest/gtest.h>

#include <algorithm>

#include "devicelink/Pelmora.h"
#include "FakeLink.h"

namespace {

class LinkFaultsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    p = TPelmora::Create(nullptr, LinkFlavour::Studio(), rig.Env());
    p->PelmoraError([this](TPelmora&, int n) { errors.push_back(n); });
    p->StopExperiment([this](TPelmora&) { ++stops; });
    p->Hooks().autoSensorId = nullptr;
  }
  static std::string Answer(const std::string& identify, const std::string& cmd) {
    if (cmd == "s{10,3}") return identify + "\r\n";
    if (cmd == "s{16,0}") return "{1}\r\n";
    if (cmd == "s{10,R}") return "{P-100}\r\n";
    if (cmd == "s{10,4}") return "{2.1}\r\n";
    return {};
  }
  fake::Rig rig;
  std::shared_ptr<TPelmora> p;
  std::vector<int> errors;
  int stops = 0;
};

TEST_F(LinkFaultsTest, UserSetPortMissingForOneConnectIsKeptForTheNext) {
  rig.serial->listed = {"COM5"};
  p->VCPort(5);
  ASSERT_EQ(p->VCPort(), 5);
  p->AutoDetect(false);
  rig.serial->listed.clear();  // unplugged for a moment
  EXPECT_EQ(p->InitializeComm(), 1);
  EXPECT_EQ(p->VCPort(), 5);

  rig.serial->listed = {"COM5"};
  rig.serial->answering["COM5"] = [](const std::string& cmd) { return Answer("{Pelmora SORN II}", cmd); };
  errors.clear();
  EXPECT_EQ(p->InitializeComm(), 0);
  EXPECT_EQ(p->PelmoraType(), "Sorn II");
  EXPECT_EQ(rig.serial->port, "COM5");
  EXPECT_EQ(p->VCPort(), 5);
  EXPECT_TRUE(errors.empty());
}

// A connected COM port that takes no more writes has gone: the same as a loss.
TEST_F(LinkFaultsTest, FailedWriteOnAConnectedPortIsTheLinksLoss) {
  rig.serial->listed = {"COM5"};
  rig.serial->answering["COM5"] = [](const std::string& cmd) { return Answer("{Pelmora SORN II}", cmd); };
  p->VCPort(5);
  p->AutoDetect(false);
  ASSERT_EQ(p->InitializeComm(), 0);
  rig.serial->failWrites = true;
  p->SetScopeTime(40);
  EXPECT_EQ(errors, std::vector<int>{8});
  EXPECT_FALSE(rig.serial->open);
  EXPECT_FALSE(p->PelmoraConnected());
  EXPECT_EQ(p->RunningMode(), -1);
  p->SetScopeTime(40);
  EXPECT_EQ(errors, (std::vector<int>{8, 8}));
  rig.serial->failWrites = false;
  EXPECT_EQ(p->InitializeComm(), 0);
  EXPECT_EQ(p->PelmoraType(), "Sorn II");
}

// The worker noticed the peer's close (or a failed send): what its hand-over does.
TEST_F(LinkFaultsTest, LostTcpConnectionClosesTheLinkOnceAndCommandsThenFail) {
  rig.worker->peer = [](const std::string& cmd) { return Answer("{Pelmora SORN}", cmd); };
  p->AutoDetect(false);
  p->UseOnlyTolemic(true);
  ASSERT_EQ(p->InitializeComm(), 0);
  ASSERT_EQ(p->PelmoraType(), "Tolemic");
  auto lose = [this](std::function<void()> pel::link::SocketWorker::Handlers::*which) {
    rig.worker->connected = false;
    (rig.worker->handlers.*which)();
  };
  lose(&pel::link::SocketWorker::Handlers::lost);
  EXPECT_EQ(errors, std::vector<int>{8});
  EXPECT_EQ(p->ErrorNumber(), 8);
  EXPECT_FALSE(p->PelmoraConnected());
  EXPECT_EQ(p->RunningMode(), -1);
  EXPECT_EQ(p->PelmoraType(), "none");
  lose(&pel::link::SocketWorker::Handlers::sendFailed);  // the same loss seen twice
  EXPECT_EQ(errors, std::vector<int>{8});

  const std::size_t sent = rig.worker->sent.size();
  p->SetScopeTime(40);
  EXPECT_EQ(errors, (std::vector<int>{8, 8})) << "a command after the loss goes nowhere";
  EXPECT_EQ(rig.worker->sent.size(), sent);

  errors.clear();
  EXPECT_EQ(p->InitializeComm(), 0);
  EXPECT_TRUE(p->PelmoraConnected());
  EXPECT_EQ(p->RunningMode(), 0);
  p->SetScopeTime(40);
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(rig.worker->sent.back(), "s{89,40}\r\n");

  // Lost while a command waits for its reply: that exchange ends first.
  bool armed = true;
  rig.host->onPump = [&] {
    if (!armed) return;
    armed = false;
    lose(&pel::link::SocketWorker::Handlers::lost);
  };
  p->F_.CheckForExperiment = false;
  p->Pelmora(true);
  rig.host->onPump = nullptr;
  EXPECT_EQ(std::count(errors.begin(), errors.end(), 8), 1);
  EXPECT_FALSE(p->PelmoraConnected());
  EXPECT_EQ(p->RunningMode(), -1);
  EXPECT_FALSE(p->Run());
  EXPECT_EQ(p->ErrorNumber(), 8);
}

}  // namespace
