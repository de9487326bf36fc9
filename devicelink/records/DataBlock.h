#pragma once
// Binary data blocks of memory-bank downloads and scope reads: an opening
// bracket, a two-digit count (at most 30), the values as 4-byte big-endian
// signed integers in units of 1/10000, one check byte (the exclusive-or of the
// value bytes) and the line end. Value and check bytes may be CR or LF, so a
// block is only complete when every byte its count announces has arrived.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace pel::records {

enum class BlockFormat {
  SornQor,  // "[", 3 bytes, count, 1 byte, values
  Aster,    // "{", count, 1 byte, values
  Scope,    // as Aster; "}" in the byte after the count marks a block without values
};

struct DataBlock {
  enum class Status {
    Incomplete,  // wait for more bytes
    Good,        // values hold count entries
    Empty,       // a block that carries no values
    Bad,         // unusable: ask for the same block again
  };
  Status status = Status::Incomplete;
  int count = 0;
  std::vector<double> values;
  std::string fault;    // why a block is Bad
  size_t consumed = 0;  // bytes up to and including the line end (Good, Empty)
};

inline constexpr int kMaxBlockValues = 30;

// Looks for one block in the bytes received so far (the raw byte buffer).
// The caller scans after every received piece: Incomplete means keep waiting
// (up to its time-out); anything else is handed to BankDownload or ScopeRead,
// the raw buffer emptied and their next request sent. After the check byte the
// line end may follow at once or after the closing bracket ("]" or "}"); any
// other byte there means the count does not fit the block.
DataBlock ScanDataBlock(std::span<const std::uint8_t> bytes, BlockFormat format);

// Encodes a block as the box sends it (for tests and the simulator).
std::vector<std::uint8_t> EncodeDataBlock(const std::vector<std::int32_t>& raw, BlockFormat format,
                                          bool closingBracket = false);

}  // namespace pel::records
