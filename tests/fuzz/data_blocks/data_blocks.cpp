// Data blocks of memory-bank downloads and scope reads, on their own and
// through the block-by-block transfer with its requests and retries.
//
// Input: byte 0, bits 0-1 the format (0 Sorn II/Qor, 1 Aster, 2 scope), bit 2
// the transfer. Without it the rest is one received buffer. With it, bytes
// 1-4 are the bank (sensor IDs of A, B, C; records per channel) or the scope
// read (shown channels, bit 0 = channel 1; NoOfData; sampling time; -), then
// pieces: one reaches the raw buffer at each wait of the transfer.
//
// Checks: a block is Good only when its check byte is the exclusive-or of its
// value bytes (and, with that byte spoilt, the same bytes are not Good); its
// values are its bytes / 10000; what a block consumed lies within the bytes;
// every record is numbers ended by ";", numbered in order, each value from a
// good block; the transfer ends.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "devicelink/records/BankRecords.h"
#include "devicelink/records/DataBlock.h"
#include "devicelink/records/NumberText.h"
#include "devicelink/records/ScopeRecords.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

using namespace pel::records;
using pel::fuzz::FuzzInput;

constexpr std::size_t kRawSize = 1024;  // the link's raw byte buffer

void CheckScan(std::span<const std::uint8_t> bytes, BlockFormat format) {
  const DataBlock d = ScanDataBlock(bytes, format);
  using S = DataBlock::Status;
  if (d.status != S::Good) {
    PEL_FUZZ_CHECK(d.values.empty(), "values of a block that is not good");
    if (d.status == S::Empty) PEL_FUZZ_CHECK(d.consumed > 0 && d.consumed <= bytes.size(), "empty block's end");
    return;
  }
  PEL_FUZZ_CHECK(d.count >= 1 && d.count <= kMaxBlockValues, std::to_string(d.count));
  PEL_FUZZ_CHECK(d.values.size() == static_cast<std::size_t>(d.count), "value count");
  PEL_FUZZ_CHECK(d.consumed > 0 && d.consumed <= bytes.size(), "good block's end");
  const std::uint8_t open = format == BlockFormat::SornQor ? '[' : '{';
  const std::size_t p = static_cast<std::size_t>(std::find(bytes.begin(), bytes.end(), open) - bytes.begin());
  const std::size_t data = p + (format == BlockFormat::SornQor ? 7 : 4);
  const std::size_t check = data + 4 * static_cast<std::size_t>(d.count);
  PEL_FUZZ_CHECK(check < d.consumed, "check byte past the block");
  std::uint8_t x = 0;
  for (std::size_t i = data; i < check; ++i) x ^= bytes[i];
  PEL_FUZZ_CHECK(x == bytes[check], "a good block with a wrong check byte");
  for (std::size_t k = 0; k < d.values.size(); ++k) {
    const std::size_t i = data + 4 * k;
    const auto u = (std::uint32_t{bytes[i]} << 24) | (std::uint32_t{bytes[i + 1]} << 16) |
                   (std::uint32_t{bytes[i + 2]} << 8) | std::uint32_t{bytes[i + 3]};
    PEL_FUZZ_CHECK(d.values[k] == static_cast<std::int32_t>(u) / 10000.0, "value " + std::to_string(k));
  }
  std::vector<std::uint8_t> spoilt(bytes.begin(), bytes.end());
  spoilt[check] ^= 0x5a;
  PEL_FUZZ_CHECK(ScanDataBlock(spoilt, format).status != S::Good, "a spoilt check byte still reads");
}

// The box: each wait brings the next piece into the raw buffer (what does
// not fit is lost, as in the link).
class Box final : public BlockLink {
 public:
  explicit Box(FuzzInput& in, BlockFormat format) : in_(in), format_(format) {}
  std::size_t goodValues = 0;  // values of every good block the box's bytes held

  void Send(const std::string& command) override {
    PEL_FUZZ_CHECK(command.rfind("s{", 0) == 0 && command.back() == '}', command);
  }
  void Wait(int) override {
    ++waits_;
    if (in_.Empty()) return;
    const std::string piece = in_.Piece();
    for (char c : piece)
      if (received_.size() < kRawSize) received_.push_back(static_cast<std::uint8_t>(c));
  }
  std::span<const std::uint8_t> Received() override { return received_; }
  void ClearReceived() override { Take(received_.size()); }
  void DropReceived(std::size_t count) override {
    PEL_FUZZ_CHECK(count <= received_.size(), std::to_string(count) + " of " + std::to_string(received_.size()));
    Take(count);
  }
  bool Stopped() override { return waits_ > 5000; }

