// A run against the simulated interface over the COM pair 7<->8 (box models).
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/Registry.h"
#include "RunSimCheck.h"

namespace {
using pel::reg::Root;
using pel::sim::InterfaceSim;
using pel::sim::Model;

const char* const kList = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

TEST(RunSimCom, BoxModelNormalRunStopsAfterThePlannedRecords) {
  ASSERT_TRUE(pel::reg::writeString(Root::LocalMachine, kList, "PelmoraRunTest7", "COM7"));
  InterfaceSim sim(Model::Aster);
  sim.startCom(8);
  {
    auto p = TPelmora::Create(nullptr, LinkFlavour::Studio(), TPelmora::DefaultEnvironment());
    p->AutoDetect(false);
    p->VCPort(7);
    ASSERT_EQ(p->InitializeComm(), 0);
    ASSERT_EQ(p->PelmoraType(), "Aster");
    runsim::NormalRun(*p, sim, 20);
    EXPECT_EQ(sim.log().count("s{12,0.010}"), 1u);
    EXPECT_EQ(p->CloseComm(), 0);
  }
  HKEY k;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kList, 0, KEY_SET_VALUE, &k) == ERROR_SUCCESS) {
    RegDeleteValueA(k, "PelmoraRunTest7");
    RegCloseKey(k);
  }
}

}  // namespace
