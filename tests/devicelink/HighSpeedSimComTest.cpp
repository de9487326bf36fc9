// Memory downloads and scope reads against the simulated interface over the
// COM pair 21<->22: whole blocks with CR LF bytes in their values, bad check
// bytes asked for again, Aster addresses, a box that falls silent, stops from
// a DataReceived handler, and the link's state afterwards.
#include <gtest/gtest.h>

#include <algorithm>
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

// Raw sample i: its bytes hold a CR LF pair (0x0D 0x0A).
std::int32_t CrLfSample(int i) { return 0x0D0A0000 + i * 3; }

class HighSpeedSimCom : public SimComTest {
 protected:
  HighSpeedSimCom() : SimComTest("PelmoraHighSpeedTest21", 21, 22) {}
  void ExpectIdleInTextMode() {
    EXPECT_EQ(p->RunningMode(), 0);
    EXPECT_EQ(p->ExperimentMode(), 0);
    EXPECT_FALSE(p->Run());
    EXPECT_FALSE(TPelmora::State().receive.binary);
    EXPECT_FALSE(TPelmora::State().receive.frameMode);
  }
  static Bank MakeBank(int intervalUnits, std::array<int, 3> ids, int samples) {
    return SimComTest::MakeBank(intervalUnits, ids, samples, CrLfSample);
  }
  static std::string Value(int i) { return FormatFixed(CrLfSample(i) / 10000.0, 10, 6); }
};

TEST_F(HighSpeedSimCom, SornDownloadOfSeventyFiveRecordsWithABadCheckByte) {
  Connect(Model::SornII, "Sorn II");
  sim->setBank(0, MakeBank(10, {12, 0, 0}, 75));
  auto faults = sim->faults();
  faults.wrongCheckBlocks = {3};  // the short last block
  sim->setFaults(faults);
  ASSERT_EQ(p->HighSpeedExplorer(), 0);
  ASSERT_EQ(p->MemoryTotalIndex(), 1);
  EXPECT_EQ(p->ReadBankInfo(1).substr(0, 13), "1,0.00100000,");
  sim->log().clear();
  p->LoadMemoryData(1, true);
  EXPECT_TRUE(errors.empty());
  ASSERT_EQ(records.size(), 75u);
  for (int i = 0; i < 75; ++i)
    EXPECT_EQ(records[static_cast<std::size_t>(i)],
              std::to_string(i + 1) + "," + FormatFixed(i * 0.001, 10, 8) + "," + Value(i) + ",0.0,0.0;");
  EXPECT_EQ(sim->log().count("s{80,4,0}"), 1u);
  EXPECT_EQ(sim->log().count("s{80,4,1}"), 1u);
  EXPECT_EQ(sim->log().count("s{80,4,2}"), 2u);  // its first answer had a wrong check byte
  ExpectIdleInTextMode();
  const std::string list = p->GetDataList();
  EXPECT_EQ(std::count(list.begin(), list.end(), ';'), 75);
}

TEST_F(HighSpeedSimCom, QorDownloadOfTwoChannelsInterleaved) {
  Connect(Model::Qor, "Qor");
  sim->setBank(0, MakeBank(5, {12, 0, 5}, 80));  // 40 records of A and C
  ASSERT_EQ(p->HighSpeedExplorer(), 0);
  p->LoadMemoryData(1, true);
  EXPECT_TRUE(errors.empty());
  ASSERT_EQ(records.size(), 40u);
  EXPECT_EQ(records[0], "1,0.00000000," + Value(0) + ",0.0," + Value(1) + ";");
  EXPECT_EQ(records[39], "40," + FormatFixed(39 * 0.0005, 10, 8) + "," + Value(78) + ",0.0," + Value(79) + ";");
  ExpectIdleInTextMode();
}

TEST_F(HighSpeedSimCom, AsterDownloadByAddressUpToTheBanksRecords) {
  Connect(Model::Aster, "Aster");
  sim->setBank(0, MakeBank(10, {12, 0, 0}, 20));
  sim->setBank(2, MakeBank(20, {12, 0, 0}, 45));
  ASSERT_EQ(p->HighSpeedExplorer(), 0);
  ASSERT_EQ(p->MemoryTotalIndex(), 2);
  sim->log().clear();
  p->LoadMemoryData(2, true);
  EXPECT_TRUE(errors.empty());
  ASSERT_EQ(records.size(), 45u);
  EXPECT_EQ(records[44], "45," + FormatFixed(44 * 0.002, 10, 8) + "," + Value(44) + ",0.0,0.0;");
  EXPECT_EQ(sim->log().count("s{80,12,6252,30}"), 1u);
  EXPECT_EQ(sim->log().count("s{80,12,6282,30}"), 1u);
  EXPECT_EQ(sim->log().count("s{80,12,6312,30}"), 0u) << "the bank's records were all read";
  ExpectIdleInTextMode();
}

