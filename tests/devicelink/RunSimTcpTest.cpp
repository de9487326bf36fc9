// A run against the simulated interface over TCP 127.0.0.1:4000 (Tolemic).
#include <gtest/gtest.h>

#include "RunSimCheck.h"

namespace {
using pel::sim::InterfaceSim;
using pel::sim::Model;

TEST(RunSimTcp, TolemicNormalRunStopsAfterThePlannedRecords) {
  InterfaceSim sim(Model::SornII);
  sim.startTcp(4000);
  auto p = runsim::ConnectTcp();
  ASSERT_TRUE(p);
  runsim::NormalRun(*p, sim, 20);
  EXPECT_EQ(sim.log().count("s{146,0}"), 1u);
  EXPECT_EQ(sim.log().count("s{12,0.010000,20}"), 1u);
  EXPECT_EQ(p->CloseComm(), 0);
}

// Over TCP the interface is a Tolemic: the fast block stream below 0.01 s,
// the sampling time with the planned count, outputs in every input mode.
TEST(RunSimTcp, TolemicStartsEachInputModeWithItsCommands) {
  InterfaceSim sim(Model::Qor3);
  sim.startTcp(4000);
  auto p = runsim::ConnectTcp();
  ASSERT_TRUE(p);
  const std::vector<runsim::SequenceCase> cases = {
      {"0.2 s", [](TPelmora&) {}, {"s{146,0}", "s{11,1}", "s{12,0.200000,51}", "s{23,0}", "s{10,1}", "s{10,0}", "s{50,0}"},
       true},
      {"0.01 s is still the normal stream", [](TPelmora& c) { c.SamplingTime(0.01); },
       {"s{146,0}", "s{11,1}", "s{12,0.010000,1001}", "s{23,0}", "s{10,1}", "s{10,0}", "s{50,0}"}, true},
      {"below 0.01 s: the fast block stream",
       [](TPelmora& c) {
         c.SamplingTime(0.005);
         c.NoOfOverSampling(2);
       },
       {"s{146,1}", "s{11,1}", "s{12,0.005000,2001}", "s{23,2}", "s{10,1}", "s{10,0}", "s{50,0}"}, true},
      {"8-port", [](TPelmora& c) { c.F_.GetModeFor8Port = true; },
       {"s{146,0}", "s{11,5}", "s{12,0.200000,51}", "s{23,2}", "s{10,1}", "s{10,0}", "s{50,0}"}, true},
      {"timing stream, channel B",
       [](TPelmora& c) {
         TPelmora::State().sensors.ch[0].active = false;
         c.CHInputMode(CHInput::Digital);
       },
       {"s{11,0}", "s{13,2}", "s{10,1}", "s{10,0}", "s{50,0}"}, true},
      {"scope with a stored output",
       [](TPelmora& c) {
         c.CHInputMode(CHInput::Scope);
         TPelmora::State().pwmOptionStored = true;
       },
       {"s{11,3}", "s{88,1,20}", "s{14,1,  50,  50,  50}", "s{88,0}", "s{50,0}"}, false},
  };
  runsim::RunSequences(*p, sim, cases);
  TPelmora::State().pwmOptionStored = false;
  EXPECT_EQ(p->CloseComm(), 0);
}

}  // namespace
