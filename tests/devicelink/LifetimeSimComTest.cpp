// A host lets go of the component inside an event of a run over the COM pair
// 7<->8; then a new component in the same process opens the same port and runs.
#include <windows.h>

#include <gtest/gtest.h>

#include "LifetimeSimCheck.h"
#include "platform/Registry.h"

namespace {
using pel::reg::Root;
using pel::sim::InterfaceSim;
using pel::sim::Model;

const char* const kList = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

std::shared_ptr<TPelmora> ConnectCom() {
  auto p = TPelmora::Create(nullptr, LinkFlavour::Studio(), TPelmora::DefaultEnvironment());
  p->AutoDetect(false);
  p->VCPort(7);
  EXPECT_EQ(p->InitializeComm(), 0);
  EXPECT_EQ(p->PelmoraType(), "Aster");
  return p;
}

class LifetimeSimCom : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(pel::reg::writeString(Root::LocalMachine, kList, "PelmoraLifeTest7", "COM7")); }
  void TearDown() override {
    HKEY k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kList, 0, KEY_SET_VALUE, &k) == ERROR_SUCCESS) {
      RegDeleteValueA(k, "PelmoraLifeTest7");
      RegCloseKey(k);
    }
  }
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
    runsim::NormalRun(*q, sim, 20);
    EXPECT_EQ(q->CloseComm(), 0);
  }
};

TEST_F(LifetimeSimCom, ReleaseInsideStopExperimentAfterTheAutomaticStop) {
  ReleaseThenRunAgain(lifetime::ReleaseIn::StopAfterAutoStop);
}

TEST_F(LifetimeSimCom, ReleaseInsideDataReceivedOnTheReceivePath) {
  ReleaseThenRunAgain(lifetime::ReleaseIn::DataReceived);
}

}  // namespace
