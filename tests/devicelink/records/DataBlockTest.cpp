#include "devicelink/records/DataBlock.h"

#include <gtest/gtest.h>

using namespace pel::records;
using Bytes = std::vector<std::uint8_t>;
using S = DataBlock::Status;

namespace {
Bytes Text(const char* s) { return Bytes(s, s + std::char_traits<char>::length(s)); }
DataBlock Scan(const Bytes& b, BlockFormat f) { return ScanDataBlock(b, f); }
}  // namespace

TEST(DataBlock, DecodesEveryFormat) {
  const std::vector<std::int32_t> raw{12345, -1, 0, 2147483647, -2147483647 - 1};
  for (BlockFormat f : {BlockFormat::SornQor, BlockFormat::Aster, BlockFormat::Scope}) {
    for (bool bracket : {false, true}) {
      Bytes b = EncodeDataBlock(raw, f, bracket);
      DataBlock d = Scan(b, f);
      ASSERT_EQ(d.status, S::Good) << d.fault;
      EXPECT_EQ(d.count, 5);
      EXPECT_EQ(d.consumed, b.size());
      EXPECT_EQ(d.values, (std::vector<double>{1.2345, -0.0001, 0, 214748.3647, -214748.3648}));
    }
  }
}

TEST(DataBlock, ValuesWithCrLfBytesWaitForTheWholeBlock) {
  // 0x0D0A0D0A: every byte of the value is CR or LF; the check byte is then 0.
  const std::vector<std::int32_t> raw{0x0D0A0D0A, 0x0A0D0A0D, 5};
  const Bytes b = EncodeDataBlock(raw, BlockFormat::SornQor);
  for (size_t n = 0; n < b.size(); ++n) {
    const Bytes part(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_EQ(Scan(part, BlockFormat::SornQor).status, S::Incomplete) << "after " << n << " bytes";
  }
  const DataBlock d = Scan(b, BlockFormat::SornQor);
  ASSERT_EQ(d.status, S::Good);
  EXPECT_DOUBLE_EQ(d.values[0], 0x0D0A0D0A / 10000.0);
  EXPECT_DOUBLE_EQ(d.values[2], 0.0005);
}

TEST(DataBlock, BadBlocks) {
  const Bytes good = EncodeDataBlock({1, 2, 3}, BlockFormat::Aster);
  Bytes wrongCheck = good;
  wrongCheck[wrongCheck.size() - 3] ^= 0x40;
  Bytes countTooSmall = good;  // announces 2 values, 3 follow
  countTooSmall[2] = '2';
  Bytes notANumber = good;
  notANumber[1] = 'x';
  struct Case {
    const char* name;
    Bytes bytes;
    BlockFormat format;
  } cases[] = {
      {"wrong check byte", wrongCheck, BlockFormat::Aster},
      {"count does not fit the bytes", countTooSmall, BlockFormat::Aster},
      {"count is not a number", notANumber, BlockFormat::Aster},
      {"count above 30", Text("{31,\r\n"), BlockFormat::Aster},
      {"cut short", Text("[80\r\n"), BlockFormat::SornQor},
  };
  for (const Case& c : cases) {
    const DataBlock d = Scan(c.bytes, c.format);
    EXPECT_EQ(d.status, S::Bad) << c.name;
    EXPECT_FALSE(d.fault.empty()) << c.name;
  }
}

TEST(DataBlock, EmptyBlocksAndLeadingNoise) {
  EXPECT_EQ(Scan(Text("{00}\r\n"), BlockFormat::Scope).status, S::Empty);  // "}" after the count
  EXPECT_EQ(Scan(Text("{05}"), BlockFormat::Scope).status, S::Empty);
  EXPECT_EQ(Scan(Text("{00,"), BlockFormat::Aster).status, S::Incomplete);
  EXPECT_EQ(Scan(Text("{00,\r\n"), BlockFormat::Aster).status, S::Empty);
  EXPECT_EQ(Scan(Text("[80,00,\r\n"), BlockFormat::SornQor).status, S::Empty);
  EXPECT_EQ(Scan(Text("\r\n"), BlockFormat::Scope).status, S::Incomplete);  // no block yet
  EXPECT_EQ(Scan(Text("OK\r\n"), BlockFormat::SornQor).status, S::Incomplete);
  EXPECT_EQ(Scan(EncodeDataBlock({1}, BlockFormat::Aster), BlockFormat::SornQor).status, S::Incomplete);
  EXPECT_EQ(Scan(Bytes{}, BlockFormat::Scope).status, S::Incomplete);

  Bytes noisy = Text("\r\n\x01");
  const Bytes block = EncodeDataBlock({70000}, BlockFormat::Scope);
  noisy.insert(noisy.end(), block.begin(), block.end());
  const DataBlock d = Scan(noisy, BlockFormat::Scope);
  ASSERT_EQ(d.status, S::Good);
  EXPECT_EQ(d.values, std::vector<double>{7.0});
}
