// The start and stop commands of each input mode of the box models, as the
// simulated interface on the COM pair 7<->8 logged them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/devicelink/ListedPort.h"
#include "tests/devicelink/RunSimCheck.h"

namespace {
using pel::sim::InterfaceSim;
using pel::sim::Model;
using Texts = runsim::Texts;

class RunSequenceSimCom : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(listed_.Put()); }
  void TearDown() override { listed_.Remove(); }
  static std::shared_ptr<TPelmora> Connect(InterfaceSim& sim, Model model, const char* type) {
    sim.setModel(model);
    return runsim::ConnectCom(7, type);
  }

 private:
  ListedPort listed_{"PelmoraRunSequence7", 7};
};

TEST_F(RunSequenceSimCom, QorStartsEachInputModeWithItsCommands) {
  InterfaceSim sim;
  sim.startCom(8);
  auto p = Connect(sim, Model::Qor, "Qor");
  ASSERT_TRUE(p);
  const Texts stop = {"s{10,0}", "s{50,0}"};
  auto with = [&](Texts start) {
    start.insert(start.end(), stop.begin(), stop.end());
    return start;
  };
  const std::vector<runsim::SequenceCase> cases = {
      {"analog 4-port", [](TPelmora& c) { c.NoOfOverSampling(3); },
       with({"s{11,1}", "s{13,0}", "s{12,0.200}", "s{23,3}", "s{10,1}"}), true},
      {"analog 8-port", [](TPelmora& c) { c.F_.GetModeFor8Port = true; },
       with({"s{11,5}", "s{13,0}", "s{12,0.200}", "s{23,3}", "s{10,1}"}), true},
      {"identification first",
       [](TPelmora& c) { c.F_.CheckForExperiment = true; },
       with({"s{11,1}", "s{20}", "s{11,1}", "s{13,0}", "s{12,0.200}", "s{23,3}", "s{10,1}"}), true},
      {"fast, channel B",
       [](TPelmora& c) {
         TPelmora::State().sensors.ch[0].active = false;
         c.SamplingTime(0.01);
         ASSERT_TRUE(c.FastSamplingMode());
       },
       with({"s{11,1}", "s{13,2}", "s{12,0.010}", "s{23,3}", "s{10,1}"}), true},
      {"digital timing mode",
       [](TPelmora& c) {
         c.DigitalTimmingMode(true);
         c.NoOfStroboSlit(2);
         c.CHInputMode(CHInput::Digital);
       },
       with({"s{11,2}", "s{16,1,1,0,0}", "s{16,2,2}", "s{10,1}"}), false},
      {"timing stream, channel B",
       [](TPelmora& c) {
         TPelmora::State().sensors.ch[0].active = false;
         c.CHInputMode(CHInput::Digital);
         ASSERT_EQ(c.CHInputMode(), CHInput::Digital);
       },
       with({"s{11,0}", "s{13,2}", "s{10,1}"}), true},
      // After the timing stream: a slit count this high would hold back its records.
      {"digital timing mode, more slits than a byte holds",
       [](TPelmora& c) {
         c.DigitalTimmingMode(true);
         c.NoOfStroboSlit(300);
         c.CHInputMode(CHInput::Digital);
       },
       with({"s{11,2}", "s{16,1,1,0,0}", "s{16,2,300}", "s{10,1}"}), false},
      {"scope", [](TPelmora& c) { c.CHInputMode(CHInput::Scope); }, {"s{11,3}", "s{88,1,20}", "s{88,0}", "s{50,0}"},
       false},
  };
  runsim::RunSequences(*p, sim, cases);
  EXPECT_EQ(p->CloseComm(), 0);
}

TEST_F(RunSequenceSimCom, SornIISendsItsStoredOutputBeforeTheStart) {
  InterfaceSim sim;
  sim.startCom(8);
  auto p = Connect(sim, Model::SornII, "Sorn II");
  ASSERT_TRUE(p);
  const std::vector<runsim::SequenceCase> cases = {
      {"waveform",
       [](TPelmora& c) { ASSERT_EQ(c.PWMOptionSetting(true, PWMOption::Sine_Wave, false, 500, 5, 60, 700), 0); },
       {"s{11,1}", "s{13,0}", "s{12,0.200}", "s{23,0}", "s{14,3,   5,  60, 700}", "s{10,1}", "s{10,0}", "s{50,0}"},
       true},
      {"PWM frequency",
       [](TPelmora& c) { ASSERT_EQ(c.PWMOptionSetting(true, PWMOption::PWM, true, 40, 10, 20, 30), 0); },
       {"s{11,1}", "s{13,0}", "s{12,0.200}", "s{23,0}", "s{15,  40}", "s{10,1}", "s{10,0}", "s{50,0}"}, true},
  };
  runsim::RunSequences(*p, sim, cases);
  EXPECT_EQ(p->CloseComm(), 0);
}

}  // namespace
