#include "devicelink/records/ScopeRecords.h"

#include <gtest/gtest.h>

using namespace pel::records;

namespace {

struct Collector {
  std::vector<std::string> records;
  int stopAfter = -1;
  RecordCallback Callback() {
    return [this](const std::string& r) {
      records.push_back(r);
      return stopAfter < 0 || static_cast<int>(records.size()) < stopAfter;
    };
  }
};

DataBlock Block(int from, int n) {
  std::vector<std::int32_t> raw;
  for (int i = 0; i < n; ++i) raw.push_back((from + i) * 10000);
  return ScanDataBlock(EncodeDataBlock(raw, BlockFormat::Scope), BlockFormat::Scope);
}

}  // namespace

TEST(ScopeTime, TimeBaseTable) {
  const std::pair<int, double> table[] = {{1, 0.000025}, {2, 0.00005}, {4, 0.0001}, {10, 0.00025},
                                          {20, 0.0005},  {40, 0.001},  {100, 0.0025}, {200, 0.005},
                                          {400, 0.01},   {1000, 0.025}, {2000, 0.05}, {4000, 0.1},
                                          {10000, 0.25}};
  for (auto [n, s] : table) EXPECT_EQ(ScopeTimeSeconds(n), s) << n;
  for (int n : {0, 3, 50, -1, 20000}) EXPECT_FALSE(ScopeTimeSeconds(n).has_value()) << n;
}

TEST(ScopeSensor, ListToColumns) {
  struct Case {
    const char* list;
    std::array<int, 8> map;
    int count;
  } cases[] = {
      {"3,1", {0, -1, 1, -1, -1, -1, -1, -1}, 2},
      {"0,9,x", {-1, -1, -1, -1, -1, -1, -1, -1}, 0},
      {"2, 2,8", {-1, 0, -1, -1, -1, -1, -1, 1}, 2},
      {"1,2,3,4,5,6,7,8", {0, 1, 2, 3, 4, 5, 6, 7}, 8},
      {"", {-1, -1, -1, -1, -1, -1, -1, -1}, 0},
  };
  for (const Case& c : cases) {
    const ScopeColumns cols = ParseScopeSensorList(c.list);
    EXPECT_EQ(cols.map, c.map) << c.list;
    EXPECT_EQ(cols.count, c.count) << c.list;
  }
}

TEST(ScopeRecords, TextWithChannelsAAndC) {
  ScopeRecordBuilder b(ParseScopeSensorList("1,3"), 0.001);
  Collector out;
  EXPECT_TRUE(b.AddBlock({1.5, 2.25, -1, 0}, out.Callback()));
  EXPECT_EQ(out.records,
            (std::vector<std::string>{
                "0,0.00000000,  1.500000,0.00,   2.250000,0.00, 0.00, 0.00, 0.00, 0.00;",
                "1,0.00100000, -1.000000,0.00,   0.000000,0.00, 0.00, 0.00, 0.00, 0.00;"}));
  ScopeRecordBuilder h(ParseScopeSensorList("8"), 0.5);
  Collector outH;
  h.AddBlock({3}, outH.Callback());
  EXPECT_EQ(outH.records[0], "0,0.00000000,0.00, 0.00, 0.00, 0.00, 0.00, 0.00, 0.00,   3.000000;");
}

TEST(ScopeRecords, GroupsStraddlingTwoBlocksStayAligned) {
  ScopeRecordBuilder b(ParseScopeSensorList("1,2,3,4"), 0.001);
  Collector out;
  b.AddBlock(Block(0, 30).values, out.Callback());
  b.AddBlock(Block(30, 30).values, out.Callback());
  ASSERT_EQ(out.records.size(), 15u);
  EXPECT_EQ(out.records[7], "7,0.00700000, 28.000000, 29.000000, 30.000000, 31.000000,0.00, 0.00, 0.00, 0.00;");
}

