// A run against the simulated interface over TCP 127.0.0.1:4000 (Tolemic).
#include <gtest/gtest.h>

#include "RunSimCheck.h"

namespace {
using pel::sim::InterfaceSim;
using pel::sim::Model;

TEST(RunSimTcp, TolemicNormalRunStopsAfterThePlannedRecords) {
  InterfaceSim sim(Model::SornII);
  sim.startTcp(4000);
  auto p = TPelmora::Create(nullptr, LinkFlavour::Studio(), TPelmora::DefaultEnvironment());
  p->AutoDetect(false);
  p->UseOnlyTolemic(true);
  ASSERT_EQ(p->InitializeComm(), 0);
  ASSERT_EQ(p->PelmoraType(), "Tolemic");
  runsim::NormalRun(*p, sim, 20);
  EXPECT_EQ(sim.log().count("s{146,0}"), 1u);
  EXPECT_EQ(sim.log().count("s{12,0.010000,20}"), 1u);
  EXPECT_EQ(p->CloseComm(), 0);
}

}  // namespace
