// The PelmoraSim command line.
#include <gtest/gtest.h>

#include <stdexcept>

#include "sim/interface/SimOptions.h"

namespace pel::sim {
namespace {

TEST(SimOptions, DefaultsServeAQorOnTcp4000) {
  SimOptions o = parseSimOptions({});
  EXPECT_EQ(o.comPort, 0);
  EXPECT_EQ(o.tcpPort, 4000);
  EXPECT_EQ(o.settings.identifyReply, "{Pelmora QOR}");
  EXPECT_FALSE(o.faults.silent);
}

TEST(SimOptions, ModelSetsDefaultsThatLaterOptionsChange) {
  // --model last still applies first, so --product is not undone by it.
  SimOptions o = parseSimOptions({"--com", "8", "--product", "X1", "--sensors", "5,0,7",
                                  "--no-timing", "--delivery", "pieces", "--garbage", "3",
                                  "--frame-delta", "-2", "--close-after", "4", "--close-after-frames", "6", "--silent",
                                  "--model", "qor03"});
  EXPECT_EQ(o.comPort, 8);
  EXPECT_EQ(o.settings.identifyReply, "{Pelmora QOR03 ready}");
  EXPECT_EQ(o.settings.productNo, "X1");
  EXPECT_EQ(o.settings.sensorIds, (std::array<int, 8>{5, 0, 7, 0, 0, 0, 0, 0}));
  EXPECT_FALSE(o.settings.timingProbe.has_value());
  EXPECT_TRUE(o.settings.scopeProbe.has_value());
  EXPECT_EQ(o.faults.delivery, Delivery::RandomPieces);
  EXPECT_EQ(o.faults.garbageEvery, 3);
  EXPECT_EQ(o.faults.frameLengthDelta, -2);
  EXPECT_EQ(o.faults.closeAfterCommands, 4);
  EXPECT_EQ(o.faults.closeAfterFrames, 6);
  EXPECT_TRUE(o.faults.silent);
  EXPECT_EQ(parseSimOptions({"--tcp", "4100"}).tcpPort, 4100);
  EXPECT_EQ(parseSimOptions({"--tcp", "--quiet"}).tcpPort, 4000);
  EXPECT_EQ(parseSimOptions({"--identify", "Pelmora Z"}).settings.identifyReply, "Pelmora Z");
}

TEST(SimOptions, MemoryFaultsAndCaptures) {
  SimOptions o = parseSimOptions({"--model", "aster", "--wrong-check", "2,5", "--silent-after-blocks",
                                  "7", "--capture-samples", "3000", "--refuse-capture", "--late-block", "3",
                                  "--late-block-ms", "1200", "--scope-empty-until-full"});
  EXPECT_EQ(o.settings.memory, MemoryFormat::Aster);
  EXPECT_EQ(o.faults.wrongCheckBlocks, (std::vector<int>{2, 5}));
  EXPECT_EQ(o.faults.silentAfterBlocks, 7);
  EXPECT_EQ(o.settings.captureSamples, 3000);
  EXPECT_TRUE(o.settings.refuseCapture);
  EXPECT_EQ(o.faults.lateBlock, 3);
  EXPECT_EQ(o.faults.lateBlockMs, 1200);
  EXPECT_TRUE(o.faults.scopeEmptyUntilFull);
  EXPECT_EQ(parseSimOptions({}).faults.lateBlock, 0);
}

TEST(SimOptions, BadOptionsAreNamed) {
  const std::vector<std::vector<std::string>> bad = {
      {"--model", "box"}, {"--com"},          {"--com", "0"},           {"--com", "x"},
      {"--tcp", "70000"}, {"--delivery", "x"}, {"--sensors", "1,,2"},
      {"--sensors", "1,2,3,4,5,6,7,8,9"},     {"--frame-delta", "99"},  {"--what"},
      {"--wrong-check", "0"}, {"--wrong-check", "1,"}, {"--capture-samples", "50011"},
      {"--late-block", "-1"}, {"--late-block-ms", "x"},
  };
  for (const auto& args : bad) {
    try {
      parseSimOptions(args);
      ADD_FAILURE() << "accepted " << args[0];
    } catch (const std::invalid_argument& e) {
      EXPECT_NE(std::string(e.what()).find(args[0]), std::string::npos) << e.what();
    }
  }
}

}  // namespace
}  // namespace pel::sim
