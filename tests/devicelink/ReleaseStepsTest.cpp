// A host that lets go of the component inside host code that a published
// method runs (an event, a pump of a wait): nothing more goes out to the
// interface, the method's further steps do not run, and the component ends
// once the method unwound. Over in-process fakes, linked with the
// quarantine heap.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "devicelink/Pelmora.h"
#include "FakeLink.h"

namespace {
using pel::link::ProcessState;

const char* const kAster = "{Pelmora ASTER}";

enum class ReleaseIn { StartExperiment, PelmoraError, PumpAfterCommand };

struct ReleaseCase {
  const char* name;
  const char* idReply;  // the interface's answer to "s{20}"
  ReleaseIn where;
  const char* after;  // PumpAfterCommand: the first pump once this went out ("" any)
  std::function<void(TPelmora&)> call;
  int maxPumpsAfter;  // -1: not counted
};

class ReleaseSteps : public ::testing::Test {
 protected:
  // An Aster on COM3 of the fakes, channel A active.
  std::shared_ptr<TPelmora> Connect(fake::Rig& rig, const std::string& idReply) {
    auto p = TPelmora::Create(nullptr, LinkFlavour::Studio(), rig.Env());
    rig.serial->listed.push_back("COM3");
    rig.serial->answering["COM3"] = [idReply](const std::string& cmd) -> std::string {
      if (cmd == "s{10,3}") return std::string(kAster) + "\r\n";
      if (cmd == "s{16,0}" || cmd == "s{11,3}") return "{1}\r\n";
      if (cmd == "s{11,5}") return "{8}\r\n";
      if (cmd == "s{20}") return idReply;
      if (cmd == "s{20,2}") return "{0,0,0,0,0,0,0,0}\r\n";
      if (cmd == "s{80,10}") return "{0,0}\r\n";
      return {};
    };
    p->VCPort(3);
    p->InitializeComm();  // 30 where the answer holds fewer than four IDs
    EXPECT_EQ(p->PelmoraType(), "Aster");
    p->F_.CheckForExperiment = false;
    auto& s = ProcessState();
    for (auto& c : s.sensors.ch) c.active = false;
    s.sensors.ch[0].active = true;
    s.sensors.ch[0].sensorId = 12;  // kept by an identification whose answer is short
    s.pwmOptionStored = false;
    return p;
  }
};

TEST_F(ReleaseSteps, NothingGoesOutAndNoStepRunsAfterTheRelease) {
  const char* const ids = "{0,0,0,0}\r\n";
  const std::vector<ReleaseCase> cases = {
      {"start, inside StartExperiment", ids, ReleaseIn::StartExperiment, "", [](TPelmora& c) { c.Pelmora(true); },
       -1},
      {"start, inside the first pump of its identification", ids, ReleaseIn::PumpAfterCommand, "",
       [](TPelmora& c) {
         c.F_.CheckForExperiment = true;
         c.Pelmora(true);
       },
       -1},
      {"a set-up command, inside its own flush", ids, ReleaseIn::PumpAfterCommand, "",
       [](TPelmora& c) { c.OutputLine(3); }, -1},
      {"capture start, inside an error of its identification", "{12,0,0}\r\n", ReleaseIn::PelmoraError, "",
       [](TPelmora& c) { c.HighSpeedExperiment(true, TxHighSpeedRunMode::CommandMode); }, -1},
      {"one-shot reading, inside its wait", ids, ReleaseIn::PumpAfterCommand, "s{10,5}",
       [](TPelmora& c) { c.GetCurrentValue(); }, 2},
      {"erase, inside its wait", ids, ReleaseIn::PumpAfterCommand, "s{80,13}",
       [](TPelmora& c) { c.EraseMemoryData(1, true); }, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fake::Rig rig;
    auto p = Connect(rig, c.idReply);
    ASSERT_TRUE(p);
    std::size_t sentAtRelease = 0;
    int pumpsAtRelease = 0;
    bool released = false;
    const auto release = [&] {
      if (released) return;
      released = true;
      sentAtRelease = rig.wire.size();
      pumpsAtRelease = rig.host->pumps;
      p.reset();
    };
    const std::size_t start = rig.wire.size();
    if (c.where == ReleaseIn::StartExperiment) {
      p->StartExperiment([&](TPelmora&) { release(); });
    } else if (c.where == ReleaseIn::PelmoraError) {
      p->PelmoraError([&](TPelmora&, int) { release(); });
    } else {
      rig.host->onPump = [&, after = std::string(c.after)] {
        const bool gone = after.empty() || std::find(rig.wire.begin() + static_cast<long>(start), rig.wire.end(),
                                                     after) != rig.wire.end();
        if (gone) release();
      };
    }
    TPelmora* raw = p.get();
    c.call(*raw);
    rig.host->onPump = nullptr;
    ASSERT_TRUE(released);
    EXPECT_EQ(std::vector<std::string>(rig.wire.begin() + static_cast<long>(sentAtRelease), rig.wire.end()),
              std::vector<std::string>{});
    if (c.maxPumpsAfter >= 0) {
      EXPECT_LE(rig.host->pumps - pumpsAtRelease, c.maxPumpsAfter);
    }
    EXPECT_TRUE(rig.workerStopped);  // it ended as the call unwound
  }
}

}  // namespace
