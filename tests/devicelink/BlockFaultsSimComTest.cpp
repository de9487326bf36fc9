// Memory downloads, scope reads and the bank directory against a simulated
// interface that misbehaves, over the COM pair 25<->26: one block answered
// late, a scope buffer still sampling at a slow time base, banks that cannot
// be read, and a user-set port missing for one connect.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "devicelink/records/NumberText.h"
#include "tests/devicelink/SimComTest.h"

namespace {
using pel::records::FormatFixed;
using pel::sim::Bank;
using pel::sim::Model;

class BlockFaultsSimCom : public SimComTest {
 protected:
  BlockFaultsSimCom() : SimComTest("PelmoraBlockFaultsTest25", 25, 26) {}
  void LateBlock(int n, int ms) {
    auto faults = sim->faults();
    faults.lateBlock = n;
    faults.lateBlockMs = ms;
    sim->setFaults(faults);
  }
  void StartScope(int timeIndex) {
    SimComTest::StartScope(timeIndex, 20, "3,1");
    ASSERT_EQ(p->RunningMode(), 6);
  }
  // Channels A and C of the simulator read 1 and 3 plus a tenth of the
  // instant modulo 10.
  void ExpectScopeRecords(double seconds) {
    ASSERT_EQ(records.size(), 100u);
    for (int i = 0; i < 100; ++i)
      EXPECT_EQ(records[static_cast<std::size_t>(i)],
                std::to_string(i) + "," + FormatFixed(i * seconds, 10, 8) + "," + FormatFixed(1 + i % 10 / 10.0, 10, 6) +
                    ",0.00, " + FormatFixed(3 + i % 10 / 10.0, 10, 6) + ",0.00, 0.00, 0.00, 0.00, 0.00;")
          << i;
  }
  static Bank MakeBank(int intervalUnits, std::array<int, 3> ids, int samples) {
    return SimComTest::MakeBank(intervalUnits, ids, samples, Sample);
  }
  static std::int32_t Sample(int i) { return 10000 * (i + 1) + i; }
  static std::string BankRecord(int i, double seconds) {
    return std::to_string(i + 1) + "," + FormatFixed(i * seconds, 10, 8) + "," + FormatFixed(Sample(i) / 10000.0, 10, 6) +
           ",0.0,0.0;";
  }
};

TEST_F(BlockFaultsSimCom, AsterDownloadWithOneBlockAnsweredLate) {
  Connect(Model::Aster, "Aster");
  sim->setBank(0, MakeBank(10, {12, 0, 0}, 75));
  ASSERT_EQ(p->HighSpeedExplorer(), 0);
  ASSERT_EQ(p->MemoryTotalIndex(), 1);
  LateBlock(2, 1500);
  sim->log().clear();
  p->LoadMemoryData(1, true);
  EXPECT_TRUE(errors.empty());
  EXPECT_GE(sim->log().count("s{80,12,30,30}"), 2u) << "the late block was asked for again";
  ASSERT_EQ(records.size(), 75u);
  for (int i = 0; i < 75; ++i) EXPECT_EQ(records[static_cast<std::size_t>(i)], BankRecord(i, 0.001)) << i;
  EXPECT_EQ(p->RunningMode(), 0);
}

TEST_F(BlockFaultsSimCom, ScopeReadWithOneBlockAnsweredLate) {
  Connect(Model::Qor, "Qor");
  StartScope(1);
  LateBlock(2, 1500);
  sim->log().clear();
  p->ReadScopeData(true);
  EXPECT_TRUE(errors.empty());
  EXPECT_GE(sim->log().count("s{88,2,30,30}"), 2u) << "the late block was asked for again";
  ExpectScopeRecords(0.000025);
  EXPECT_EQ(p->Pelmora(false), 0);
}

// At 0.25 s the box needs 25 s for the 100 instants of 20 rows on two
// channels, and answers "{00}" until they are sampled.
TEST_F(BlockFaultsSimCom, ScopeReadAtASlowTimeBaseWaitsUntilTheBufferIsFull) {
  Connect(Model::Qor, "Qor");
  auto faults = sim->faults();
  faults.scopeEmptyUntilFull = true;
  sim->setFaults(faults);
  const auto start = std::chrono::steady_clock::now();
  StartScope(10000);
  ASSERT_DOUBLE_EQ(p->SamplingTime(), 0.25);
  p->ReadScopeData(true);
  EXPECT_TRUE(errors.empty());
  ExpectScopeRecords(0.25);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::seconds(24));
  EXPECT_EQ(p->Pelmora(false), 0);
}

TEST_F(BlockFaultsSimCom, AsterBanksThatCannotBeReadAreNotOffered) {
  Connect(Model::Aster, "Aster");
  sim->setBank(0, MakeBank(10, {0, 0, 0}, 30));   // nothing recorded on A to C
  sim->setBank(1, MakeBank(10, {12, 0, 0}, 30));  // the box gives no description
  sim->setBank(2, MakeBank(20, {12, 0, 0}, 45));
  sim->setHandler(80, "11", [](pel::sim::SimEngine& e, const pel::sim::Command& c, auto) {
    const int k = std::stoi(c.arg(1));
    e.reply(k == 2 ? std::string("{}") : pel::sim::asterInfoLine(e.memory().banks[static_cast<std::size_t>(k - 1)]));
  });
  ASSERT_EQ(p->HighSpeedExplorer(), 0);
  ASSERT_EQ(p->MemoryTotalIndex(), 2);
  EXPECT_EQ(p->ReadBankInfo(2).substr(0, 13), "2,0.00200000,");
  sim->log().clear();
  p->LoadMemoryData(1, true);
  EXPECT_EQ(errors, std::vector<int>{27});
  EXPECT_TRUE(records.empty());
  EXPECT_EQ(p->RunningMode(), 0);
  p->LoadMemoryData(2, true);
  ASSERT_EQ(records.size(), 45u);
  EXPECT_EQ(records[44], BankRecord(44, 0.002));
  EXPECT_EQ(sim->log().count("s{80,12,0,30}"), 0u) << "nothing asked of the bank without a channel";
  EXPECT_EQ(sim->log().count("s{80,12,6252,30}"), 1u);
  EXPECT_EQ(errors, std::vector<int>{27});
}

TEST_F(BlockFaultsSimCom, UserSetPortMissingForOneConnectIsTriedAgain) {
  StartSim(Model::SornII);
  ASSERT_EQ(p->VCPort(), 25);
  Listed().Remove();
  EXPECT_EQ(p->InitializeComm(), 1);
  EXPECT_EQ(p->VCPort(), 25);
  ASSERT_TRUE(Listed().Put());
  EXPECT_EQ(p->InitializeComm(), 0);
  EXPECT_EQ(p->PelmoraType(), "Sorn II");
  EXPECT_EQ(p->VCPort(), 25);
}

}  // namespace
