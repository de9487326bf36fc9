#pragma once
// A component against the simulated interface over a COM pair: sensors 12
// and 5 on channels A and C, scope channels A and C, the link's end listed
// for the test. It keeps the component's errors and records.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "devicelink/Pelmora.h"
#include "sim/interface/InterfaceSim.h"
#include "tests/devicelink/ListedPort.h"

class SimComTest : public ::testing::Test {
 protected:
  // hostPort: the link's end of the pair; simPort: the simulator's.
  SimComTest(const char* listed, int hostPort, int simPort)
      : listed_(listed, hostPort), hostPort_(hostPort), simPort_(simPort) {}
  void TearDown() override {
    p.reset();
    sim.reset();
    listed_.Remove();
  }
  const ListedPort& Listed() const { return listed_; }

  void StartSim(pel::sim::Model model) {
    sim = std::make_unique<pel::sim::InterfaceSim>(model);
    auto settings = sim->settings();
    settings.sensorIds = {12, 0, 5, 0, 0, 0, 0, 0};
    settings.scopeChannels = {0, 2};
    sim->setSettings(settings);
    sim->startCom(simPort_);
    ASSERT_TRUE(listed_.Put());
    p = TPelmora::Create(nullptr, LinkFlavour::Studio(), TPelmora::DefaultEnvironment());
    p->PelmoraError([this](TPelmora&, int n) { errors.push_back(n); });
    p->DataReceived([this](TPelmora&, const std::wstring& d) { records.emplace_back(d.begin(), d.end()); });
    p->AutoDetect(false);
    p->VCPort(hostPort_);
  }
  void Connect(pel::sim::Model model, const char* type) {
    StartSim(model);
    ASSERT_EQ(p->InitializeComm(), 0);
    ASSERT_EQ(p->PelmoraType(), type);
    errors.clear();
  }
  // A scope run of `rows` rows on the channels (as the host names them), started.
  void StartScope(int timeIndex, int rows, const char* sensors) {
    p->F_.CheckForExperiment = false;
    p->SetScopeTime(timeIndex);
    p->SetScopeRows(rows);
    p->SetScopeSensor(sensors);
    p->F_.CHInputMode = CHInput::Scope;
    ASSERT_EQ(p->Pelmora(true), 0);
  }
  template <class Sample>
  static pel::sim::Bank MakeBank(int intervalUnits, std::array<int, 3> ids, int samples, Sample sample) {
    pel::sim::Bank b;
    b.intervalUnits = intervalUnits;
    b.sensorIds = ids;
    for (int i = 0; i < samples; ++i) b.samples.push_back(sample(i));
    return b;
  }

  std::unique_ptr<pel::sim::InterfaceSim> sim;
  std::shared_ptr<TPelmora> p;
  std::vector<int> errors;
  std::vector<std::string> records;

 private:
  ListedPort listed_;
  int hostPort_, simPort_;
};
