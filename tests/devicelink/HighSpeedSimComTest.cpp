// Memory downloads and scope reads against the simulated interface over the
// COM pair 21<->22: whole blocks with CR LF bytes in their values, bad check
// bytes asked for again, Aster addresses, a box that falls silent, stops from
// a DataReceived handler, and the link's state afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "devicelink/Pelmora.h"
#include "devicelink/records/NumberText.h"
#include "platform/Registry.h"
#include "sim/interface/InterfaceSim.h"

namespace {
using pel::records::FormatFixed;
using pel::reg::Root;
using pel::sim::Bank;
using pel::sim::InterfaceSim;
using pel::sim::Model;

const char* const kList = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
const char* const kListed = "PelmoraHighSpeedTest21";

// Raw sample i: its bytes hold a CR LF pair (0x0D 0x0A).
std::int32_t CrLfSample(int i) { return 0x0D0A0000 + i * 3; }

class HighSpeedSimCom : public ::testing::Test {
 protected:
  void TearDown() override {
    p.reset();
    sim.reset();
    HKEY k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kList, 0, KEY_SET_VALUE, &k) == ERROR_SUCCESS) {
      RegDeleteValueA(k, kListed);
      RegCloseKey(k);
    }
  }
  void Connect(Model model, const char* type) {
    sim = std::make_unique<InterfaceSim>(model);
    auto settings = sim->settings();
    settings.sensorIds = {12, 0, 5, 0, 0, 0, 0, 0};
    settings.scopeChannels = {0, 2};
    sim->setSettings(settings);
    sim->startCom(22);
    ASSERT_TRUE(pel::reg::writeString(Root::LocalMachine, kList, kListed, "COM21"));
    p = TPelmora::Create(nullptr, LinkFlavour::Studio(), TPelmora::DefaultEnvironment());
    p->PelmoraError([this](TPelmora&, int n) { errors.push_back(n); });
    p->DataReceived([this](TPelmora&, const std::wstring& d) { records.emplace_back(d.begin(), d.end()); });
    p->AutoDetect(false);
    p->VCPort(21);
    ASSERT_EQ(p->InitializeComm(), 0);
    ASSERT_EQ(p->PelmoraType(), type);
    errors.clear();
  }
  void ExpectIdleInTextMode() {
    EXPECT_EQ(p->RunningMode(), 0);
    EXPECT_EQ(p->ExperimentMode(), 0);
    EXPECT_FALSE(p->Run());
    EXPECT_FALSE(TPelmora::State().receive.binary);
    EXPECT_FALSE(TPelmora::State().receive.frameMode);
  }
  static Bank MakeBank(int intervalUnits, std::array<int, 3> ids, int samples) {
    Bank b;
    b.intervalUnits = intervalUnits;
    b.sensorIds = ids;
    for (int i = 0; i < samples; ++i) b.samples.push_back(CrLfSample(i));
    return b;
  }
  static std::string Value(int i) { return FormatFixed(CrLfSample(i) / 10000.0, 10, 6); }

  std::unique_ptr<InterfaceSim> sim;
  std::shared_ptr<TPelmora> p;
  std::vector<int> errors;
  std::vector<std::string> records;
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
  p->F_.CheckForExperiment = false;
  p->SetScopeTime(1);
  p->SetScopeRows(20);
  p->SetScopeSensor("3,1");
  p->F_.CHInputMode = CHInput::Scope;
  ASSERT_EQ(p->Pelmora(true), 0);
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
  p->F_.CheckForExperiment = false;
  p->SetScopeTime(1);
  p->SetScopeRows(32);
  p->SetScopeSensor("1");
  p->F_.CHInputMode = CHInput::Scope;
  ASSERT_EQ(p->Pelmora(true), 0);
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