TEST_F(HighSpeedSimCom, SilentBoxEndsTheDownloadWithAnError) {
  Connect(Model::SornII, "Sorn II");
  sim->setBank(0, MakeBank(10, {12, 0, 0}, 90));
  ASSERT_EQ(p->HighSpeedExplorer(), 0);
  auto faults = sim->faults();
  faults.silentAfterBlocks = 1;
  sim->setFaults(faults);
  p->LoadMemoryData(1, true);
  EXPECT_EQ(errors, std::vector<int>{22});
  EXPECT_EQ(records.size(), 30u);
  ExpectIdleInTextMode();
}

TEST_F(HighSpeedSimCom, StopFromADataReceivedHandler) {
  Connect(Model::SornII, "Sorn II");
  sim->setBank(0, MakeBank(10, {12, 0, 0}, 90));
  ASSERT_EQ(p->HighSpeedExplorer(), 0);
  p->DataReceived([this](TPelmora& c, const std::wstring& d) {
    records.emplace_back(d.begin(), d.end());
    if (records.size() == 10) c.LoadMemoryData(1, false);
  });
  sim->log().clear();
  p->LoadMemoryData(1, true);
  EXPECT_EQ(records.size(), 10u);
  EXPECT_EQ(errors, std::vector<int>{27}) << "the stop call reports the busy link";
  EXPECT_EQ(sim->log().count("s{80,4,1}"), 0u);
  ExpectIdleInTextMode();
}

// A scope run of 20 rows on channels A and C, read to the end.
TEST_F(HighSpeedSimCom, ScopeReadToTheEndWithABadCheckByte) {
  Connect(Model::Qor, "Qor");
  ASSERT_NO_FATAL_FAILURE(StartScope(1, 20, "3,1"));
  ASSERT_EQ(p->RunningMode(), 6);
  auto faults = sim->faults();
  faults.wrongCheckBlocks = {3};
  sim->setFaults(faults);
  sim->log().clear();
  p->ReadScopeData(true);
  EXPECT_TRUE(errors.empty());
  ASSERT_EQ(records.size(), 100u);
  auto shown = [](double a, double c) {
    return FormatFixed(a, 10, 6) + ",0.00, " + FormatFixed(c, 10, 6) + ",0.00, 0.00, 0.00, 0.00, 0.00;";
  };
  // The simulator's channel k reads k + 1 plus a tenth of the sample number modulo 10.
  for (int i = 0; i < 100; ++i)
    EXPECT_EQ(records[static_cast<std::size_t>(i)],
              std::to_string(i) + "," + FormatFixed(i * 0.000025, 10, 8) + "," + shown(1 + i % 10 / 10.0, 3 + i % 10 / 10.0));
  EXPECT_EQ(sim->log().count("s{88,2,60,30}"), 2u);
  EXPECT_EQ(sim->log().count("s{88,2,180,30}"), 1u);
  EXPECT_EQ(sim->log().count("s{88,2,210,30}"), 0u);
  EXPECT_TRUE(sim->log().waitFor("s{89,1}", std::chrono::seconds(2))) << "the time base sent again after the read";
  EXPECT_EQ(p->Pelmora(false), 0);
  ExpectIdleInTextMode();
}

TEST_F(HighSpeedSimCom, ScopeReadStoppedFromAHandlerOrOutsideARun) {
  Connect(Model::Qor, "Qor");
  ASSERT_NO_FATAL_FAILURE(StartScope(1, 32, "1"));
  ASSERT_EQ(p->NoOfData(), 320);
  p->DataReceived([this](TPelmora& c, const std::wstring& d) {
    records.emplace_back(d.begin(), d.end());
    if (records.size() == 40) c.ReadScopeData(false);
  });
  p->ReadScopeData(true);
  EXPECT_EQ(records.size(), 40u);
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(p->Pelmora(false), 0);

  // After the run the link is back in text mode: no block reaches the read, which gives up.
  records.clear();
  p->ReadScopeData(true);
  EXPECT_TRUE(records.empty());
  EXPECT_EQ(errors, std::vector<int>{22});
  ExpectIdleInTextMode();
}

}  // namespace
