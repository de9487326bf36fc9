#pragma once
// Runs against the simulated interface, checked end to end: a normal run
// (the planned number of records, their numbers and times, one
// StopExperiment, the stop commands, nothing after the stop), and the
// commands each start and stop sends, as the interface logged them.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "devicelink/Pelmora.h"
#include "devicelink/records/NumberText.h"
#include "sim/interface/InterfaceSim.h"
#include "tests/devicelink/HostLoop.h"

namespace runsim {

using hostloop::PumpUntil;

// A component connected over TCP 4000, where any model is a Tolemic; null
// (with the failure reported) when it did not connect.
inline std::shared_ptr<TPelmora> ConnectTcp() {
  auto p = TPelmora::Create(nullptr, LinkFlavour::Studio(), TPelmora::DefaultEnvironment());
  p->AutoDetect(false);
  p->UseOnlyTolemic(true);
  EXPECT_EQ(p->InitializeComm(), 0);
  EXPECT_EQ(p->PelmoraType(), "Tolemic");
  return p->PelmoraType() == "Tolemic" ? p : nullptr;
}

// A component connected over the COM port to a box model of the type.
inline std::shared_ptr<TPelmora> ConnectCom(int port, const char* type) {
  auto p = TPelmora::Create(nullptr, LinkFlavour::Studio(), TPelmora::DefaultEnvironment());
  p->AutoDetect(false);
  p->VCPort(port);
  EXPECT_EQ(p->InitializeComm(), 0);
  EXPECT_EQ(p->PelmoraType(), type);
  return p->PelmoraType() == type ? p : nullptr;
}

// Channels A and B of resolution 0.001 in the analog stream, stopping by
// itself after the planned samples.
inline void PlanAnalogRun(TPelmora& p, double samplingTime, int planned) {
  auto& s = TPelmora::State();
  for (auto& c : s.sensors.ch) c.active = false;
  s.sensors.ch[0].active = s.sensors.ch[1].active = true;
  for (auto& c : s.sensors.ch) c.resolution = {0.001, 0.001, 0.001, 0.000001};
  s.pwmOptionStored = false;
  p.F_.CheckForExperiment = false;
  p.F_.CHInputMode = CHInput::Analog;
  p.F_.FastSamplingMode = false;
  p.F_.SamplingTime = samplingTime;
  p.F_.NoOfData = planned;
  p.F_.LoopCount = planned;
  p.F_.AutoStop = true;
}

// A connected component: two channels of resolution 0.001, 10 ms samples.
inline void NormalRun(TPelmora& p, pel::sim::InterfaceSim& sim, int planned) {
  using namespace std::chrono_literals;
  TPelmora::State().sensorRange.fill(0);
  PlanAnalogRun(p, 0.01, planned);
  std::vector<std::string> records;
  int starts = 0, stops = 0;
  p.DataReceived([&](TPelmora&, const std::wstring& d) { records.emplace_back(d.begin(), d.end()); });
  p.StartExperiment([&](TPelmora&) { ++starts; });
  p.StopExperiment([&](TPelmora&) { ++stops; });
  sim.log().clear();
  ASSERT_EQ(p.Pelmora(true), 0);
  EXPECT_EQ(p.RunningMode(), 1);
  ASSERT_TRUE(PumpUntil([&] { return stops > 0; }, 10s)) << records.size() << " records";
  PumpUntil([] { return false; }, 100ms);  // frames still on their way are dropped
  EXPECT_EQ(starts, 1);
  EXPECT_EQ(stops, 1);
  ASSERT_EQ(records.size(), static_cast<std::size_t>(planned));
  for (int i = 0; i < planned; ++i) {
    const std::string head = std::to_string(i + 1) + "," + pel::records::FormatFixed(i * 0.01, 10, 8) + ",";
    EXPECT_EQ(records[static_cast<std::size_t>(i)].substr(0, head.size()), head) << records[static_cast<std::size_t>(i)];
    EXPECT_EQ(records[static_cast<std::size_t>(i)].back(), ';');
  }
  EXPECT_EQ(p.RunningMode(), 0);
  ASSERT_TRUE(sim.log().waitFor("s{50,0}", 2s));
  auto texts = sim.log().texts();
  const auto at = [&](const char* t) { return std::find(texts.begin(), texts.end(), t) - texts.begin(); };
  EXPECT_LT(at("s{10,1}"), at("s{10,0}"));
  EXPECT_LT(at("s{10,0}"), at("s{50,0}"));
  EXPECT_EQ(sim.log().count("s{10,1}"), 1u);
  std::string list = p.GetDataList();
  EXPECT_EQ(std::count(list.begin(), list.end(), ';'), planned);
  EXPECT_EQ(p.GetDataList(), "");
  p.DataReceived(nullptr);
  p.StartExperiment(nullptr);
  p.StopExperiment(nullptr);
}

using Texts = std::vector<std::string>;

// A start and stop whose commands the simulated interface logs.
struct SequenceCase {
  const char* name;
  std::function<void(TPelmora&)> setup;  // on an idle component, channels A and B active
  Texts logged;                          // start and stop, in order
  bool records;                          // the run delivers records before the stop
};

// The lines logged from `mark` on, once `count` of them arrived (or 3 s passed).
inline Texts LoggedFrom(pel::sim::InterfaceSim& sim, std::size_t mark, std::size_t count) {
  PumpUntil([&] { return sim.log().size() >= mark + count; }, std::chrono::seconds(3));
  return sim.log().textsFrom(mark);
}

inline void RunSequences(TPelmora& p, pel::sim::InterfaceSim& sim, const std::vector<SequenceCase>& cases) {
  int records = 0;
  p.DataReceived([&](TPelmora&, const std::wstring&) { ++records; });
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto& s = TPelmora::State();
    p.CHInputMode(CHInput::Analog);
    p.F_.GetModeFor8Port = false;
    p.F_.CheckForExperiment = false;
    p.F_.AutoStop = false;
    p.F_.DigitalTimmingMode = false;
    s.pwmOptionStored = false;
    s.digitalTimingOptions = {true, false, false};
    for (std::size_t i = 0; i < 8; ++i) {
      s.sensors.ch[i].active = i < 2;
      s.sensors.ch[i].sensorId = i < 2 ? 12 : 0;
      s.sensors.ch[i].resolution = {0.001, 0.001, 0.001, 0.000001};
    }
    p.SamplingTime(0.2);
    p.ExperimentLength(10);
    c.setup(p);
    records = 0;
    const std::size_t mark = sim.log().size();
    ASSERT_EQ(p.Pelmora(true), 0);
    if (c.records) {
      EXPECT_TRUE(PumpUntil([&] { return records > 0; }, std::chrono::seconds(3)));
    }
    p.Pelmora(false);
    EXPECT_EQ(p.RunningMode(), 0);
    EXPECT_EQ(LoggedFrom(sim, mark, c.logged.size()), c.logged);
  }
  p.DataReceived(nullptr);
}

}  // namespace runsim
