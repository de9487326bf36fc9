// The simulated interface goes away in the middle of a run: over TCP it
// closes the connection after four frames; on a COM port the pty pair
// 27<->28 is taken down. The loss is reported once, the run ends, the link
// counts as closed and a later connect works again.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>

#include "tests/devicelink/ComPairScript.h"
#include "tests/devicelink/ListedPort.h"
#include "tests/devicelink/RunSimCheck.h"

namespace {
using namespace std::chrono_literals;
using pel::sim::InterfaceSim;
using pel::sim::Model;

struct Watch {
  std::vector<int> errors;
  std::vector<std::string> records;
  int stops = 0;
  bool connectedAtStop = true;
  void Attach(TPelmora& p) {
    p.PelmoraError([this](TPelmora&, int n) { errors.push_back(n); });
    p.DataReceived([this](TPelmora&, const std::wstring& d) { records.emplace_back(d.begin(), d.end()); });
    p.StopExperiment([this](TPelmora&) { ++stops; });
  }
};

// Channels A and B, 50 ms samples, far more planned than the box will send.
void StartRun(TPelmora& p) {
  runsim::PlanAnalogRun(p, 0.05, 200);
  ASSERT_EQ(p.Pelmora(true), 0);
  ASSERT_EQ(p.RunningMode(), 1);
}

// records: how many came before the loss, where the test knows it.
void ExpectLost(TPelmora& p, Watch& w, std::optional<std::size_t> records) {
  ASSERT_TRUE(runsim::PumpUntil([&] { return w.stops > 0; }, 10s)) << w.records.size() << " records";
  runsim::PumpUntil([] { return false; }, 300ms);  // nothing more comes
  EXPECT_EQ(w.errors, std::vector<int>{8});
  EXPECT_EQ(w.stops, 1);
  if (records) {
    EXPECT_EQ(w.records.size(), *records);
  }
  EXPECT_FALSE(p.PelmoraConnected());
  EXPECT_EQ(p.RunningMode(), -1);
  EXPECT_FALSE(p.Run());
  EXPECT_EQ(p.ExperimentMode(), 0);
  EXPECT_EQ(p.PelmoraType(), "none");
  EXPECT_EQ(p.ErrorNumber(), 8);
  // A command on the lost link fails instead of vanishing.
  p.SetScopeTime(40);
  EXPECT_EQ(w.errors, (std::vector<int>{8, 8}));
}

TEST(LinkLossSimTcp, ClosedConnectionEndsTheRunOnceAndTheNextConnectWorks) {
  InterfaceSim sim(Model::SornII);
  auto faults = sim.faults();
  faults.closeAfterFrames = 4;
  sim.setFaults(faults);
  sim.startTcp(4000);
  auto p = runsim::ConnectTcp();
  ASSERT_TRUE(p);
  Watch w;
  w.Attach(*p);
  StartRun(*p);
  ExpectLost(*p, w, 4);

  w.errors.clear();
  EXPECT_EQ(p->InitializeComm(), 0);
  EXPECT_EQ(p->PelmoraType(), "Tolemic");
  EXPECT_EQ(p->RunningMode(), 0);
  EXPECT_EQ(sim.connections(), 2);
  EXPECT_TRUE(w.errors.empty());
  EXPECT_EQ(p->CloseComm(), 0);
}

bool ComPair(const char* action) { return compair::Run(action, 27, 28); }

TEST(LinkLossSimCom, PortGoneEndsTheRunOnceAndTheNextConnectWorks) {
  const ListedPort listed("PelmoraLinkLossTest27", 27);
  ASSERT_TRUE(listed.Put());
  auto sim = std::make_unique<InterfaceSim>(Model::SornII);
  sim->startCom(28);
  auto p = runsim::ConnectCom(27, "Sorn II");
  ASSERT_TRUE(p);
  Watch w;
  w.Attach(*p);
  StartRun(*p);
  ASSERT_TRUE(runsim::PumpUntil([&] { return w.records.size() >= 3; }, 10s));
  ASSERT_TRUE(ComPair("stop"));
  // The pair goes down a while after the script starts: records may still
  // come meanwhile, but the run ends long before its plan.
  ExpectLost(*p, w, std::nullopt);
  EXPECT_LT(w.records.size(), 100u);

  sim.reset();
  ASSERT_TRUE(ComPair("start"));
  Sleep(500);  // the old links are replaced first
  sim = compair::ServeWithin(Model::SornII, 28, 10s);
  ASSERT_TRUE(sim);
  w.errors.clear();
  EXPECT_EQ(p->InitializeComm(), 0);
  EXPECT_EQ(p->PelmoraType(), "Sorn II");
  EXPECT_EQ(p->RunningMode(), 0);
  EXPECT_TRUE(w.errors.empty());
  EXPECT_EQ(p->CloseComm(), 0);
  p.reset();
}

}  // namespace
