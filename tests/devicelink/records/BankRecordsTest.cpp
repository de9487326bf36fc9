#include "devicelink/records/BankRecords.h"

#include <gtest/gtest.h>

using namespace pel::records;
using Bytes = std::vector<std::uint8_t>;

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

std::vector<std::int32_t> Raw(int from, int n, int step = 100) {
  std::vector<std::int32_t> v;
  for (int i = 0; i < n; ++i) v.push_back((from + i) * step);
  return v;
}

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

}  // namespace

TEST(BankDirectory, SornQorReply) {
  struct Case {
    const char* reply;
    int componentChannels;
    bool ok;
    double time;
    std::array<int, 3> ids, columns;
    int records, total;
  } cases[] = {
      {"[03,00001,00,012,000,005,0003]\r\n", 2, true, 0.001, {12, 0, 5}, {1, 0, 2}, 45, 1},
      {"xx[03,00000,05,012,013,014,0010]", 3, true, 0.0005, {12, 13, 14}, {1, 2, 3}, 100, 1},
      {"[03,00002,00,000,007,000,0000]", 0, true, 0.002, {0, 7, 0}, {0, 1, 0}, 0, 0},
      {"[03,00001,00,012,000,005,00", 2, false, 0.001, {12, 0, 5}, {1, 0, 2}, 0, 0},  // truncated
      {"[03,0", 1, false, -1.0, {-1, -1, -1}, {-1, -1, -1}, 0, 0},
      {"[03,000x1,00,012,000,005,0003]", 1, false, -1.0, {-1, -1, -1}, {-1, -1, -1}, 0, 0},
      {"no bracket at all here, long enough", 1, false, -1.0, {-1, -1, -1}, {-1, -1, -1}, 0, 0},
  };
  for (const Case& c : cases) {
    BankDirectory dir;
    dir.MemoryTotalIndex = 5;  // cleared by every parse
    EXPECT_EQ(ParseSornDirectory(c.reply, c.componentChannels, dir), c.ok) << c.reply;
    const BankRecord& b = dir.banks[0];
    EXPECT_DOUBLE_EQ(b.samplingTime, c.time) << c.reply;
    for (size_t i = 0; i < 3; ++i) {
      EXPECT_EQ(b.sensorId[i], c.ids[i]) << c.reply;
      EXPECT_EQ(b.dataColumn[i], c.columns[i]) << c.reply;
    }
    EXPECT_EQ(b.recordsPerChannel, c.records) << c.reply;
    EXPECT_EQ(dir.MemoryTotalIndex, c.total) << c.reply;
  }
}

TEST(BankDirectory, AsterFlagListAndBankInfo) {
  EXPECT_EQ(ParseAsterFlagList("{1,0,1}\r\n"), (std::vector<int>{1, 3}));
  EXPECT_EQ(ParseAsterFlagList("{0,0}"), std::vector<int>{});
  EXPECT_EQ(ParseAsterFlagList("{1,0"), std::vector<int>{});  // no closing brace
  std::string many = "{1";
  for (int i = 0; i < 19; ++i) many += ",1";
  EXPECT_EQ(ParseAsterFlagList(many + "}").size(), 16u);  // never more banks than the directory holds

  BankRecord b;
  ASSERT_TRUE(ParseAsterBankInfo("{1,0,12,0,0,500}\r\n", 3, 10000, b));
  EXPECT_EQ(b.bankNumber, 3);
  EXPECT_DOUBLE_EQ(b.samplingTime, 0.001);
  EXPECT_EQ(b.dataColumn, (std::array<int, 4>{1, 0, 0, -1}));
  EXPECT_EQ(b.recordsPerChannel, 500);

  BankRecord two;
  ASSERT_TRUE(ParseAsterBankInfo("{0,5,0,7,9,1000}", 1, 300, two));
  EXPECT_DOUBLE_EQ(two.samplingTime, 0.0005);
  EXPECT_EQ(two.dataColumn, (std::array<int, 4>{0, 1, 2, -1}));
  EXPECT_EQ(two.recordsPerChannel, 300);  // 500, held to Max_Record_Count

  BankRecord bad;
  EXPECT_FALSE(ParseAsterBankInfo("{}", 1, 100, bad));
  EXPECT_FALSE(ParseAsterBankInfo("{1,0,12}", 1, 100, bad));
  EXPECT_FALSE(ParseAsterBankInfo("{1,0,x,0,0,5}", 2, 100, bad));
  EXPECT_DOUBLE_EQ(bad.samplingTime, 0.001);  // what was read before the fault stays
}

TEST(BankInfoText, ReadBankInfoFormat) {
  const BankRecord bank = Bank(0, 0.001, 12, 0, 0, 500);
  EXPECT_EQ(FormatBankInfo(1, bank, {"Voltage(V)", "x", "y"}), "1,0.00100000,Voltage(V),none,none,500;12,0,0");
  const BankRecord slow = Bank(2, 12.5, 3, 4, 5, 7);
  EXPECT_EQ(FormatBankInfo(2, slow, {"a", "b", "c"}), "2,12.50000000,a,b,c,7;3,4,5");
}

