// A host lets go of the component inside an event of a run over TCP
// 127.0.0.1:4000; then a new component in the same process connects and runs.
#include <gtest/gtest.h>

#include "tests/devicelink/LifetimeSimCheck.h"

namespace {
using pel::sim::InterfaceSim;
using pel::sim::Model;

void ReleaseThenRunAgain(lifetime::ReleaseIn where) {
  using namespace std::chrono_literals;
  {
    InterfaceSim sim(Model::SornII);
    sim.startTcp(4000);
    lifetime::ReleaseDuringARun(runsim::ConnectTcp, where);
    // The component ended: its connection is closed.
    EXPECT_TRUE(runsim::PumpUntil([&] { return !sim.peerConnected(); }, 3s));
  }
  InterfaceSim sim(Model::SornII);
  sim.startTcp(4000);
  auto q = runsim::ConnectTcp();
  ASSERT_TRUE(q);
  runsim::NormalRun(*q, sim, 20);
  EXPECT_EQ(q->CloseComm(), 0);
}

TEST(LifetimeSimTcp, ReleaseInsideStopExperimentAfterTheAutomaticStop) {
  ReleaseThenRunAgain(lifetime::ReleaseIn::StopAfterAutoStop);
}

TEST(LifetimeSimTcp, ReleaseInsideDataReceivedOnTheReceivePath) {
  ReleaseThenRunAgain(lifetime::ReleaseIn::DataReceived);
}

}  // namespace
