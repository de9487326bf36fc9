// The simulator on COM8 of the pty pair 7<->8, spoken to from COM7.
#include <windows.h>

#include <gtest/gtest.h>

#include "SimWireClient.h"
#include "sim/interface/ComPairLink.h"
#include "sim/interface/DataBlock.h"
#include "sim/interface/InterfaceSim.h"

namespace pel::sim {
namespace {

using namespace std::chrono_literals;
using test::openCom;

constexpr auto kWait = 2000ms;  // an upper bound only

std::string serialCommValue(const std::string& name) {
  char data[64] = {};
  DWORD size = sizeof data;
  DWORD type = 0;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
      ERROR_SUCCESS)
    return {};
  LONG r = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  return r == ERROR_SUCCESS && type == REG_SZ ? std::string(data) : std::string();
}

TEST(SimCom, ListedPortAppearsInTheSystemPortListWhileItLives) {
  std::string name;
  {
    ListedComPort listed(7);
    name = listed.valueName();
    EXPECT_EQ(serialCommValue(name), "COM7");
  }
  EXPECT_EQ(serialCommValue(name), "");
}

TEST(SimCom, AnswersAndStreamsOverThePtyPair) {
  InterfaceSim sim(Model::Qor);
  sim.startCom(8);
  auto wire = openCom(7);
  ASSERT_TRUE(wire);
  wire->write("\r\n");
  wire->write("s{10,3}\r\n");
  EXPECT_EQ(wire->readLine(kWait), "{Pelmora QOR}");
  wire->write("s{11,5}\r\ns{20,2}\r\n");
  EXPECT_EQ(wire->readLine(kWait), "{11}");
  EXPECT_EQ(wire->readLine(kWait), "{12,0,0,0,0,0,0,0}");
  // 8-port frames.
  wire->write("s{12,0.010}\r\ns{10,1}\r\n");
  for (int i = 0; i < 3; ++i) EXPECT_EQ(wire->readLine(kWait).size() + 1, 99u);
  wire->write("s{10,0}\r\n");
  ASSERT_TRUE(sim.log().waitFor("s{10,0}", kWait));
  wire->drain(50ms);
  EXPECT_EQ(wire->drain(60ms), "");
  EXPECT_EQ(sim.log().count(""), 1u);
}

TEST(SimCom, PiecesAndAPortThatCloses) {
  InterfaceSim sim(Model::Vaxo);
  Faults f;
  f.delivery = Delivery::ByteByByte;
  f.closeAfterCommands = 2;
  sim.setFaults(f);
  sim.startCom(8);
  auto wire = openCom(7);
  ASSERT_TRUE(wire);
  wire->write("s{10,3}\r\n");
  EXPECT_EQ(wire->readLine(kWait), "{Pelmora VAXO}");
  EXPECT_GT(wire->reads(), 5);
  // The second command closes the port; the simulator opens it again.
  wire->write("s{10,R}\r\n");
  EXPECT_EQ(wire->readLine(200ms), "");
  sim.setFaults(Faults());
  for (int i = 0; i < 100 && sim.connections() < 2; ++i) Sleep(10);
  EXPECT_EQ(sim.connections(), 2);
  wire->write("s{10,4}\r\n");
  EXPECT_EQ(wire->readLine(kWait), "{3.0}");
}

TEST(SimCom, AsterDirectoryAndDownloadThenSilence) {
  InterfaceSim sim(Model::Aster);
  Bank b;
  b.intervalUnits = 5;
  b.sensorIds = {12, 0, 7};
  for (int i = 0; i < 40; ++i) b.samples.push_back(i % 2 ? -0x0A0D0A0D : 0x0D0A0D0A + i);
  sim.setBank(2, b);
  Faults f;
  f.silentAfterBlocks = 1;
  sim.setFaults(f);
  sim.startCom(8);
  auto wire = openCom(7);
  ASSERT_TRUE(wire);
  wire->write("s{80,10}\r\n");
  EXPECT_EQ(wire->readLine(kWait), "{0,0,1,0,0,0,0,0,0,0,0,0,0,0,0,0}");
  wire->write("s{80,11,3}\r\n");
  EXPECT_EQ(wire->readLine(kWait), "{00000,05,012,000,007,00040}");
  wire->write("s{80,12,6252,30}\r\n");
  std::string first = asterBlock(std::span(b.samples).first(30));
  EXPECT_EQ(wire->readExactly(first.size(), kWait), first);
  // The box falls silent during the download.
  wire->write("s{80,12,6282,30}\r\n");
  ASSERT_TRUE(sim.log().waitFor("s{80,12,6282,30}", kWait));
  EXPECT_EQ(wire->drain(100ms), "");
}

TEST(SimCom, ScopeBlockWithAWrongCheckByteThenRight) {
  InterfaceSim sim(Model::Vaxo);
  Faults f;
  f.wrongCheckBlocks = {1};
  sim.setFaults(f);
  sim.startCom(8);
  auto wire = openCom(7);
  ASSERT_TRUE(wire);
  wire->write("s{89,1}\r\ns{88,1,20}\r\n");
  ASSERT_TRUE(sim.log().waitFor("s{88,1,20}", kWait));
  Sleep(20);  // 200 values of 25 us
  std::vector<std::int32_t> first;
  for (int i = 0; i < 30; ++i) first.push_back(toRaw(1 + i % 10 / 10.0));
  for (bool wrong : {true, false}) {
    wire->write("s{88,2,0,30}\r\n");
    std::string want = scopeBlock(first, wrong);
    EXPECT_EQ(wire->readExactly(want.size(), kWait), want);
  }
}

TEST(SimCom, MissingPortIsAClearError) {
  InterfaceSim sim;
  EXPECT_THROW(sim.startCom(199), std::runtime_error);
  EXPECT_FALSE(sim.running());
}

}  // namespace
}  // namespace pel::sim
