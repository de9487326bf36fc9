// The shared block read over a scripted box whose replies trickle in a few
// bytes per wait: whole blocks only, bounded waits, repeated requests.
#include "devicelink/records/BlockTransfer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <map>

#include "devicelink/records/BankRecords.h"
#include "devicelink/records/NumberText.h"
#include "devicelink/records/ScopeRecords.h"

using namespace pel::records;

namespace {

BankRecord Bank(int number, double time, int a, int b, int c, int records) {
  BankRecord bank;
  bank.bankNumber = number;
  bank.samplingTime = time;
  bank.sensorId = {a, b, c, -1};
  AssignDataColumns(bank);
  bank.recordsPerChannel = records;
  return bank;
}

std::string Text(const std::vector<std::uint8_t>& b) { return {b.begin(), b.end()}; }

// Answers each request from a script; bytes arrive `piece` at a time per Wait.
struct FakeBox final : BlockLink {
  std::function<std::string(const std::string& request, int nth)> answer;
  std::size_t piece = 7;
  std::vector<std::string> requests;
  std::string inFlight;
  std::vector<std::uint8_t> raw;
  int waits = 0;
  int stopAtWait = -1;
  bool stopped = false;

  // Waits before the answer to the nth request starts to arrive; answers
  // keep their order, so a late one holds back those after it.
  std::function<int(int nth)> lateBy;
  std::deque<std::pair<int, std::string>> queued;  // wait count it is due at, bytes

  void Send(const std::string& command) override {
    requests.push_back(command);
    if (!answer) return;
    const int nth = static_cast<int>(requests.size());
    queued.emplace_back(waits + (lateBy ? lateBy(nth) : 0), answer(command, nth));
    Release();
  }
  void Release() {
    while (!queued.empty() && queued.front().first <= waits) {
      inFlight += queued.front().second;
      queued.pop_front();
    }
  }
  void Wait(int) override {
    if (++waits == stopAtWait) stopped = true;
    Release();
    const std::size_t n = std::min(piece, inFlight.size());
    raw.insert(raw.end(), inFlight.begin(), inFlight.begin() + static_cast<long>(n));
    inFlight.erase(0, n);
  }
  std::span<const std::uint8_t> Received() override { return raw; }
  void ClearReceived() override { raw.clear(); }
  void DropReceived(std::size_t n) override { raw.erase(raw.begin(), raw.begin() + static_cast<long>(std::min(n, raw.size()))); }
  bool Stopped() override { return stopped; }
};

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

// Sample i of a bank: every value's bytes hold a CR LF (0x0D0A) pair.
std::int32_t Sample(int i) { return 0x0D0A0000 + i; }

std::string SornBlockFor(int block, int total, bool wrongCheck = false) {
  std::vector<std::int32_t> raw;
  for (int i = block * 30; i < std::min(total, block * 30 + 30); ++i) raw.push_back(Sample(i));
  auto bytes = EncodeDataBlock(raw, BlockFormat::SornQor, true);
  if (wrongCheck) bytes[bytes.size() - 4] ^= 0x55;
  return Text(bytes);
}

int BlockOf(const std::string& sornRequest) { return std::stoi(sornRequest.substr(7)); }

}  // namespace

TEST(BlockTransfer, DownloadWaitsForWholeBlocksWithCrLfInTheirValues) {
  FakeBox box;
  box.answer = [](const std::string& r, int) { return SornBlockFor(BlockOf(r), 75); };
  BankDownload dl(false, Bank(0, 0.001, 12, 0, 0, 75));
  Collector out;
  EXPECT_EQ(RunBlockTransfer(dl, box, out.Callback(), {}), TransferStep::Done);
  EXPECT_EQ(box.requests, (std::vector<std::string>{"s{80,4,0}", "s{80,4,1}", "s{80,4,2}"}));
  ASSERT_EQ(out.records.size(), 75u);
  EXPECT_EQ(out.records[0], "1,0.00000000,21875.916800,0.0,0.0;");
  EXPECT_EQ(out.records[74], "75,0.07400000,21875.924200,0.0,0.0;");
}

