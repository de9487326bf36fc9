// Scope runs: the time base, the buffer the run samples and its blocks.
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

struct Block {
  int count = -1;
  std::vector<std::int32_t> raw;
  bool checkOk = false;
};

// By the announced count; "{00}" CR LF is the empty block.
Block decode(const std::string& b) {
  Block d;
  if (b == "{00}\r\n") return Block{0, {}, true};
  if (b.size() < 8 || b[0] != '{' || b[3] != ',') {
    ADD_FAILURE() << "not a scope block: " << b;
    return d;
  }
  d.count = (b[1] - '0') * 10 + (b[2] - '0');
  EXPECT_EQ(b.size(), 4u + 4 * d.count + 4);
  if (b.size() != 4u + 4 * d.count + 4) return d;
  std::uint8_t x = 0;
  for (int i = 0; i < d.count; ++i) {
    std::uint32_t u = 0;
    for (int k = 0; k < 4; ++k) {
      auto c = static_cast<unsigned char>(b[4 + 4 * i + k]);
      x ^= c;
      u = u << 8 | c;
    }
    d.raw.push_back(static_cast<std::int32_t>(u));
  }
  d.checkOk = static_cast<unsigned char>(b[4 + 4 * d.count]) == x;
  EXPECT_EQ(b.substr(b.size() - 3), "}\r\n");
  return d;
}

class Scope : public test::EngineTest {
 protected:
  Scope() {
    engine.settings().scopeChannels = {0, 2};
    engine.settings().value = [](std::int64_t n, int ch) { return ch == 0 ? 1.5 + n : -2.25 - n; };
  }
  Block read(int pos, int n = 30) {
    return decode(raw({"s{88,2," + std::to_string(pos) + "," + std::to_string(n) + "}"}));
  }
  std::int32_t expected(int pos) {
    int n = pos / 2;
    return toRaw(pos % 2 ? -2.25 - n : 1.5 + n);
  }
};

TEST_F(Scope, ReadsTheWholeBufferInBlocksOfThirtyThenEmptyBlocks) {
  EXPECT_EQ(send(Lines{"s{11,3}", "s{89,40}", "s{88,1,20}"}), Lines{"{11}"});
  advance(100ms);  // 100 instants of 1 ms, two channels: 200 values
  for (int pos = 0; pos < 200; pos += 30) {
    Block b = read(pos);
    int want = std::min(30, 200 - pos);
    ASSERT_EQ(b.count, want) << pos;
    EXPECT_TRUE(b.checkOk);
    for (int i = 0; i < want; ++i) EXPECT_EQ(b.raw[i], expected(pos + i)) << pos + i;
  }
  EXPECT_EQ(read(200).count, 0);
  EXPECT_EQ(read(5, 3).raw, (std::vector<std::int32_t>{expected(5), expected(6), expected(7)}));
  EXPECT_EQ(send("s{88,0}"), Lines{});
  EXPECT_EQ(read(0).count, 30);  // the buffer stays after the stop
}

TEST_F(Scope, ValuesAreReadableOnlyOnceSampledAndTheStopFreezesThem) {
  send(Lines{"s{89,40}", "s{88,1,32}"});
  EXPECT_EQ(read(0).count, 0);
  advance(10ms);
  EXPECT_EQ(read(0).count, 20);
  EXPECT_EQ(read(20).count, 0);
  advance(4ms);
  send("s{88,0}");
  advance(1s);
  EXPECT_EQ(read(0).count, 28);
  EXPECT_EQ(read(28).count, 0);
  // A new run: time index 1 is 25 us an instant, 320 values in 4 ms.
  send(Lines{"s{89,1}", "s{88,1,32}"});
  advance(4ms);
  EXPECT_EQ(read(300).count, 20);
}

TEST_F(Scope, EmptyUntilFullFaultHoldsBackAPartlySampledBuffer) {
  Faults f;
  f.scopeEmptyUntilFull = true;
  engine.setFaults(f);
  send(Lines{"s{89,40}", "s{88,1,20}"});
  advance(99ms);  // 198 of 200 values
  EXPECT_EQ(read(0).count, 0);
  advance(1ms);
  EXPECT_EQ(read(0).count, 30);
  EXPECT_EQ(read(180).count, 20);
}

TEST_F(Scope, IgnoresBadArgumentsAndModelsWithoutScope) {
  EXPECT_EQ(raw({"s{88,2,0,30}"}), "");  // no run since connect: nothing to read
  send(Lines{"s{89,50}", "s{89,x}"});
  EXPECT_EQ(engine.scope().timeIndex, 1);
  send("s{89,10000}");
  EXPECT_EQ(engine.scope().timeIndex, 10000);
  send(Lines{"s{88,1,0}", "s{88,1,1001}"});
  EXPECT_FALSE(engine.scope().started);
  for (Model m : {Model::SornII, Model::Unnamed}) {
    use(m);
    EXPECT_EQ(raw({"s{89,1}", "s{88,1,20}", "s{88,2,0,30}", "s{88,0}"}), "");
  }
}

TEST_F(Scope, WrongCheckByteOnTheChosenBlock) {
  send(Lines{"s{88,1,20}"});
  advance(10ms);
  Faults f;
  f.wrongCheckBlocks = {2};
  engine.setFaults(f);
  EXPECT_TRUE(read(0).checkOk);
  Block bad = read(30);
  EXPECT_EQ(bad.count, 30);
  EXPECT_FALSE(bad.checkOk);
  EXPECT_TRUE(read(30).checkOk);
}

}  // namespace
}  // namespace pel::sim
