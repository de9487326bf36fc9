#include "devicelink/records/ScopeRecords.h"

#include <algorithm>

#include "devicelink/LinkFraming.h"
#include "devicelink/records/NumberText.h"

namespace pel::records {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

}  // namespace

std::optional<double> ScopeTimeSeconds(int n) {
  struct Entry {
    int n;
    double seconds;
  };
  static constexpr Entry kTable[] = {{1, 0.000025}, {2, 0.00005}, {4, 0.0001},  {10, 0.00025},
                                     {20, 0.0005},  {40, 0.001},  {100, 0.0025}, {200, 0.005},
                                     {400, 0.01},   {1000, 0.025}, {2000, 0.05}, {4000, 0.1},
                                     {10000, 0.25}};
  for (const Entry& e : kTable)
    if (e.n == n) return e.seconds;
  return std::nullopt;
}

ScopeColumns ParseScopeSensorList(std::string_view list) {
  std::array<bool, 8> shown{};
  for (const std::string& field : pel::link::SplitFields(list, ',')) {
    int channel = 0;
    if (ParseInteger(Trim(field), channel) && channel >= 1 && channel <= 8)
      shown[static_cast<size_t>(channel - 1)] = true;
  }
  ScopeColumns columns;
  for (size_t c = 0; c < 8; ++c)
    if (shown[c]) columns.map[c] = columns.count++;
  return columns;
}

ScopeRecordBuilder::ScopeRecordBuilder(const ScopeColumns& columns, double samplingTime)
    : columns_(columns), samplingTime_(samplingTime) {
  ResetTexts();
}

void ScopeRecordBuilder::ResetTexts() {
  texts_.fill("0.00, ");
  texts_[7] = "0.00;";
}

bool ScopeRecordBuilder::AddBlock(const std::vector<double>& values, const RecordCallback& deliver) {
  if (columns_.count <= 0) return true;  // nothing shown: no records
  for (double value : values) {
    for (size_t c = 0; c < 8; ++c) {
      if (columns_.map[c] == samplePosition_) {
        texts_[c] = FormatFixed(value, 10, 6);
        texts_[c] += c < 7 ? ',' : ';';
      }
    }
    if (++samplePosition_ < columns_.count) continue;
    samplePosition_ = 0;
    std::string record = std::to_string(counter_);
    record += ',';
    AppendFixed(record, counter_ * samplingTime_, 10, 8);
    record += ',';
    for (const std::string& t : texts_) record += t;
    ++counter_;
    if (!deliver(record)) return false;
  }
  return true;
}

ScopeRead::ScopeRead(const ScopeColumns& columns, double samplingTime, int noOfData, int blockPause)
    : builder_(columns, samplingTime),
      noOfData_(noOfData),
      // The box samples all shown channels at each instant; one value per
      // instant is the longest it can take.
      emptyBoundMs_(std::max(0, noOfData) * (samplingTime > 0 ? samplingTime : 0.0) * 1000.0 + kEmptyMarginMs),
      pause_(blockPause) {}

std::string ScopeRead::Request() const { return "s{88,2," + std::to_string(position_) + ",30}"; }

ScopeRead::Step ScopeRead::Retry() {
  ++pause_;
  return ++failures_ > kMaxRetries ? Step::Failed : Step::More;
}

ScopeRead::Step ScopeRead::OnBlock(const DataBlock& block, const RecordCallback& deliver) {
  if (block.status == DataBlock::Status::Empty || (block.status == DataBlock::Status::Good && block.count <= 0)) {
    ++pause_;
    return waitedMs_ > emptyBoundMs_ ? Step::Failed : Step::More;
  }
  if (block.status != DataBlock::Status::Good) return Retry();
  failures_ = 0;
  waitedMs_ = 0;
  const bool going = builder_.AddBlock(block.values, deliver);
  position_ += block.count;
  if (!going || position_ >= noOfData_ - 1) return Step::Done;
  return Step::More;
}

ScopeRead::Step ScopeRead::OnSilence() { return Retry(); }

}  // namespace pel::records
