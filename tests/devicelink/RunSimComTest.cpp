// A run against the simulated interface over the COM pair 7<->8 (box models).
#include <gtest/gtest.h>

#include "tests/devicelink/ListedPort.h"
#include "tests/devicelink/RunSimCheck.h"

namespace {
using pel::sim::InterfaceSim;
using pel::sim::Model;

TEST(RunSimCom, BoxModelNormalRunStopsAfterThePlannedRecords) {
  const ListedPort listed("PelmoraRunTest7", 7);
  ASSERT_TRUE(listed.Put());
  InterfaceSim sim(Model::Aster);
  sim.startCom(8);
  auto p = runsim::ConnectCom(7, "Aster");
  ASSERT_TRUE(p);
  runsim::NormalRun(*p, sim, 20);
  EXPECT_EQ(sim.log().count("s{12,0.010}"), 1u);
  EXPECT_EQ(p->CloseComm(), 0);
}

}  // namespace