TEST(BlockTransfer, BadOrMissingBlocksAreAskedForAgainAtTheSameAddress) {
  struct Case {
    const char* name;
    std::function<std::string(const std::string&, int)> answer;
    std::vector<std::string> requests;
    int pause;  // after the download
  };
  const Case cases[] = {
      {"wrong check byte on the short last block",
       [](const std::string& r, int nth) { return SornBlockFor(BlockOf(r), 45, nth == 2); },
       {"s{80,4,0}", "s{80,4,1}", "s{80,4,1}"}, 1},
      {"count smaller than the values sent",
       [](const std::string& r, int nth) {
         std::string b = SornBlockFor(BlockOf(r), 45);
         if (nth == 1) b[4] = '1', b[5] = '5';  // "15" announced, 30 sent
         return b;
       },
       {"s{80,4,0}", "s{80,4,0}", "s{80,4,1}"}, 1},
      {"no reply to one request",
       [](const std::string& r, int nth) { return nth == 2 ? std::string() : SornBlockFor(BlockOf(r), 45); },
       {"s{80,4,0}", "s{80,4,1}", "s{80,4,1}"}, 1},
  };
  for (const Case& c : cases) {
    FakeBox box;
    box.answer = c.answer;
    BankDownload dl(false, Bank(0, 0.001, 12, 0, 0, 45));
    Collector out;
    EXPECT_EQ(RunBlockTransfer(dl, box, out.Callback(), {}), TransferStep::Done) << c.name;
    EXPECT_EQ(box.requests, c.requests) << c.name;
    EXPECT_EQ(out.records.size(), 45u) << c.name;
    EXPECT_EQ(dl.BlockPause(), c.pause) << c.name;
  }
}

TEST(BlockTransfer, SilentBoxFailsAfterBoundedWaits) {
  FakeBox box;
  BankDownload dl(true, Bank(2, 0.001, 12, 0, 0, 45));
  Collector out;
  const BlockWait wait{5, 20, 0};
  EXPECT_EQ(RunBlockTransfer(dl, box, out.Callback(), wait), TransferStep::Failed);
  EXPECT_EQ(box.requests.size(), static_cast<std::size_t>(BankDownload::kMaxRetries + 1));
  for (const auto& r : box.requests) EXPECT_EQ(r, "s{80,12,3126,30}");
  // One pause after each request plus the steps of each wait.
  EXPECT_EQ(box.waits, static_cast<int>(box.requests.size()) * (wait.maxSteps + 1));
  EXPECT_TRUE(out.records.empty());
}

TEST(BlockTransfer, NoiseFillingTheRawBufferIsABadBlockAtOnce) {
  FakeBox box;
  box.piece = 64;
  box.answer = [](const std::string&, int nth) {
    return nth == 1 ? std::string(300, 'x') : Text(EncodeDataBlock({1, 2, 3}, BlockFormat::Scope, true));
  };
  ScopeColumns one;
  one.map[0] = 0;
  one.count = 1;
  ScopeRead read(one, 0.001, 3);
  Collector out;
  const BlockWait wait{5, 1000, 256};
  EXPECT_EQ(RunBlockTransfer(read, box, out.Callback(), wait), TransferStep::Done);
  EXPECT_EQ(box.requests, (std::vector<std::string>{"s{88,2,0,30}", "s{88,2,0,30}"}));
  EXPECT_LT(box.waits, 20);
  EXPECT_EQ(out.records.size(), 3u);
}

TEST(BlockTransfer, StopsEndTheTransfer) {
  // From a record handler: the rest of the block is not delivered, nothing more is asked.
  FakeBox box;
  box.answer = [](const std::string& r, int) { return SornBlockFor(BlockOf(r), 90); };
  BankDownload dl(false, Bank(0, 0.001, 12, 0, 0, 90));
  Collector out;
  out.stopAfter = 40;
  EXPECT_EQ(RunBlockTransfer(dl, box, out.Callback(), {}), TransferStep::Done);
  EXPECT_EQ(out.records.size(), 40u);
  EXPECT_EQ(box.requests.size(), 2u);

  // From another host event during a wait.
  FakeBox idle;
  idle.stopAtWait = 3;
  BankDownload dl2(false, Bank(0, 0.001, 12, 0, 0, 90));
  Collector none;
  EXPECT_EQ(RunBlockTransfer(dl2, idle, none.Callback(), {}), TransferStep::Done);
  EXPECT_EQ(idle.requests.size(), 1u);
  EXPECT_EQ(idle.waits, 3);
}

TEST(BlockTransfer, ScopeReadToTheEndWithAnEmptyBlockOnTheWay) {
  FakeBox box;
  box.answer = [](const std::string& r, int nth) {
    if (nth == 2) return std::string("{00}\r\n");  // not sampled yet
    const int pos = std::stoi(r.substr(7));
    std::vector<std::int32_t> raw;
    for (int i = pos; i < std::min(pos + 30, 60); ++i) raw.push_back(i * 5000);
    return Text(EncodeDataBlock(raw, BlockFormat::Scope, true));
  };
  ScopeColumns ac;
  ac.map[0] = 0;
  ac.map[2] = 1;
  ac.count = 2;
  ScopeRead read(ac, 0.0005, 60, 3);
  Collector out;
  EXPECT_EQ(RunBlockTransfer(read, box, out.Callback(), {}), TransferStep::Done);
  EXPECT_EQ(box.requests, (std::vector<std::string>{"s{88,2,0,30}", "s{88,2,30,30}", "s{88,2,30,30}"}));
  EXPECT_EQ(read.BlockPause(), 4);
  ASSERT_EQ(out.records.size(), 30u);
  EXPECT_EQ(out.records[29],
            "29,0.01450000, 29.000000,0.00,  29.500000,0.00, 0.00, 0.00, 0.00, 0.00;");
}

