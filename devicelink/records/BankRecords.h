#pragma once
// Memory banks: the directory replies, ReadBankInfo's text, the records built
// from downloaded blocks and the block-by-block download itself.
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "devicelink/records/BlockTransfer.h"
#include "devicelink/records/DataBlock.h"

namespace pel::records {

inline constexpr int kMaxBanks = 16;

struct BankRecord {
  int bankNumber = 0;           // Aster: position in the flag list
  double samplingTime = -1.0;   // seconds
  std::array<int, 4> sensorId{-1, -1, -1, -1};    // A, B, C; the fourth is never filled
  std::array<int, 4> dataColumn{-1, -1, -1, -1};  // 1-based column, 0 without a sensor
  int recordsPerChannel = 0;

  int ChannelCount() const;  // sensor IDs A to C above 0
};

struct BankDirectory {
  std::array<BankRecord, kMaxBanks> banks{};
  int MemoryTotalIndex = 0;
};

// Columns in order: each of A, B, C with a sensor takes the next column.
void AssignDataColumns(BankRecord& bank);

// Sorn II / Qor reply to "s{80,3}" (fixed offsets from the first "["). The
// directory is cleared first; a truncated or unreadable reply keeps what was
// read before it and gives no bank. componentChannels is the number of the
// component's channels A to C holding a sensor. False when nothing was read.
bool ParseSornDirectory(std::string_view reply, int componentChannels, BankDirectory& dir);

// Aster reply to "s{80,10}": bank positions (from 1) flagged "1", at most 16.
std::vector<int> ParseAsterFlagList(std::string_view reply);

// Aster reply to "s{80,11,k}": six fields. False (bank left as read so far)
// for an empty body or a field that is not a number.
bool ParseAsterBankInfo(std::string_view reply, int k, int maxRecordCount, BankRecord& bank);

// "%d,%10.8f,%s,%s,%s,%d;%d,%d,%d": pBank, the sampling time, the unit texts
// of A, B, C ("none" where the bank's sensor ID is 0), the records per channel,
// then the three sensor IDs.
std::string FormatBankInfo(int pBank, const BankRecord& bank, const std::array<std::string, 3>& units);

// Turns the values of good blocks into records "n,time,A,B,C;" numbered from 1.
class BankRecordBuilder {
 public:
  // limitToBank: stop at the bank's records per channel (Aster).
  BankRecordBuilder(const BankRecord& bank, bool limitToBank);
  // False when the download should end: the bank's records are all read, or
  // the callback refused.
  bool AddBlock(const std::vector<double>& values, const RecordCallback& deliver);
  int RecordCounter() const { return recordCounter_; }

 private:
  void ResetTexts();
  BankRecord bank_;
  bool limitToBank_;
  int channels_;
  int samplePosition_ = 0;
  int recordCounter_ = 0;
  std::array<std::string, 3> texts_;
};

// The download loop of LoadMemoryData without its transport: which request to
// send, and what a block (or the lack of one) means. Bad blocks are asked for
// again with a pause one millisecond longer each time; after kMaxRetries
// failures in a row the download fails instead of waiting for ever.
class BankDownload final : public BlockTransfer {
 public:
  static constexpr int kMaxRetries = 8;
  using Step = TransferStep;

  BankDownload(bool aster, const BankRecord& bank);
  std::string Request() const override;  // for the current block address
  BlockFormat Format() const override { return aster_ ? BlockFormat::Aster : BlockFormat::SornQor; }
  // A complete block (Good, Empty or Bad) was scanned out of the raw bytes.
  Step OnBlock(const DataBlock& block, const RecordCallback& deliver) override;
  // No complete block arrived within the wait.
  Step OnSilence() override;
  int BlockPause() const override { return pause_; }
  int BlockAddress() const { return address_; }
  int RecordCounter() const { return builder_.RecordCounter(); }

 private:
  Step Retry();
  bool aster_;
  int address_;
  int pause_ = 0;
  int failures_ = 0;
  BankRecordBuilder builder_;
};

}  // namespace pel::records
