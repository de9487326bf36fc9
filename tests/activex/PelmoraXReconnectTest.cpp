// A C++ container that reconnects inside the control's error event, as a new
// user would write it: a box on COM55 streams a run; its port vanishes (the
// pty pair 55<->56 is taken down); on error 8 the container's PelmoraError
// sets VCPort to another listed port (57, whose far end nobody serves) and
// calls InitializeComm. The process lives on, the connect reports 1, and the
// control still ends cleanly.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/Registry.h"
#include "sim/interface/InterfaceSim.h"
#include "tests/activex/ComClient.h"
#include "tests/devicelink/ComPairScript.h"
#include "tests/devicelink/ListedPort.h"

namespace {
using namespace pel::test;
using pel::reg::Root;

const std::string kMessage = "Software\\VB and VBA Program Settings\\Pelmora\\Message";

TEST(ControlReconnect, ContainerReconnectsInsidePelmoraErrorWhenItsPortVanishes) {
  pel::reg::writeString(Root::CurrentUser, kMessage, "LCID", "1033");
  const ListedPort box("PelmoraXReconnectTest55", 55), silent("PelmoraXReconnectTest57", 57);
  ASSERT_TRUE(box.Put());
  ASSERT_TRUE(silent.Put());
  auto sim = std::make_unique<pel::sim::InterfaceSim>(pel::sim::Model::Aster);
  sim->startCom(56);
  Apartment apartment;
  Library lib;
  ASSERT_TRUE(lib.Loaded());
  ASSERT_EQ(lib.Call("DllRegisterServer"), S_OK);

  IPelmoraX* px = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_PelmoraX, nullptr, CLSCTX_INPROC_SERVER, IID_IPelmoraX,
                             reinterpret_cast<void**>(&px)),
            S_OK);
  EventSink sink;
  DWORD cookie = 0;
  IConnectionPoint* point = nullptr;
  ASSERT_EQ(Connect(px, &sink, &cookie, &point), S_OK);
  EXPECT_EQ(px->put_AutoDetect(0), S_OK);  // the COM ports only
  EXPECT_EQ(px->put_VCPort(55), S_OK);
  LONG r = -1;
  ASSERT_EQ(px->InitializeComm(&r), S_OK);
  ASSERT_EQ(r, 0);
  EXPECT_EQ(px->put_CheckForExperiment(0), S_OK);
  EXPECT_EQ(px->put_SamplingTime(0.05), S_OK);
  EXPECT_EQ(px->put_ExperimentLength(100.0), S_OK);

  LONG reconnected = -1;
  sink.after = [&](DISPID id) {
    if (id != 202 || sink.events.back().number != 8 || reconnected != -1) return;
    px->put_VCPort(57);
    px->InitializeComm(&reconnected);
  };
  r = -1;
  ASSERT_EQ(px->Pelmora(-1, &r), S_OK);
  ASSERT_TRUE(PumpUntil([&] { return sink.Count(201) >= 5; }, 10000));
  ASSERT_TRUE(compair::Run("stop", 55, 56));
  ASSERT_TRUE(PumpUntil([&] { return reconnected != -1; }, 10000)) << sink.events.size() << " events";
  EXPECT_EQ(reconnected, 1);  // nothing answers there
  EXPECT_EQ(sink.Count(202), 2);  // the loss, then the failed connect
  LONG port = -1;
  px->get_VCPort(&port);
  EXPECT_EQ(port, 0);

  point->Unadvise(cookie);
  point->Release();
  px->Release();
  sim.reset();
  // Back up for whatever runs next on the pair.
  ASSERT_TRUE(compair::Run("start", 55, 56));
  Sleep(500);
  EXPECT_TRUE(compair::ServeWithin(pel::sim::Model::Aster, 56, std::chrono::seconds(10)));
  pel::reg::deleteTree(Root::CurrentUser, kMessage);
}

}  // namespace
