#pragma once
// A host that lets go of the component inside an event of a run against the
// simulated interface: after the automatic stop (inside StopExperiment) or
// on the receive path (inside DataReceived). The programs that use this link
// the quarantine heap, so code still running in the freed component fails.
#include <chrono>
#include <functional>
#include <memory>

#include "tests/devicelink/RunSimCheck.h"

namespace lifetime {

enum class ReleaseIn { StopAfterAutoStop, DataReceived };

// connect: builds and connects a component (asserting inside).
using Connect = std::function<std::shared_ptr<TPelmora>()>;

inline void ReleaseDuringARun(const Connect& connect, ReleaseIn where) {
  using namespace std::chrono_literals;
  auto p = connect();
  ASSERT_TRUE(p);
  runsim::PlanAnalogRun(*p, 0.01, 20);
  int records = 0, stops = 0, errors = 0;
  bool released = false;
  p->DataReceived([&](TPelmora&, const std::wstring&) {
    ++records;
    if (where == ReleaseIn::DataReceived && records == 5) {
      released = true;
      p.reset();
    }
  });
  p->StopExperiment([&](TPelmora&) {
    ++stops;
    if (where == ReleaseIn::StopAfterAutoStop) {
      released = true;
      p.reset();
    }
  });
  p->PelmoraError([&](TPelmora&, int) { ++errors; });
  ASSERT_EQ(p->Pelmora(true), 0);
  ASSERT_TRUE(runsim::PumpUntil([&] { return released; }, 10s)) << records << " records";
  const int recordsAtRelease = records, stopsAtRelease = stops;
  runsim::PumpUntil([] { return false; }, 300ms);  // whatever was on its way
  EXPECT_EQ(records, recordsAtRelease);             // no event after the release
  EXPECT_EQ(stops, stopsAtRelease);
  EXPECT_EQ(errors, 0);
  if (where == ReleaseIn::StopAfterAutoStop) {
    EXPECT_EQ(records, 20);
    EXPECT_EQ(stops, 1);
  }
}

}  // namespace lifetime