TEST(BankDownload, SeventyFiveRecordsOnOneChannel) {
  BankDownload dl(false, Bank(0, 0.0005, 12, 0, 0, 75));
  Collector out;
  std::vector<std::string> requests;
  for (int n : {30, 30, 15}) {
    requests.push_back(dl.Request());
    const auto step = dl.OnBlock(ScanDataBlock(EncodeDataBlock(Raw(out.records.size() + 1, n), BlockFormat::SornQor),
                                               BlockFormat::SornQor),
                                 out.Callback());
    EXPECT_EQ(step, n == 15 ? BankDownload::Step::Done : BankDownload::Step::More);
  }
  EXPECT_EQ(requests, (std::vector<std::string>{"s{80,4,0}", "s{80,4,1}", "s{80,4,2}"}));
  ASSERT_EQ(out.records.size(), 75u);
  EXPECT_EQ(out.records[0], "1,0.00000000,  0.010000,0.0,0.0;");
  EXPECT_EQ(out.records[1], "2,0.00050000,  0.020000,0.0,0.0;");
  EXPECT_EQ(out.records[74], "75,0.03700000,  0.750000,0.0,0.0;");
}

TEST(BankDownload, TwoChannelsInterleaved) {
  BankRecordBuilder b(Bank(0, 0.01, 12, 0, 5, 0), false);
  Collector out;
  EXPECT_TRUE(b.AddBlock({1.5, 2.25, -3, 4}, out.Callback()));
  EXPECT_EQ(out.records, (std::vector<std::string>{"1,0.00000000,  1.500000,0.0,  2.250000;",
                                                   "2,0.01000000, -3.000000,0.0,  4.000000;"}));
  BankRecordBuilder ab(Bank(0, 0.01, 12, 7, 0, 0), false);
  Collector out2;
  ab.AddBlock({1.5, 2.25, 9}, out2.Callback());  // the odd value waits for its partner
  ab.AddBlock({8}, out2.Callback());
  EXPECT_EQ(out2.records, (std::vector<std::string>{"1,0.00000000,  1.500000,  2.250000,0.0;",
                                                    "2,0.01000000,  9.000000,  8.000000,0.0;"}));
}

TEST(BankDownload, BadBlocksAreAskedForAgainWithinABound) {
  BankDownload dl(false, Bank(0, 0.001, 12, 0, 0, 60));
  Collector out;
  Bytes bad = EncodeDataBlock(Raw(1, 15), BlockFormat::SornQor);  // a short last block...
  bad[bad.size() - 3] ^= 1;                                        // ...with a wrong check byte
  EXPECT_EQ(dl.OnBlock(ScanDataBlock(bad, BlockFormat::SornQor), out.Callback()), BankDownload::Step::More);
  EXPECT_EQ(dl.Request(), "s{80,4,0}");
  EXPECT_EQ(dl.BlockPause(), 1);
  EXPECT_TRUE(out.records.empty());
  EXPECT_EQ(dl.OnSilence(), BankDownload::Step::More);
  EXPECT_EQ(dl.BlockPause(), 2);
  EXPECT_EQ(dl.OnBlock(ScanDataBlock(EncodeDataBlock(Raw(1, 15), BlockFormat::SornQor), BlockFormat::SornQor),
                       out.Callback()),
            BankDownload::Step::Done);
  EXPECT_EQ(out.records.size(), 15u);

  BankDownload silent(true, Bank(1, 0.001, 12, 0, 0, 60));
  BankDownload::Step step = BankDownload::Step::More;
  int tries = 0;
  while (step == BankDownload::Step::More && tries < 100) {
    step = silent.OnSilence();
    ++tries;
  }
  EXPECT_EQ(step, BankDownload::Step::Failed);
  EXPECT_EQ(tries, BankDownload::kMaxRetries + 1);
}

TEST(BankDownload, AsterAddressesAndRecordLimit) {
  BankDownload dl(true, Bank(3, 0.001, 12, 0, 0, 40));
  Collector out;
  EXPECT_EQ(dl.Request(), "s{80,12,6252,30}");
  EXPECT_EQ(dl.OnBlock(ScanDataBlock(EncodeDataBlock(Raw(1, 30), BlockFormat::Aster), BlockFormat::Aster),
                       out.Callback()),
            BankDownload::Step::More);
  EXPECT_EQ(dl.Request(), "s{80,12,6282,30}");
  EXPECT_EQ(dl.OnBlock(ScanDataBlock(EncodeDataBlock(Raw(31, 30), BlockFormat::Aster), BlockFormat::Aster),
                       out.Callback()),
            BankDownload::Step::Done);
  EXPECT_EQ(out.records.size(), 40u);  // the rest of the second block is not read
}

TEST(BankDownload, HandlerStopEndsTheDownload) {
  BankDownload dl(false, Bank(0, 0.001, 12, 0, 0, 90));
  Collector out;
  out.stopAfter = 10;
  EXPECT_EQ(dl.OnBlock(ScanDataBlock(EncodeDataBlock(Raw(1, 30), BlockFormat::SornQor), BlockFormat::SornQor),
                       out.Callback()),
            BankDownload::Step::Done);
  EXPECT_EQ(out.records.size(), 10u);
}
