#include "devicelink/records/BankRecords.h"

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

bool ReadInt(std::string_view s, int& v) { return ParseInteger(Trim(s), v); }

// Text between the first "{" and the next "}"; empty when either is missing.
std::string_view BraceBody(std::string_view reply) {
  const size_t p = reply.find('{');
  if (p == std::string_view::npos) return {};
  const size_t q = reply.find('}', p + 1);
  if (q == std::string_view::npos) return {};
  return reply.substr(p + 1, q - p - 1);
}

double SamplingSeconds(int ms, int tenthMs) { return ms != 0 ? ms / 1000.0 : tenthMs / 10000.0; }

}  // namespace

int BankRecord::ChannelCount() const {
  int n = 0;
  for (int i = 0; i < 3; ++i)
    if (sensorId[static_cast<size_t>(i)] > 0) ++n;
  return n;
}

void AssignDataColumns(BankRecord& bank) {
  int column = 0;
  for (size_t i = 0; i < 3; ++i) bank.dataColumn[i] = bank.sensorId[i] > 0 ? ++column : 0;
}

bool ParseSornDirectory(std::string_view reply, int componentChannels, BankDirectory& dir) {
  dir = BankDirectory{};
  const size_t p = reply.find('[');
  if (p == std::string_view::npos) return false;
  const std::string_view r = reply.substr(p);
  // Every field is checked against the reply's length before it is read.
  auto field = [&](size_t offset, size_t length, int& v) {
    return r.size() >= offset + length && ReadInt(r.substr(offset, length), v);
  };
  BankRecord& bank = dir.banks[0];
  int ms = 0, tenth = 0, blocks = 0;
  if (!field(4, 5, ms)) return false;
  if (ms == 0 && !field(10, 2, tenth)) return false;
  bank.samplingTime = SamplingSeconds(ms, tenth);
  static constexpr size_t kIdAt[3] = {13, 17, 21};
  for (size_t i = 0; i < 3; ++i)
    if (!field(kIdAt[i], 3, bank.sensorId[i])) return false;
  AssignDataColumns(bank);
  if (!field(25, 4, blocks)) return false;
  bank.recordsPerChannel = blocks * 30 / std::max(1, componentChannels);
  if (bank.recordsPerChannel > 0) dir.MemoryTotalIndex = 1;
  return true;
}

std::vector<int> ParseAsterFlagList(std::string_view reply) {
  std::vector<int> positions;
  const std::vector<std::string> fields = pel::link::SplitFields(BraceBody(reply), ',');
  for (size_t k = 0; k < fields.size() && positions.size() < kMaxBanks; ++k)
    if (Trim(fields[k]) == "1") positions.push_back(static_cast<int>(k) + 1);
  return positions;
}

bool ParseAsterBankInfo(std::string_view reply, int k, int maxRecordCount, BankRecord& bank) {
  const std::string_view body = BraceBody(reply);
  if (body.empty()) return false;
  const std::vector<std::string> f = pel::link::SplitFields(body, ',');
  if (f.size() < 6) return false;
  int ms = 0, tenth = 0, samples = 0;
  bank.bankNumber = k;
  if (!ReadInt(f[0], ms) || !ReadInt(f[1], tenth)) return false;
  bank.samplingTime = SamplingSeconds(ms, tenth);
  for (size_t i = 0; i < 3; ++i)
    if (!ReadInt(f[2 + i], bank.sensorId[i])) return false;
  AssignDataColumns(bank);
  if (!ReadInt(f[5], samples)) return false;
  bank.recordsPerChannel = samples / std::max(1, bank.ChannelCount());
  if (maxRecordCount > 0) bank.recordsPerChannel = std::min(bank.recordsPerChannel, maxRecordCount);
  return true;
}

std::string FormatBankInfo(int pBank, const BankRecord& bank, const std::array<std::string, 3>& units) {
  std::string s = std::to_string(pBank);
  s += ',';
  AppendFixed(s, bank.samplingTime, 10, 8);
  for (size_t i = 0; i < 3; ++i) {
    s += ',';
    s += bank.sensorId[i] == 0 ? std::string("none") : units[i];
  }
  s += ',' + std::to_string(bank.recordsPerChannel) + ';';
  s += std::to_string(bank.sensorId[0]) + ',' + std::to_string(bank.sensorId[1]) + ',' +
       std::to_string(bank.sensorId[2]);
  return s;
}

BankRecordBuilder::BankRecordBuilder(const BankRecord& bank, bool limitToBank)
    : bank_(bank), limitToBank_(limitToBank), channels_(bank.ChannelCount()) {
  ResetTexts();
}

void BankRecordBuilder::ResetTexts() { texts_ = {"0.0,", "0.0,", "0.0;"}; }

bool BankRecordBuilder::AddBlock(const std::vector<double>& values, const RecordCallback& deliver) {
  if (channels_ == 0) return true;  // a bank without sensors yields no records
  for (double value : values) {
    for (size_t c = 0; c < 3; ++c) {
      if (bank_.sensorId[c] > 0 && bank_.dataColumn[c] == samplePosition_ + 1) {
        texts_[c] = FormatFixed(value, 10, 6);
        texts_[c] += c < 2 ? ',' : ';';
      }
    }
    ++samplePosition_;
    if (samplePosition_ != channels_) continue;
    const double time = recordCounter_ * bank_.samplingTime;
    ++recordCounter_;
    std::string record = std::to_string(recordCounter_);
    record += ',';
    AppendFixed(record, time, 10, 8);
    record += ',';
    record += texts_[0];
    record += texts_[1];
    record += texts_[2];
    ResetTexts();
    samplePosition_ = 0;
    if (!deliver(record)) return false;
    if (limitToBank_ && bank_.recordsPerChannel > 0 && recordCounter_ >= bank_.recordsPerChannel)
      return false;
  }
  return true;
}

BankDownload::BankDownload(bool aster, const BankRecord& bank)
    : aster_(aster), address_(aster ? (bank.bankNumber - 1) * 3126 : 0), builder_(bank, aster) {}

std::string BankDownload::Request() const {
  if (aster_) return "s{80,12," + std::to_string(address_) + ",30}";
  return "s{80,4," + std::to_string(address_) + "}";
}

BankDownload::Step BankDownload::Retry() {
  ++pause_;
  return ++failures_ > kMaxRetries ? Step::Failed : Step::More;
}

BankDownload::Step BankDownload::OnBlock(const DataBlock& block, const RecordCallback& deliver) {
  switch (block.status) {
    case DataBlock::Status::Good: {
      failures_ = 0;
      const bool more = builder_.AddBlock(block.values, deliver);
      address_ += aster_ ? 30 : 1;
      return (!more || block.count < kMaxBlockValues) ? Step::Done : Step::More;
    }
    case DataBlock::Status::Empty:  // a last block without samples
      return Step::Done;
    case DataBlock::Status::Bad:
      return Retry();
    case DataBlock::Status::Incomplete:
      break;
  }
  return OnSilence();
}

BankDownload::Step BankDownload::OnSilence() { return Retry(); }

}  // namespace pel::records
