#pragma once
// Scope mode: the time base, the shown channels, the records of scope blocks
// (numbered from 0, "0.00, " for channels not shown) and the block read.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "devicelink/records/BankRecords.h"
#include "devicelink/records/DataBlock.h"

namespace pel::records {

// SamplingTime for time index n (n x 25 us), or nothing for an n outside the table.
std::optional<double> ScopeTimeSeconds(int n);

struct ScopeColumns {
  std::array<int, 8> map{-1, -1, -1, -1, -1, -1, -1, -1};  // position in each group, -1 not shown
  int count = 0;
};

// SetScopeSensor's list: channel numbers 1 to 8 separated by ","; other fields
// are skipped. Columns follow channel order, not list order.
ScopeColumns ParseScopeSensorList(std::string_view list);

// Builds the records of good scope blocks of one read. The position within a
// group of values carries over from block to block, so groups that straddle
// two blocks (4, 7 or 8 channels shown) stay aligned.
class ScopeRecordBuilder {
 public:
  ScopeRecordBuilder(const ScopeColumns& columns, double samplingTime);
  // False when the callback refused (the host stopped the read).
  bool AddBlock(const std::vector<double>& values, const RecordCallback& deliver);
  int RecordCounter() const { return counter_; }

 private:
  void ResetTexts();
  ScopeColumns columns_;
  double samplingTime_;
  int counter_ = 0;  // number and time index of the next record, from 0
  int samplePosition_ = 0;
  std::array<std::string, 8> texts_;
};

// The ReadScopeData loop without its transport. A bad or empty block, or none
// at all, is asked for again at the same position with a pause one
// millisecond longer; after kMaxRetries bad or missing blocks in a row the
// read fails. Empty blocks (the box still sampling) are asked for again for
// as long as the box may need to sample the rows, one value per time base,
// plus a margin: EmptyBoundMs, counted in the time waited since the last
// block with values (at least what really passed).
class ScopeRead final : public BlockTransfer {
 public:
  static constexpr int kMaxRetries = 8;
  static constexpr double kEmptyMarginMs = 3000.0;
  using Step = TransferStep;

  ScopeRead(const ScopeColumns& columns, double samplingTime, int noOfData, int blockPause = 0);
  std::string Request() const override;  // "s{88,2,<position>,30}"
  BlockFormat Format() const override { return BlockFormat::Scope; }
  Step OnBlock(const DataBlock& block, const RecordCallback& deliver) override;
  Step OnSilence() override;
  int BlockPause() const override { return pause_; }
  void Waited(int ms) override { waitedMs_ += ms > 0 ? ms : 0; }
  int Position() const { return position_; }
  double EmptyBoundMs() const { return emptyBoundMs_; }

 private:
  Step Retry();
  ScopeRecordBuilder builder_;
  int noOfData_;
  double emptyBoundMs_;
  int position_ = 0;
  int pause_;
  int failures_ = 0;
  double waitedMs_ = 0;  // since the read began or the last block with values
};

}  // namespace pel::records
