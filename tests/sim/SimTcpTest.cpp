// The simulator served on TCP 127.0.0.1:4000, spoken to by a plain client.
#include <gtest/gtest.h>

#include <thread>

#include "SimWireClient.h"
#include "sim/interface/DataBlock.h"
#include "sim/interface/InterfaceSim.h"

namespace pel::sim {
namespace {

using namespace std::chrono_literals;
using test::connectTcp;

constexpr auto kWait = 2000ms;  // an upper bound only; replies come in milliseconds

TEST(SimTcp, IdentifiesAndServesOnePeerAfterAnother) {
  InterfaceSim sim(Model::Qor3);
  sim.startTcp();
  for (int round = 0; round < 2; ++round) {
    auto wire = connectTcp(4000);
    ASSERT_TRUE(wire);
    ASSERT_TRUE(wire->write("\r\ns{10,3}\r\n"));
    EXPECT_EQ(wire->readLine(kWait), "{Pelmora QOR03 ready}");
    ASSERT_TRUE(wire->write("s{10,R}\r\ns{10,4}\r\ns{20}\r\n"));
    EXPECT_EQ(wire->readLine(kWait), "{QOR-3}");
    EXPECT_EQ(wire->readLine(kWait), "{5.0}");
    EXPECT_EQ(wire->readLine(kWait), "{12,0,0,0}");
  }
  EXPECT_EQ(sim.connections(), 2);
  EXPECT_EQ(sim.log().count("s{10,3}"), 2u);
  EXPECT_EQ(sim.log().count(""), 2u);

  // Settings change while serving.
  sim.setModel(Model::Vaxo);
  auto wire = connectTcp(4000);
  ASSERT_TRUE(wire);
  wire->write("s{10,3}\r\n");
  EXPECT_EQ(wire->readLine(kWait), "{Pelmora VAXO}");
  sim.stop();
  EXPECT_TRUE(wire->closedWithin(kWait));
  EXPECT_FALSE(connectTcp(4000));
}

TEST(SimTcp, BusyPortIsAClearError) {
  InterfaceSim first;
  first.startTcp();
  InterfaceSim second;
  try {
    second.startTcp();
    ADD_FAILURE() << "a second simulator listens on the same port";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("127.0.0.1:4000"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(second.running());
  // The first one still serves.
  auto wire = connectTcp(4000);
  ASSERT_TRUE(wire);
  wire->write("s{10,3}\r\n");
  EXPECT_EQ(wire->readLine(kWait), "{Pelmora QOR}");
}

TEST(SimTcp, StreamsFramesAtTheSamplingTimeUntilStopped) {
  InterfaceSim sim(Model::Qor);
  sim.startTcp();
  auto wire = connectTcp(4000);
  ASSERT_TRUE(wire);
  wire->write("s{11,1}\r\ns{12,0.010}\r\ns{10,1}\r\n");
  auto started = std::chrono::steady_clock::now();
  for (int i = 0; i < 5; ++i) {
    std::string frame = wire->readLine(kWait);
    ASSERT_EQ(frame.size() + 1, 39u) << frame;
    EXPECT_EQ(frame.front(), '{');
  }
  // Five frames 10 ms apart take at least 50 ms.
  EXPECT_GE(std::chrono::steady_clock::now() - started, 45ms);
  wire->write("s{10,0}\r\n");
  ASSERT_TRUE(sim.log().waitFor("s{10,0}", kWait));
  wire->drain(50ms);  // frames already on the way
  EXPECT_EQ(wire->drain(60ms), "");
  EXPECT_FALSE(sim.streaming());
}

TEST(SimTcp, FastBlockThenTimingStreamsAsTheStartChose) {
  InterfaceSim sim(Model::Qor3);
  sim.startTcp();
  auto wire = connectTcp(4000);
  ASSERT_TRUE(wire);
  wire->write("s{146,1}\r\ns{11,1}\r\ns{12,0.000500,100}\r\ns{23,1}\r\ns{10,1}\r\n");
  for (int i = 0; i < 3; ++i) {
    std::string frame = wire->readLine(kWait);
    EXPECT_EQ(frame.size() + 1, 93u) << frame;  // ten samples of channel A
  }
  wire->write("s{10,0}\r\ns{50,0}\r\n");
  ASSERT_TRUE(sim.log().waitFor("s{50,0}", kWait));
  wire->drain(50ms);
  wire->write("s{11,0}\r\ns{13,1}\r\ns{10,1}\r\n");
  std::string gates = wire->readLine(kWait);
  EXPECT_EQ(gates, "{" + std::string(40, '0') + std::string(20, '1') + std::string(12, '0') + "}");
  wire->write("s{10,0}\r\n");
  ASSERT_TRUE(sim.log().waitFor("s{10,0}", kWait, 2));
  EXPECT_EQ(sim.log().textsFrom(0),
            (std::vector<std::string>{"s{146,1}", "s{11,1}", "s{12,0.000500,100}", "s{23,1}",
                                      "s{10,1}", "s{10,0}", "s{50,0}", "s{11,0}", "s{13,1}",
                                      "s{10,1}", "s{10,0}"}));
}

TEST(SimTcp, DeliversRepliesInPiecesWhenAsked) {
  InterfaceSim sim(Model::SornII);
  Faults f;
  f.delivery = Delivery::ByteByByte;
  sim.setFaults(f);
  sim.startTcp();
  auto wire = connectTcp(4000);
  ASSERT_TRUE(wire);
  wire->write("s{10,3}\r\n");
  EXPECT_EQ(wire->readLine(kWait), "{Pelmora SORN II}");
  EXPECT_GT(wire->reads(), 5);
  f.delivery = Delivery::RandomPieces;
  sim.setFaults(f);
  wire->write("s{10,R}\r\n");
  EXPECT_EQ(wire->readLine(kWait), "{SORN-2}");
}

TEST(SimTcp, StopIsNotHeldUpBySlowDelivery) {
  InterfaceSim sim(Model::Qor);
  Faults f;
  f.delivery = Delivery::ByteByByte;  // far slower than the stream
  sim.setFaults(f);
  sim.startTcp();
  auto wire = connectTcp(4000);
  ASSERT_TRUE(wire);
  wire->write("s{12,0.001}\r\ns{10,1}\r\n");
  ASSERT_TRUE(sim.log().waitFor("s{10,1}", kWait));
  EXPECT_FALSE(wire->readLine(kWait).empty());
  auto before = std::chrono::steady_clock::now();
  sim.stop();
  // A hang would be the backlog of frames at 2 ms a byte: many seconds.
  EXPECT_LT(std::chrono::steady_clock::now() - before, 1000ms);
}

TEST(SimTcp, SilentPeerAndPeerThatCloses) {
  InterfaceSim sim(Model::Aster);
  Faults f;
  f.silent = true;
  sim.setFaults(f);
  sim.startTcp();
  {
    auto wire = connectTcp(4000);
    ASSERT_TRUE(wire);
    wire->write("s{10,3}\r\n");
    EXPECT_EQ(wire->readLine(100ms), "");
    EXPECT_TRUE(sim.log().waitFor("s{10,3}", kWait));
  }
  f = Faults();
  f.closeAfterCommands = 2;
  sim.setFaults(f);
  auto wire = connectTcp(4000);
  ASSERT_TRUE(wire);
  wire->write("s{10,3}\r\n");
  EXPECT_EQ(wire->readLine(kWait), "{Pelmora ASTER}");
  wire->write("s{10,R}\r\n");
  EXPECT_TRUE(wire->closedWithin(kWait));
  // The next peer is served again.
  sim.setFaults(Faults());
  auto again = connectTcp(4000);
  ASSERT_TRUE(again);
  again->write("s{10,3}\r\n");
  EXPECT_EQ(again->readLine(kWait), "{Pelmora ASTER}");
}

TEST(SimTcp, CapturesThenDownloadsBlocksWithLineEndBytesInPieces) {
  InterfaceSim sim(Model::Qor);
  InterfaceSettings st = sim.settings();
  st.captureSamples = 45;
  // 0x0D0A0D0A: CR LF twice inside each value.
  st.value = [](std::int64_t n, int) { return (0x0D0A0D0A + n) / 10000.0; };
  sim.setSettings(st);
  Faults f;
  f.delivery = Delivery::RandomPieces;
  f.pieceGapMicros = 200;
  f.wrongCheckBlocks = {1};
  sim.setFaults(f);
  sim.startTcp();
  auto wire = connectTcp(4000);
  ASSERT_TRUE(wire);
  wire->write("s{82,1,1}\r\ns{80,1}\r\n");  // 45 samples of 0.1 ms
  EXPECT_EQ(wire->readLine(kWait), "[09]");
  EXPECT_EQ(wire->readLine(kWait), "[01]");
  EXPECT_EQ(wire->readLine(kWait), "[01,00000,01,012,000,000,0002]");
  EXPECT_FALSE(sim.capturing());
  Bank bank = sim.bank(0);
  ASSERT_EQ(bank.samples.size(), 45u);
  // First block comes with a wrong check byte, asked again it is right.
  std::string right = sornBlock(std::span(bank.samples).first(30));
  std::string wrong = sornBlock(std::span(bank.samples).first(30), true);
  for (const std::string& want : {wrong, right}) {
    wire->write("s{80,4,0}\r\n");
    EXPECT_EQ(wire->readExactly(want.size(), kWait), want);
  }
  wire->write("s{80,4,1}\r\n");
  std::string last = sornBlock(std::span(bank.samples).subspan(30));
  EXPECT_EQ(wire->readExactly(last.size(), kWait), last);
  EXPECT_EQ(wire->drain(50ms), "");
}

TEST(SimTcp, ScopeRunReadToTheEndThenStopped) {
  InterfaceSim sim(Model::Qor);
  InterfaceSettings st = sim.settings();
  st.scopeChannels = {0, 2};
  st.value = [](std::int64_t n, int ch) { return ch == 0 ? 1.5 : 2.25 + n; };
  sim.setSettings(st);
  sim.startTcp();
  auto wire = connectTcp(4000);
  ASSERT_TRUE(wire);
  wire->write("s{11,3}\r\ns{88,1,20}\r\n");
  EXPECT_EQ(wire->readLine(kWait), "{11}");
  ASSERT_TRUE(sim.log().waitFor("s{88,1,20}", kWait));
  std::vector<std::int32_t> all;
  for (int i = 0; i < 200; ++i) all.push_back(toRaw(i % 2 ? 2.25 + i / 2 : 1.5));
  std::this_thread::sleep_for(20ms);  // 100 instants of 25 us
  for (int pos = 0; pos < 200; pos += 30) {
    wire->write("s{88,2," + std::to_string(pos) + ",30}\r\n");
    std::string want = scopeBlock(std::span(all).subspan(pos, std::min(30, 200 - pos)));
    EXPECT_EQ(wire->readExactly(want.size(), kWait), want) << pos;
  }
  wire->write("s{88,2,200,30}\r\n");
  EXPECT_EQ(wire->readLine(kWait), "{00}");
  wire->write("s{88,0}\r\n");
  ASSERT_TRUE(sim.log().waitFor("s{88,0}", kWait));
  EXPECT_EQ(wire->drain(50ms), "");
}

}  // namespace
}  // namespace pel::sim