// A reply later than the block wait: the request is repeated, and the late
// answer and the repeated one both arrive. Each block is taken once, in its
// place, and the records are exactly the box's.
TEST(BlockTransfer, LateReplyIsNeverTakenForTheNextBlock) {
  const BlockWait wait{5, 20, 0};
  constexpr int kLate = 45;  // waits: longer than one block wait
  {
    FakeBox box;
    box.piece = 40;
    box.answer = [](const std::string& r, int) {
      const int address = std::stoi(r.substr(8)) - 3126;
      std::vector<std::int32_t> raw;
      for (int i = address; i < std::min(address + 30, 75); ++i) raw.push_back(Sample(i));
      return Text(EncodeDataBlock(raw, BlockFormat::Aster, true));
    };
    box.lateBy = [](int nth) { return nth == 2 ? kLate : 0; };
    BankDownload dl(true, Bank(2, 0.001, 12, 0, 0, 75));
    Collector out;
    EXPECT_EQ(RunBlockTransfer(dl, box, out.Callback(), wait), TransferStep::Done);
    EXPECT_EQ(std::count(box.requests.begin(), box.requests.end(), "s{80,12,3126,30}"), 1);
    EXPECT_GE(std::count(box.requests.begin(), box.requests.end(), "s{80,12,3156,30}"), 2);
    EXPECT_EQ(box.requests.back(), "s{80,12,3186,30}");
    EXPECT_EQ(std::count(box.requests.begin(), box.requests.end(), "s{80,12,3186,30}"), 1);
    ASSERT_EQ(out.records.size(), 75u);
    for (int i = 0; i < 75; ++i)
      EXPECT_EQ(out.records[static_cast<std::size_t>(i)], std::to_string(i + 1) + "," + FormatFixed(i * 0.001, 10, 8) +
                                                              "," + FormatFixed(Sample(i) / 10000.0, 10, 6) + ",0.0,0.0;")
          << i;
  }
  {
    FakeBox box;
    box.piece = 40;
    box.answer = [](const std::string& r, int) {
      const int pos = std::stoi(r.substr(7));
      std::vector<std::int32_t> raw;
      for (int i = pos; i < std::min(pos + 30, 90); ++i) raw.push_back(i * 10000);
      return Text(EncodeDataBlock(raw, BlockFormat::Scope, true));
    };
    box.lateBy = [](int nth) { return nth == 1 ? kLate : 0; };
    ScopeColumns one;
    one.map[0] = 0;
    one.count = 1;
    ScopeRead read(one, 0.001, 90);
    Collector out;
    EXPECT_EQ(RunBlockTransfer(read, box, out.Callback(), wait), TransferStep::Done);
    ASSERT_EQ(out.records.size(), 90u);
    EXPECT_EQ(box.requests.back(), "s{88,2,60,30}");
    for (int i = 0; i < 90; ++i)
      EXPECT_EQ(out.records[static_cast<std::size_t>(i)],
                std::to_string(i) + "," + FormatFixed(i * 0.001, 10, 8) + "," + FormatFixed(i, 10, 6) +
                    ",0.00, 0.00, 0.00, 0.00, 0.00, 0.00, 0.00;")
          << i;
  }
}

// A request the box never answers must not shift every later answer by one.
TEST(BlockTransfer, LostRequestDoesNotShiftTheAnswersAfterIt) {
  FakeBox box;
  box.answer = [](const std::string& r, int nth) { return nth == 1 ? std::string() : SornBlockFor(BlockOf(r), 75); };
  BankDownload dl(false, Bank(0, 0.001, 12, 0, 0, 75));
  Collector out;
  const BlockWait wait{5, 20, 0};
  EXPECT_EQ(RunBlockTransfer(dl, box, out.Callback(), wait), TransferStep::Done);
  EXPECT_EQ(box.requests, (std::vector<std::string>{"s{80,4,0}", "s{80,4,0}", "s{80,4,1}", "s{80,4,2}"}));
  ASSERT_EQ(out.records.size(), 75u);
  EXPECT_EQ(out.records[74], "75,0.07400000,21875.924200,0.0,0.0;");
}
