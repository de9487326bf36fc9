// The component's lifetime over in-process fakes: a host that lets go of it
// inside any event, or replaces the event that runs, leaves nothing running
// in freed memory. Linked with the quarantine heap, so a use after free reads
// a pattern and fails at once.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "devicelink/Pelmora.h"
#include "devicelink/sensors/SettingsSource.h"
#include "FakeLink.h"
#include "platform/HandOver.h"
#include "platform/Registry.h"

namespace {

const char* const kMessageKey = "Software\\VB and VBA Program Settings\\Pelmora\\Message";

std::string PelmoraReply(const std::string& cmd) { return cmd == "s{10,3}" ? "{Pelmora}\r\n" : ""; }

// A new component in the same process connects over the fake TCP peer and
// starts and stops a run.
void NewComponentConnectsAndRuns() {
  fake::Rig rig;
  auto q = TPelmora::Create(nullptr, LinkFlavour::Studio(), rig.Env());
  q->Hooks().autoSensorId = nullptr;
  rig.worker->peer = PelmoraReply;
  q->AutoDetect(false);
  q->UseOnlyTolemic(true);
  ASSERT_EQ(q->InitializeComm(), 0);
  EXPECT_EQ(q->PelmoraType(), "Tolemic");
  q->F_.CheckForExperiment = false;
  int stops = 0;
  q->StopExperiment([&](TPelmora&) { ++stops; });
  EXPECT_EQ(q->Pelmora(true), 0);
  EXPECT_EQ(q->RunningMode(), 1);
  EXPECT_EQ(q->Pelmora(false), 0);
  EXPECT_EQ(stops, 1);
  EXPECT_EQ(q->CloseComm(), 0);
}

TEST(Lifetime, ReleaseInsidePelmoraErrorDuringTheConnectEndsTheSearch) {
  fake::Rig rig;
  auto p = TPelmora::Create(nullptr, LinkFlavour::Studio(), rig.Env());
  rig.serial->listed = {"COM3", "COM4"};
  rig.serial->answering["COM3"] = PelmoraReply;
  rig.serial->answering["COM4"] = PelmoraReply;
  bool tcpAsked = false;
  rig.worker->peer = [&](const std::string& cmd) {
    tcpAsked = true;
    return PelmoraReply(cmd);
  };
  rig.usb->devices = 1;
  rig.serial->failWrites = true;  // the first command raises 8
  p->VCPort(3);
  int errors = 0;
  TPelmora* raw = p.get();
  p->PelmoraError([&](TPelmora&, int) {
    ++errors;
    p.reset();
  });
  raw->InitializeComm();
  EXPECT_EQ(errors, 1);            // no event after the release
  EXPECT_TRUE(rig.workerStopped);  // ended when the connect unwound
  EXPECT_EQ(rig.usb->opens, 0);    // the search stopped: no USB ...
  EXPECT_FALSE(tcpAsked);          // ... and no TCP
  NewComponentConnectsAndRuns();
}

TEST(Lifetime, ReleaseInsideAWaitOfTheConnectOpensNoFurtherPort) {
  fake::Rig rig;
  auto p = TPelmora::Create(nullptr, LinkFlavour::Studio(), rig.Env());
  rig.serial->listed = {"COM3", "COM4", "COM5"};
  rig.serial->answering["COM3"] = nullptr;  // silent
  rig.serial->answering["COM4"] = PelmoraReply;
  rig.serial->answering["COM5"] = PelmoraReply;
  bool tcpAsked = false;
  rig.worker->peer = [&](const std::string& cmd) {
    tcpAsked = true;
    return PelmoraReply(cmd);
  };
  rig.usb->devices = 1;
  p->VCPort(3);
  TPelmora* raw = p.get();
  rig.host->onPump = [&] {
    rig.host->onPump = nullptr;
    p.reset();
  };
  raw->InitializeComm();
  EXPECT_TRUE(rig.workerStopped);
  EXPECT_EQ(rig.usb->opens, 0);
  EXPECT_FALSE(tcpAsked);
  NewComponentConnectsAndRuns();
}

TEST(Lifetime, HandlerThatReplacesItsOwnEventRunsToItsEnd) {
  fake::Rig rig;
  auto p = TPelmora::Create(nullptr, LinkFlavour::Studio(), rig.Env());
  std::vector<std::string> seen;
  const std::string tag(40, 'x');  // held by the closure, on the heap
  p->PelmoraError([&seen, &p, tag](TPelmora&, int n) {
    p->PelmoraError([&seen](TPelmora&, int) { seen.push_back("second"); });
    seen.push_back(tag + std::to_string(n));
  });
  EXPECT_EQ(p->Pelmora(true), 6);  // not connected
  EXPECT_EQ(p->Pelmora(true), 6);
  EXPECT_EQ(seen, (std::vector<std::string>{tag + "6", "second"}));
}

TEST(Lifetime, ReleaseInsideStopExperimentOfAStopEndsAfterTheStop) {
  fake::Rig rig;
  auto p = TPelmora::Create(nullptr, LinkFlavour::Studio(), rig.Env());
  p->Hooks().autoSensorId = nullptr;
  rig.worker->peer = PelmoraReply;
  p->AutoDetect(false);
  p->UseOnlyTolemic(true);
  ASSERT_EQ(p->InitializeComm(), 0);
  p->F_.CheckForExperiment = false;
  ASSERT_EQ(p->Pelmora(true), 0);
  int stops = 0, starts = 0;
  TPelmora* raw = p.get();
  p->StopExperiment([&](TPelmora&) {
    ++stops;
    p.reset();
  });
  p->StartExperiment([&](TPelmora&) { ++starts; });
  raw->Pelmora(false);
  EXPECT_EQ(stops, 1);
  EXPECT_TRUE(rig.workerStopped);
  NewComponentConnectsAndRuns();
}

TEST(Lifetime, FailedConstructionLeavesTheWakeHookAlone) {
  const std::string old = pel::reg::readString(pel::reg::Root::CurrentUser, kMessageKey, "LCID");
  ASSERT_TRUE(pel::reg::writeString(pel::reg::Root::CurrentUser, kMessageKey, "LCID", "abc"));
  bool called = false;
  auto previous = pel::HandOver::instance().setWakeHook([&] { called = true; });
  fake::Rig rig;
  EXPECT_THROW(TPelmora::Create(nullptr, LinkFlavour::Studio(), rig.Env()), pel::sensors::RegistryValueError);
  auto current = pel::HandOver::instance().setWakeHook(previous);
  ASSERT_TRUE(current);
  current();
  EXPECT_TRUE(called);  // still the host's own hook, not a stale one
  pel::reg::writeString(pel::reg::Root::CurrentUser, kMessageKey, "LCID", old);
  NewComponentConnectsAndRuns();
}

}  // namespace
