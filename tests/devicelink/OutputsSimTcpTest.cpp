// Set-up commands from the component reach the simulated interface over TCP
// 127.0.0.1:4000 exactly as written.
#include <gtest/gtest.h>

#include <chrono>

#include "devicelink/Pelmora.h"
#include "sim/interface/InterfaceSim.h"

namespace {
using namespace std::chrono_literals;
using pel::sim::InterfaceSim;
using pel::sim::Model;

TEST(OutputsSimTcp, DemoOutputStartsAndStopsAndLinesGoOut) {
  InterfaceSim sim(Model::SornII);
  sim.startTcp(4000);
  auto p = TPelmora::Create(nullptr, LinkFlavour::Studio(), TPelmora::DefaultEnvironment());
  std::vector<int> errors;
  p->PelmoraError([&](TPelmora&, int n) { errors.push_back(n); });
  p->AutoDetect(false);
  p->UseOnlyTolemic(true);
  ASSERT_EQ(p->InitializeComm(), 0);
  // A TCP link always reports Tolemic; the demo output belongs to the SORN II
  // that the simulator plays, so take the link as that model.
  TPelmora::State().modelState = 0;

  ASSERT_EQ(p->PWMOptionSetting(true, PWMOption::Square_Wave, false, 0, 100, 200, 300), 0);
  EXPECT_EQ(p->DemoOutput(true), 0);
  EXPECT_EQ(p->RunningMode(), 3);
  EXPECT_EQ(p->OutputLine(6), 0);
  EXPECT_EQ(p->DemoOutput(false), 0);
  EXPECT_EQ(p->RunningMode(), 0);

  const std::vector<std::string> expected = {"s{11,1}", "s{12,00.200}", "s{14,4, 100, 200, 300}",
                                             "s{10,1}", "s{50,6}",      "s{10,0}"};
  ASSERT_TRUE(sim.log().waitFor("s{10,0}", 2s));
  auto texts = sim.log().texts();
  // The connect's own commands come first.
  ASSERT_GE(texts.size(), expected.size());
  texts.erase(texts.begin(), texts.end() - static_cast<long>(expected.size()));
  EXPECT_EQ(texts, expected);
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(p->CloseComm(), 0);
}

}  // namespace
