// The device link against the simulated interface over the COM pair 7<->8.
#include <gtest/gtest.h>

#include "devicelink/Pelmora.h"
#include "sim/interface/InterfaceSim.h"
#include "tests/devicelink/ListedPort.h"

namespace {
using pel::sim::InterfaceSim;
using pel::sim::Model;

// The system lists only COM1: list the link's end of the pair.
class LinkSimCom : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(listed.Put());
    p = TPelmora::Create(nullptr, LinkFlavour::Studio(), TPelmora::DefaultEnvironment());
    p->PelmoraError([this](TPelmora&, int n) { errors.push_back(n); });
    p->AutoDetect(false);  // the COM port only
    p->VCPort(7);
    ASSERT_EQ(p->VCPort(), 7);
  }
  void TearDown() override {
    p.reset();
    listed.Remove();
  }
  ListedPort listed{"PelmoraLinkTest7", 7};
  std::shared_ptr<TPelmora> p;
  std::vector<int> errors;
};

TEST_F(LinkSimCom, EachModelIdentifiesProbesAndReadsProductInfo) {
  struct Case {
    Model model;
    const char* type;
    const char* product;
    const char* version;
    bool timing, scope, eightPort;
    int maxRecords;
  };
  const Case cases[] = {
      {Model::SornII, "Sorn II", "SORN-2", "2.1", true, false, false, 50000},
      {Model::Aster, "Aster", "ASTER-1", "3.0", true, true, false, 50000},
      {Model::Vaxo, "Vaxo", "VAXO-1", "3.0", true, true, false, 50000},
      {Model::Qor, "Qor", "QOR-1", "4.2", true, true, true, 50000},
      {Model::Qor3, "Qor-3", "QOR-3", "5.0", true, true, true, 5000},
      {Model::Unnamed, "none", "", "", false, false, false, 50000},
  };
  InterfaceSim sim;
  sim.startCom(8);
  for (const auto& c : cases) {
    sim.setModel(c.model);
    sim.log().clear();
    p->F_.Max_Record_Count = 50000;
    ASSERT_EQ(p->InitializeComm(), 0) << c.type;
    EXPECT_TRUE(p->PelmoraConnected()) << c.type;
    EXPECT_EQ(p->PelmoraType(), c.type);
    EXPECT_EQ(p->ProductNo(), c.product) << c.type;
    EXPECT_EQ(p->VersionNo(), c.version) << c.type;
    EXPECT_EQ(p->InterfaceFunction_TimmingMode(), c.timing) << c.type;
    EXPECT_EQ(p->InterfaceFunction_ScopeMode(), c.scope) << c.type;
    EXPECT_EQ(p->Mode8Port(), c.eightPort) << c.type;
    EXPECT_EQ(p->Max_Record_Count(), c.maxRecords) << c.type;
    EXPECT_EQ(p->VCPort(), 7);
    EXPECT_EQ(sim.log().count(""), 1u) << "one wake-up line";
    EXPECT_EQ(sim.log().count("s{10,3}"), 1u);
    EXPECT_EQ(p->CloseComm(), 0);
    EXPECT_FALSE(p->PelmoraConnected());
    EXPECT_FALSE(p->Port().IsOpen());
    p->F_.ProductNo.clear();
    p->F_.VersionNo.clear();
  }
  EXPECT_TRUE(errors.empty());
}

TEST_F(LinkSimCom, SilentPortAndGarbageCountAsNoInterface) {
  InterfaceSim sim(Model::Qor);
  sim.startCom(8);
  for (bool silent : {true, false}) {
    pel::sim::Faults f;
    f.silent = silent;
    f.garbageEvery = silent ? 0 : 1;
    sim.setFaults(f);
    errors.clear();
    p->VCPort(7);
    EXPECT_EQ(p->InitializeComm(), 1) << silent;
    EXPECT_EQ(errors, std::vector<int>{1});
    EXPECT_EQ(p->VCPort(), 0);  // a failed identify forgets the port
    EXPECT_FALSE(p->Port().IsOpen());
  }
  // Healthy again: the same component connects.
  sim.setFaults({});
  p->VCPort(7);
  EXPECT_EQ(p->InitializeComm(), 0);
  EXPECT_EQ(p->PelmoraType(), "Qor");
}

TEST_F(LinkSimCom, RepliesInPiecesStillIdentify) {
  InterfaceSim sim(Model::Aster);
  pel::sim::Faults f;
  f.delivery = pel::sim::Delivery::RandomPieces;
  f.pieceGapMicros = 500;
  sim.setFaults(f);
  sim.startCom(8);
  EXPECT_EQ(p->InitializeComm(), 0);
  EXPECT_EQ(p->PelmoraType(), "Aster");
  EXPECT_EQ(p->ProductNo(), "ASTER-1");
}

}  // namespace
