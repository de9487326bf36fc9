// A C++ container that lets go of the control inside one of its events, over
// the simulated interface on TCP 127.0.0.1:4000: inside its StopExperiment
// sink after the automatic stop it unadvises and releases every reference it
// holds. The control and its device link survive the delivery, nothing more
// arrives, and a new control in the same process connects and runs. Run
// under Wine's heap checking too, which poisons freed blocks.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/Registry.h"
#include "sim/interface/InterfaceSim.h"
#include "tests/activex/ComClient.h"

namespace {
using namespace pel::test;
using pel::reg::Root;

const std::string kPelmora = "Software\\VB and VBA Program Settings\\Pelmora";
const std::string kMessage = kPelmora + "\\Message";

class ControlLifetime : public ::testing::Test {
 protected:
  void SetUp() override {
    pel::reg::writeString(Root::CurrentUser, kMessage, "LCID", "1033");
    sim.startTcp(4000);
    ASSERT_TRUE(lib.Loaded());
    ASSERT_EQ(lib.Call("DllRegisterServer"), S_OK);
  }
  void TearDown() override {
    sim.stop();
    pel::reg::deleteTree(Root::CurrentUser, kMessage);
  }
  // A connected control with sink advised; an automatic stop after 11 records.
  IPelmoraX* StartRun(EventSink& sink, DWORD& cookie, IConnectionPoint*& point) {
    IPelmoraX* px = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_PelmoraX, nullptr, CLSCTX_INPROC_SERVER, IID_IPelmoraX,
                               reinterpret_cast<void**>(&px)),
              S_OK);
    if (!px) return nullptr;
    EXPECT_EQ(Connect(px, &sink, &cookie, &point), S_OK);
    LONG r = -1;
    EXPECT_EQ(px->InitializeComm(&r), S_OK);
    EXPECT_EQ(r, 0);
    BSTR type = nullptr;
    px->get_PelmoraType(&type);
    EXPECT_EQ(TakeText(type), L"Tolemic");
    EXPECT_EQ(px->put_SamplingTime(0.1), S_OK);
    EXPECT_EQ(px->put_ExperimentLength(1.0), S_OK);
    EXPECT_EQ(px->put_LoopCount(10), S_OK);
    EXPECT_EQ(px->put_AutoStop(-1), S_OK);
    r = -1;
    EXPECT_EQ(px->Pelmora(-1, &r), S_OK);
    EXPECT_EQ(r, 0);
    return px;
  }

  pel::sim::InterfaceSim sim{pel::sim::Model::SornII};
  Apartment apartment;
  Library lib;
};

TEST_F(ControlLifetime, ContainerReleasesTheControlInsideStopExperiment) {
  {
    EventSink sink;
    DWORD cookie = 0;
    IConnectionPoint* point = nullptr;
    IPelmoraX* px = StartRun(sink, cookie, point);
    ASSERT_TRUE(px && point);
    sink.after = [&](DISPID id) {
      if (id != 204 || !px) return;
      point->Unadvise(cookie);
      point->Release();
      point = nullptr;
      px->Release();  // the container's last reference
      px = nullptr;
    };
    ASSERT_TRUE(PumpUntil([&] { return px == nullptr; }, 20000)) << sink.events.size() << " events";
    const std::size_t atRelease = sink.events.size();
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(sink.events.size(), atRelease);  // nothing after the release
    EXPECT_EQ(sink.Count(204), 1);
    EXPECT_EQ(sink.Count(202), 0);
    // The device link ended with the control: its connection is closed.
    EXPECT_TRUE(PumpUntil([&] { return !sim.peerConnected(); }, 3000));
  }
  // A new control in the same process connects and runs.
  EventSink sink;
  DWORD cookie = 0;
  IConnectionPoint* point = nullptr;
  IPelmoraX* px = StartRun(sink, cookie, point);
  ASSERT_TRUE(px && point);
  EXPECT_TRUE(PumpUntil([&] { return sink.Count(204) > 0; }, 20000));
  EXPECT_EQ(sink.Count(201), 11);  // 1 s at 0.1 s: records at 0 to 1 s
  LONG r = -1;
  EXPECT_EQ(px->CloseComm(&r), S_OK);
  point->Unadvise(cookie);
  point->Release();
  px->Release();
}

}  // namespace