 private:
  // Counts the values of a good block among bytes that leave the buffer.
  void Take(std::size_t count) {
    const DataBlock d = ScanDataBlock(std::span<const std::uint8_t>(received_.data(), count), format_);
    if (d.status == DataBlock::Status::Good) goodValues += d.values.size();
    received_.erase(received_.begin(), received_.begin() + static_cast<std::ptrdiff_t>(count));
  }
  FuzzInput& in_;
  BlockFormat format_;
  std::vector<std::uint8_t> received_;
  int waits_ = 0;
};

// Checks each record: its number follows the last and its fields are numbers.
struct Records {
  int next;
  std::size_t fields;
  int delivered = 0;
  bool operator()(const std::string& record) {
    std::vector<std::string> f;
    PEL_FUZZ_CHECK(pel::fuzz::RecordFields(record, f), record);
    PEL_FUZZ_CHECK(f.size() == fields, record);
    int n = -1;
    PEL_FUZZ_CHECK(ParseInteger(f[0], n) && n == next, record);
    ++next;
    ++delivered;
    for (std::size_t i = 1; i < f.size(); ++i) {
      double v = 0;
      PEL_FUZZ_CHECK(ParseNumber(f[i], v, Blanks::around), record);
    }
    return true;
  }
};

void Transfer(FuzzInput& in, BlockFormat format) {
  static const double kSamplingTimes[] = {0.001, 0.000025, 0.25, 0.0};
  const std::uint8_t b1 = in.Byte(), b2 = in.Byte(), b3 = in.Byte(), b4 = in.Byte();
  Box box(in, format);
  const BlockWait wait{5, 4, kRawSize};
  if (format == BlockFormat::Scope) {
    std::string list;
    for (int c = 0; c < 8; ++c)
      if ((b1 >> c) & 1u) list += std::to_string(c + 1) + ",";
    const ScopeColumns columns = ParseScopeSensorList(list);
    ScopeRead read(columns, kSamplingTimes[b3 % 4], b2);
    Records records{0, 10};
    RunBlockTransfer(read, box, std::ref(records), wait);
    if (columns.count > 0)
      PEL_FUZZ_CHECK(static_cast<std::size_t>(records.delivered) * static_cast<std::size_t>(columns.count) <=
                         box.goodValues, "more scope values than good blocks held");
    return;
  }
  BankRecord bank;
  bank.bankNumber = 1 + b4 % 16;
  bank.samplingTime = kSamplingTimes[b4 % 4];
  const std::uint8_t ids[3] = {b1, b2, b3};
  for (std::size_t i = 0; i < 3; ++i) bank.sensorId[i] = ids[i] % 4 == 0 ? 0 : ids[i];
  bank.recordsPerChannel = b4;
  AssignDataColumns(bank);
  BankDownload download(format == BlockFormat::Aster, bank);
  Records records{1, 5};
  RunBlockTransfer(download, box, std::ref(records), wait);
  const int channels = bank.ChannelCount();
  PEL_FUZZ_CHECK(static_cast<std::size_t>(records.delivered) * static_cast<std::size_t>(channels) <= box.goodValues,
                 "more bank values than good blocks held");
  if (format == BlockFormat::Aster && bank.recordsPerChannel > 0)
    PEL_FUZZ_CHECK(records.delivered <= bank.recordsPerChannel, "past the bank's records");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  const std::uint8_t choice = in.Byte();
  static const BlockFormat kFormats[] = {BlockFormat::SornQor, BlockFormat::Aster, BlockFormat::Scope,
                                         BlockFormat::Aster};
  const BlockFormat format = kFormats[choice & 3u];
  if (choice & 4u) {
    Transfer(in, format);
    return 0;
  }
  const auto bytes = in.Rest();
  for (BlockFormat f : {BlockFormat::SornQor, BlockFormat::Aster, BlockFormat::Scope}) CheckScan(bytes, f);
  return 0;
}