TEST(ScopeRead, PositionsToTheEndThenDone) {
  ScopeRead read(ParseScopeSensorList("1,2"), 0.0001, 200);
  Collector out;
  std::vector<std::string> requests;
  ScopeRead::Step step = ScopeRead::Step::More;
  while (step == ScopeRead::Step::More && requests.size() < 20) {
    requests.push_back(read.Request());
    step = read.OnBlock(Block(read.Position(), 30), out.Callback());
  }
  EXPECT_EQ(step, ScopeRead::Step::Done);
  EXPECT_EQ(requests, (std::vector<std::string>{"s{88,2,0,30}", "s{88,2,30,30}", "s{88,2,60,30}", "s{88,2,90,30}",
                                                "s{88,2,120,30}", "s{88,2,150,30}", "s{88,2,180,30}"}));
  EXPECT_EQ(out.records.size(), 105u);
  EXPECT_EQ(out.records.front().substr(0, 13), "0,0.00000000,");
  EXPECT_EQ(out.records.back().substr(0, 15), "104,0.01040000,");
}

TEST(ScopeRead, BadEmptyOrMissingBlocksRepeatTheRequestWithinABound) {
  ScopeRead read(ParseScopeSensorList("1"), 0.001, 200, 3);
  Collector out;
  std::vector<std::int32_t> raw(30, 10000);
  std::vector<std::uint8_t> bad = EncodeDataBlock(raw, BlockFormat::Scope);
  bad[bad.size() - 3] ^= 0x10;
  EXPECT_EQ(read.OnBlock(ScanDataBlock(bad, BlockFormat::Scope), out.Callback()), ScopeRead::Step::More);
  EXPECT_EQ(read.Position(), 0);  // not advanced past the lost values
  EXPECT_EQ(read.BlockPause(), 4);
  const std::vector<std::uint8_t> empty{'{', '0', '0', '}', '\r', '\n'};
  EXPECT_EQ(read.OnBlock(ScanDataBlock(empty, BlockFormat::Scope), out.Callback()), ScopeRead::Step::More);
  EXPECT_EQ(read.Request(), "s{88,2,0,30}");
  EXPECT_TRUE(out.records.empty());
  EXPECT_EQ(read.OnBlock(Block(0, 30), out.Callback()), ScopeRead::Step::More);
  EXPECT_EQ(read.Position(), 30);

  ScopeRead silent(ParseScopeSensorList("1"), 0.001, 200);
  int tries = 0;
  ScopeRead::Step step = ScopeRead::Step::More;
  while (step == ScopeRead::Step::More && tries < 100) {
    step = silent.OnSilence();
    ++tries;
  }
  EXPECT_EQ(step, ScopeRead::Step::Failed);
  EXPECT_EQ(tries, ScopeRead::kMaxRetries + 1);
}

TEST(ScopeRead, EmptyBlocksAreAskedForAgainAsLongAsTheTimeBaseNeedsToSampleTheRows) {
  const std::vector<std::uint8_t> empty{'{', '0', '0', '}', '\r', '\n'};
  struct Case {
    double samplingTime;
    int noOfData;
    double boundMs;
  };
  for (const Case& c : {Case{0.000025, 200, 3005.0}, Case{0.1, 200, 23000.0}, Case{0.25, 320, 83000.0}}) {
    ScopeRead read(ParseScopeSensorList("1"), c.samplingTime, c.noOfData);
    EXPECT_DOUBLE_EQ(read.EmptyBoundMs(), c.boundMs);
    Collector out;
    // Values after a long wait start the count again.
    read.Waited(static_cast<int>(c.boundMs) - 10);
    EXPECT_EQ(read.OnBlock(ScanDataBlock(empty, BlockFormat::Scope), out.Callback()), ScopeRead::Step::More);
    EXPECT_EQ(read.OnBlock(Block(0, 30), out.Callback()), ScopeRead::Step::More);
    int waited = 0;
    ScopeRead::Step step = ScopeRead::Step::More;
    while (step == ScopeRead::Step::More && waited <= c.boundMs + 100) {
      read.Waited(50);
      waited += 50;
      step = read.OnBlock(ScanDataBlock(empty, BlockFormat::Scope), out.Callback());
    }
    EXPECT_EQ(step, ScopeRead::Step::Failed) << c.samplingTime;
    EXPECT_GT(waited, c.boundMs) << c.samplingTime;
    EXPECT_LE(waited, c.boundMs + 50) << c.samplingTime;
  }
}

TEST(ScopeRead, HandlerStopEndsTheRead) {
  ScopeRead read(ParseScopeSensorList("1"), 0.001, 200);
  Collector out;
  out.stopAfter = 5;
  EXPECT_EQ(read.OnBlock(Block(0, 30), out.Callback()), ScopeRead::Step::Done);
  EXPECT_EQ(out.records.size(), 5u);
}
