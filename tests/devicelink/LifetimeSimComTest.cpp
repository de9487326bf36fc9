// A host lets go of the component inside an event of a run over the COM pair
// 7<->8; then a new component in the same process opens the same port and runs.
#include <gtest/gtest.h>

#include "tests/devicelink/LifetimeSimCheck.h"
#include "tests/devicelink/ListedPort.h"

namespace {
using pel::sim::InterfaceSim;
using pel::sim::Model;

std::shared_ptr<TPelmora> ConnectCom() { return runsim::ConnectCom(7, "Aster"); }

class LifetimeSimCom : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(listed_.Put()); }
  void TearDown() override { listed_.Remove(); }
  void ReleaseThenRunAgain(lifetime::ReleaseIn where) {
    {
      InterfaceSim sim(Model::Aster);
      sim.startCom(8);
      lifetime::ReleaseDuringARun(ConnectCom, where);
    }
    // The port of the component that ended is closed: a new one opens it.
    InterfaceSim sim(Model::Aster);
    sim.startCom(8);
    auto q = ConnectCom();
    ASSERT_TRUE(q);
    runsim::NormalRun(*q, sim, 20);
    EXPECT_EQ(q->CloseComm(), 0);
  }

 private:
  ListedPort listed_{"PelmoraLifeTest7", 7};
};

TEST_F(LifetimeSimCom, ReleaseInsideStopExperimentAfterTheAutomaticStop) {
  ReleaseThenRunAgain(lifetime::ReleaseIn::StopAfterAutoStop);
}

TEST_F(LifetimeSimCom, ReleaseInsideDataReceivedOnTheReceivePath) {
  ReleaseThenRunAgain(lifetime::ReleaseIn::DataReceived);
}

}  // namespace
