// The device link against the simulated interface on TCP 127.0.0.1:4000.
#include <gtest/gtest.h>

#include <chrono>

#include "devicelink/Pelmora.h"
#include "sim/interface/InterfaceSim.h"

namespace {
using namespace std::chrono_literals;
using pel::sim::InterfaceSim;
using pel::sim::Model;

struct Link {
  std::shared_ptr<TPelmora> p;
  std::vector<int> errors;
  Link() {
    p = TPelmora::Create(nullptr, LinkFlavour::Studio(), TPelmora::DefaultEnvironment());
    p->PelmoraError([this](TPelmora&, int n) { errors.push_back(n); });
    // TCP only (the COM search finds no adapter ports under test).
    p->AutoDetect(false);
    p->UseOnlyTolemic(true);
  }
};

TEST(LinkSimTcp, AnyModelOverTcpIsTolemicAndReconnects) {
  InterfaceSim sim(Model::SornII);
  sim.startTcp(4000);
  Link l;
  ASSERT_EQ(l.p->InitializeComm(), 0);
  EXPECT_EQ(l.p->PelmoraType(), "Tolemic");
  EXPECT_EQ(l.p->ProductNo(), "Tolemic");
  EXPECT_EQ(l.p->VersionNo(), "6.0");
  EXPECT_EQ(l.p->Max_Record_Count(), 5000);
  EXPECT_TRUE(l.p->InterfaceFunction_TimmingMode());  // SORN answers the timing probe
  EXPECT_FALSE(l.p->InterfaceFunction_ScopeMode());
  EXPECT_FALSE(l.p->Mode8Port());
  EXPECT_TRUE(l.errors.empty());
  for (const char* cmd : {"s{10,3}", "s{16,0}", "s{11,3}", "s{11,5}"}) EXPECT_EQ(sim.log().count(cmd), 1u) << cmd;
  EXPECT_EQ(l.p->CloseComm(), 0);
  EXPECT_EQ(l.p->PelmoraType(), "none");

  sim.setModel(Model::Qor);
  ASSERT_EQ(l.p->InitializeComm(), 0);
  EXPECT_EQ(l.p->PelmoraType(), "Tolemic");
  EXPECT_TRUE(l.p->InterfaceFunction_ScopeMode());
  EXPECT_TRUE(l.p->Mode8Port());
  EXPECT_EQ(sim.log().count("s{10,3}"), 2u);
  EXPECT_EQ(l.p->CloseComm(), 0);
}

TEST(LinkSimTcp, SilentOrGarbagePeerIsNoInterface) {
  InterfaceSim sim(Model::Qor);
  sim.startTcp(4000);
  for (bool silent : {true, false}) {
    pel::sim::Faults f;
    f.silent = silent;
    f.garbageEvery = silent ? 0 : 1;
    sim.setFaults(f);
    Link l;
    EXPECT_EQ(l.p->InitializeComm(), 1) << silent;
    EXPECT_EQ(l.errors, std::vector<int>{1}) << silent;
    EXPECT_FALSE(l.p->PelmoraConnected());
    EXPECT_EQ(l.p->PelmoraType(), "none");
  }
}

TEST(LinkSimTcp, NoInterfaceAtAllGivesError1AndTheEvent) {
  Link l;
  EXPECT_EQ(l.p->InitializeComm(), 1);
  EXPECT_EQ(l.errors, std::vector<int>{1});
  EXPECT_EQ(l.p->ErrorNumber(), 1);
  EXPECT_EQ(l.p->RunningMode(), -1);
}

}  // namespace
