// A host that reconnects from inside an event of a run over the COM pair
// 51<->52: on the same port inside DataReceived, and, once the pair is taken
// down, on another listed port (53, whose far end nobody serves) inside
// PelmoraError. Linked with the quarantine heap and run under Wine's heap
// checking: a session still running in freed memory fails at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/SerialPort.h"

#include "tests/devicelink/ComPairScript.h"
#include "tests/devicelink/ListedPort.h"
#include "tests/devicelink/RunSimCheck.h"

namespace {
using namespace std::chrono_literals;
using pel::sim::InterfaceSim;
using pel::sim::Model;
using runsim::PumpUntil;

class ReconnectSimCom : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(box_.Put());
    ASSERT_TRUE(silent_.Put());
  }
  void TearDown() override {
    box_.Remove();
    silent_.Remove();
  }

 private:
  ListedPort box_{"PelmoraReconnectTest51", 51};
  ListedPort silent_{"PelmoraReconnectTest53", 53};
};

TEST_F(ReconnectSimCom, CloseAndConnectAgainInsideDataReceivedKeepsThePort) {
  InterfaceSim sim(Model::Aster);
  sim.startCom(52);
  auto p = runsim::ConnectCom(51, "Aster");
  ASSERT_TRUE(p);
  runsim::PlanAnalogRun(*p, 0.01, 200);
  int records = 0, reconnected = -1;
  p->DataReceived([&](TPelmora& q, const std::wstring&) {
    if (++records != 5) return;
    q.CloseComm();
    reconnected = q.InitializeComm();
  });
  ASSERT_EQ(p->Pelmora(true), 0);
  ASSERT_TRUE(PumpUntil([&] { return reconnected != -1; }, 10s)) << records << " records";
  EXPECT_EQ(reconnected, 0);
  EXPECT_EQ(p->VCPort(), 51);  // only busy with itself: not dropped
  EXPECT_EQ(p->PelmoraType(), "Aster");
  PumpUntil([] { return false; }, 300ms);
  EXPECT_EQ(records, 5);  // the run ended with the close
  EXPECT_EQ(p->RunningMode(), 0);
  runsim::NormalRun(*p, sim, 20);
  EXPECT_EQ(p->CloseComm(), 0);
}

TEST_F(ReconnectSimCom, PortGoneThenASilentPortInsidePelmoraError) {
  auto sim = std::make_unique<InterfaceSim>(Model::Aster);
  sim->startCom(52);
  auto p = runsim::ConnectCom(51, "Aster");
  ASSERT_TRUE(p);
  runsim::PlanAnalogRun(*p, 0.01, 2000);
  int records = 0, reconnected = -1;
  std::vector<int> errors;
  std::string listed;  // the system's port list as the handler saw it
  p->DataReceived([&](TPelmora&, const std::wstring&) { ++records; });
  p->PelmoraError([&](TPelmora& q, int n) {
    errors.push_back(n);
    if (n != 8 || reconnected != -1) return;
    listed = pel::SerialPort::portList();
    std::replace(listed.begin(), listed.end(), '\0', ' ');
    q.VCPort(53);
    reconnected = q.InitializeComm();
  });
  ASSERT_EQ(p->Pelmora(true), 0);
  ASSERT_TRUE(PumpUntil([&] { return records >= 5; }, 10s));
  ASSERT_TRUE(compair::Run("stop", 51, 52));
  ASSERT_TRUE(PumpUntil([&] { return reconnected != -1; }, 10s)) << records << " records";
  EXPECT_EQ(reconnected, 1);  // nothing answers there
  EXPECT_EQ(errors, (std::vector<int>{8, 1}));
  EXPECT_EQ(p->VCPort(), 0) << "listed: " << listed;
  EXPECT_FALSE(p->PelmoraConnected());
  PumpUntil([] { return false; }, 300ms);
  EXPECT_EQ(errors.size(), 2u);
  p.reset();
  sim.reset();
  // Back up for whatever runs next on the pair.
  ASSERT_TRUE(compair::Run("start", 51, 52));
  Sleep(500);  // the old links are replaced first
  EXPECT_TRUE(compair::ServeWithin(Model::Aster, 52, 10s));
}

}  // namespace
