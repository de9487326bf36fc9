// Memory banks of Sorn II, Qor and Aster: captures, directory, downloads,
// erase, and the faults a download can meet.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "SimEngineFixture.h"
#include "sim/interface/DataBlock.h"

namespace pel::sim {
namespace {

using namespace std::chrono_literals;
using test::Lines;

struct Decoded {
  int count = -1;
  std::vector<std::int32_t> raw;
  bool checkOk = false;
};

// Reads one block the way a careful host does: by the announced count, not
// by the first CR LF. `head` is "[05," or "{".
Decoded decode(const std::string& bytes, const std::string& head, char close) {
  Decoded d;
  if (bytes.compare(0, head.size(), head) != 0) {
    ADD_FAILURE() << "block does not start with " << head;
    return d;
  }
  std::size_t p = head.size();
  d.count = (bytes[p] - '0') * 10 + (bytes[p + 1] - '0');
  p += 3;
  std::size_t want = p + 4 * d.count + 1 + 3;
  EXPECT_EQ(bytes.size(), want) << "block length";
  if (bytes.size() != want) return d;
  std::uint8_t x = 0;
  for (int i = 0; i < d.count; ++i) {
    std::uint32_t u = 0;
    for (int b = 0; b < 4; ++b) {
      auto c = static_cast<unsigned char>(bytes[p + 4 * i + b]);
      x ^= c;
      u = (u << 8) | c;
    }
    d.raw.push_back(static_cast<std::int32_t>(u));
  }
  d.checkOk = static_cast<unsigned char>(bytes[p + 4 * d.count]) == x;
  EXPECT_EQ(bytes.substr(want - 3), std::string(1, close) + "\r\n");
  return d;
}

std::vector<std::int32_t> rawOf(const Bank& b, std::size_t from, std::size_t n) {
  return {b.samples.begin() + from, b.samples.begin() + from + n};
}

class Memory : public test::EngineTest {
 protected:
  Memory() { use(Model::SornII); }
};

TEST_F(Memory, SornCaptureEndsWithItsDirectoryLineAndDownloadsInBlocksOfThirty) {
  engine.settings().sensorIds = {12, 0, 0, 0, 0, 0, 0, 0};
  engine.settings().value = [](std::int64_t n, int ch) { return ch * 10 + n * 0.25 - 3; };
  EXPECT_EQ(send("s{82,1,10}"), Lines{"[09]"});
  EXPECT_EQ(send("s{80,1}"), Lines{"[01]"});
  EXPECT_EQ(advance(74ms), Lines{});  // 75 samples at 1 ms
  Lines end = advance(1ms);
  ASSERT_EQ(end, Lines{"[01,00000,10,012,000,000,0003]"});
  EXPECT_GT(end[0].size() + 1, 28u);  // long enough to end the host's capture
  EXPECT_EQ(send("s{80,3}"), end);
  const Bank& bank = engine.memory().banks[0];
  ASSERT_EQ(bank.samples.size(), 75u);
  EXPECT_EQ(bank.samples[4], toRaw(-2.0));
  std::size_t sizes[] = {30, 30, 15, 0};
  for (int b = 0; b < 4; ++b) {
    Decoded d = decode(raw({"s{80,4," + std::to_string(b) + "}"}), "[05,", ']');
    EXPECT_EQ(d.count, static_cast<int>(sizes[b])) << b;
    EXPECT_TRUE(d.checkOk) << b;
    if (d.count == static_cast<int>(sizes[b])) {
      EXPECT_EQ(d.raw, rawOf(bank, b * 30, sizes[b]));
    }
  }
}

TEST_F(Memory, CaptureRefusalsAndModelsWithoutMemory) {
  EXPECT_EQ(send("s{82,4,10}"), Lines{"[02]"});  // the memory records A to C only
  EXPECT_EQ(send("s{82,1,0}"), Lines{"[02]"});
  EXPECT_EQ(send("s{82,1,600001}"), Lines{"[02]"});
  EXPECT_EQ(send("s{82,3,600000}"), Lines{"[09]"});
  engine.settings().refuseCapture = true;
  EXPECT_EQ(send("s{80,1}"), Lines{"[02]"});
  engine.settings().refuseCapture = false;
  EXPECT_EQ(send("s{80,1}"), Lines{"[01]"});
  EXPECT_EQ(send("s{80,1}"), Lines{"[02]"});  // one at a time
  for (Model m : {Model::Vaxo, Model::Qor3, Model::Unnamed}) {
    use(m);
    EXPECT_EQ(send(Lines{"s{82,1,10}", "s{80,1}", "s{83}", "s{80,3}", "s{80,10}", "s{80,4,0}",
                         "s{80,12,0,30}", "s{80,13}", "s{80,0}"}),
              Lines{});
  }
}

TEST_F(Memory, StopKeepsWhatWasCapturedSoFar) {
  use(Model::Qor);
  send(Lines{"s{82,2,5}", "s{80,1}"});  // 0.5 ms
  advance(10ms);
  EXPECT_EQ(send(Lines{"s{80,0}", "s{80,0}", "s{80,0}"}), (Lines{"[00]", "[00]", "[00]"}));
  EXPECT_EQ(advance(1s), Lines{});  // no end line after a stop
  EXPECT_EQ(engine.memory().banks[0].samples.size(), 20u);
  EXPECT_EQ(send("s{80,3}"), Lines{"[01,00000,05,000,000,000,0001]"});  // B has no sensor
}

TEST_F(Memory, AsterKeepsSixteenBanksByAddress) {
  use(Model::Aster);
  engine.settings().sensorIds = {12, 7, 0, 0, 0, 0, 0, 0};
  engine.settings().captureSamples = 40;
  EXPECT_EQ(send("s{82,2,20}"), Lines{"{1}"});
  EXPECT_EQ(send("s{80,1}"), Lines{"{1}"});
  EXPECT_EQ(advance(80ms), Lines{"{00000,20,000,007,000,00040}"});
  EXPECT_EQ(send("s{83}"), Lines{"{1}"});  // the interface-started capture
  advance(80ms);
  EXPECT_EQ(send("s{80,10}"), Lines{"{1,1,0,0,0,0,0,0,0,0,0,0,0,0,0,0}"});
  EXPECT_EQ(send("s{80,11,2}"), Lines{"{00000,20,000,007,000,00040}"});
  EXPECT_EQ(send("s{80,11,3}"), Lines{"{00000,00,000,000,000,00000}"});
  EXPECT_EQ(send(Lines{"s{80,11,0}", "s{80,11,17}"}), Lines{});
  // Bank 2 starts at 3126; a request stops at the bank's end.
  const Bank& b2 = engine.memory().banks[1];
  Decoded d = decode(raw({"s{80,12,3126,30}"}), "{", '}');
  EXPECT_EQ(d.raw, rawOf(b2, 0, 30));
  d = decode(raw({"s{80,12,3156,30}"}), "{", '}');
  EXPECT_EQ(d.raw, rawOf(b2, 30, 10));
  EXPECT_TRUE(d.checkOk);
  EXPECT_EQ(decode(raw({"s{80,12,3166,30}"}), "{", '}').count, 0);
  EXPECT_EQ(decode(raw({"s{80,12,0,12}"}), "{", '}').count, 12);
  // Erase one, then all; a full memory refuses a capture.
  EXPECT_EQ(send("s{80,14,1}"), Lines{"{1}"});
  EXPECT_EQ(send("s{80,14,17}"), Lines{"{0}"});
  EXPECT_EQ(send("s{80,10}"), Lines{"{0,1,0,0,0,0,0,0,0,0,0,0,0,0,0,0}"});
  EXPECT_EQ(send("s{80,13}"), Lines{"{1}"});
  EXPECT_EQ(send("s{80,10}"), Lines{"{0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0}"});
  for (Bank& b : engine.memory().banks) b.samples = {1};
  EXPECT_EQ(send("s{80,1}"), Lines{"{0}"});
}

TEST(MemoryLines, IntervalFieldsAndTwoChannelBanks) {
  struct Case {
    int units;
    const char* sorn;
  };
  const Case cases[] = {
      {1, "[03,00000,01,005,009,000,0002]"},
      {49, "[03,00000,49,005,009,000,0002]"},
      {50, "[03,00005,00,005,009,000,0002]"},
      {600000, "[03,60000,00,005,009,000,0002]"},
  };
  for (const Case& c : cases) {
    Bank b;
    b.intervalUnits = c.units;
    b.sensorIds = {5, 9, 0};
    b.samples.assign(60, 0);  // 30 instants of A and B
    EXPECT_EQ(sornDirectoryLine(b, 3), c.sorn);
    EXPECT_EQ(sornDirectoryLine(b, 3).size(), 30u);
  }
  Bank b;
  b.samples.assign(3126, 1);
  EXPECT_EQ(asterInfoLine(b), "{00000,00,000,000,000,03126}");
}

TEST_F(Memory, FaultsWrongCheckBytesSilenceAndValuesWithLineEnds) {
  Bank& bank = engine.memory().banks[0];
  bank.intervalUnits = 10;
  bank.sensorIds = {12, 0, 0};
  // Bytes 0D 0A inside the values and as the check byte of block 1.
  bank.samples = {0x0D0A0D0A, -0x0A0D0A0E, 0x7F0D0A00, 0x0D0A0000};
  std::string block = raw({"s{80,4,0}"});
  EXPECT_NE(block.find("\r\n"), block.size() - 2);  // a line end before the end
  Decoded d = decode(block, "[05,", ']');
  EXPECT_EQ(d.raw, bank.samples);
  EXPECT_TRUE(d.checkOk);

  Faults f;
  f.wrongCheckBlocks = {2};
  engine.setFaults(f);
  EXPECT_TRUE(decode(raw({"s{80,4,0}"}), "[05,", ']').checkOk);
  EXPECT_FALSE(decode(raw({"s{80,4,0}"}), "[05,", ']').checkOk);
  EXPECT_TRUE(decode(raw({"s{80,4,0}"}), "[05,", ']').checkOk);  // asked again: right

  f = Faults{};
  f.silentAfterBlocks = 1;
  engine.setFaults(f);
  EXPECT_EQ(decode(raw({"s{80,4,0}"}), "[05,", ']').count, 4);
  EXPECT_EQ(raw({"s{80,4,1}", "s{80,3}", "s{10,3}"}), "");  // the box has gone silent
  EXPECT_EQ(engine.log().count("s{80,4,1}"), 1u);
  engine.setFaults(Faults{});
  EXPECT_EQ(send("s{10,3}"), Lines{"{Pelmora SORN II}"});
}

TEST_F(Memory, LateBlockHoldsWhatFollowsItThenReleasesItReplyByReply) {
  Bank& bank = engine.memory().banks[0];
  bank.sensorIds = {12, 0, 0};
  for (int i = 0; i < 75; ++i) bank.samples.push_back(i);
  Faults f;
  f.lateBlock = 2;
  f.lateBlockMs = 900;
  f.heldReplyGapMs = 40;
  engine.setFaults(f);
  EXPECT_EQ(decode(raw({"s{80,4,0}"}), "[05,", ']').raw, rawOf(bank, 0, 30));
  EXPECT_EQ(raw({"s{80,4,1}"}), "");
  EXPECT_EQ(raw({"s{80,4,1}", "s{10,3}"}), "") << "replies after the late block wait behind it";
  EXPECT_EQ(advanceRaw(899ms), "");
  ASSERT_EQ(engine.nextFrameDue(), now + 1ms);
  const std::string late = advanceRaw(1ms);
  EXPECT_EQ(decode(late, "[05,", ']').raw, rawOf(bank, 30, 30));
  EXPECT_EQ(advanceRaw(39ms), "");
  EXPECT_EQ(advanceRaw(1ms), late) << "the repeated request's answer";
  EXPECT_EQ(advance(40ms), Lines{"{Pelmora SORN II}"});
  EXPECT_EQ(engine.nextFrameDue(), now + 40ms);
  EXPECT_EQ(advanceRaw(40ms), "");
  EXPECT_FALSE(engine.nextFrameDue().has_value());
  EXPECT_EQ(decode(raw({"s{80,4,2}"}), "[05,", ']').raw, rawOf(bank, 60, 15)) << "only one block is late";
}

TEST(DataBlocks, CheckByteIsTheXorOfTheValueBytes) {
  std::vector<std::int32_t> raw = {1, -1, 0x01020304};
  EXPECT_EQ(valueBytes(raw), std::string("\0\0\0\1\xff\xff\xff\xff\1\2\3\4", 12));
  EXPECT_EQ(xorCheck(raw), 0x01 ^ 0xff ^ 0xff ^ 0xff ^ 0xff ^ 0x01 ^ 0x02 ^ 0x03 ^ 0x04);
  EXPECT_EQ(toRaw(1.25), 12500);
  EXPECT_EQ(toRaw(-2.00004), -20000);
  EXPECT_EQ(toRaw(1e12), 2147483647);
  EXPECT_EQ(scopeBlock({}), "{00}\r\n");
  EXPECT_EQ(asterBlock({}), std::string("{00,\0}\r\n", 8));
}

}  // namespace
}  // namespace pel::sim
