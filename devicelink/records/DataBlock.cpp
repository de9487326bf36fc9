#include "devicelink/records/DataBlock.h"

#include <algorithm>

namespace pel::records {
namespace {

struct Layout {
  std::uint8_t open, close;
  size_t countAt, dataAt;
};

Layout LayoutOf(BlockFormat f) {
  if (f == BlockFormat::SornQor) return {'[', ']', 4, 7};
  return {'{', '}', 1, 4};
}

// Position just after the first CR LF at or after from; 0 when there is none.
size_t LineEndAfter(std::span<const std::uint8_t> b, size_t from) {
  for (size_t i = from; i + 1 < b.size(); ++i)
    if (b[i] == '\r' && b[i + 1] == '\n') return i + 2;
  return 0;
}

bool HasLineEnd(std::span<const std::uint8_t> b, size_t from) { return LineEndAfter(b, from) != 0; }

bool IsDigit(std::uint8_t c) { return c >= '0' && c <= '9'; }

DataBlock Make(DataBlock::Status s, std::string fault = {}) {
  DataBlock d;
  d.status = s;
  d.fault = std::move(fault);
  return d;
}

}  // namespace

DataBlock ScanDataBlock(std::span<const std::uint8_t> b, BlockFormat format) {
  using S = DataBlock::Status;
  const Layout L = LayoutOf(format);
  const auto it = std::find(b.begin(), b.end(), L.open);
  // Lines before the block (a stray line end, an echo) are not a reason to ask
  // again: a second request would interleave two replies. The caller's
  // time-out decides when nothing comes.
  if (it == b.end()) return Make(S::Incomplete);
  const size_t p = static_cast<size_t>(it - b.begin());

  if (format == BlockFormat::Scope && b.size() > p + 3 && b[p + 3] == '}') {
    DataBlock d = Make(S::Empty);
    d.consumed = p + 4;
    return d;
  }
  if (b.size() < p + L.countAt + 2)
    return HasLineEnd(b, p) ? Make(S::Bad, "block cut short") : Make(S::Incomplete);
  const std::uint8_t d1 = b[p + L.countAt], d2 = b[p + L.countAt + 1];
  if (!IsDigit(d1) || !IsDigit(d2)) return Make(S::Bad, "count is not a number");
  const int count = (d1 - '0') * 10 + (d2 - '0');
  if (count > kMaxBlockValues) return Make(S::Bad, "count above 30");
  if (count == 0) {
    const size_t end = LineEndAfter(b, p);
    if (end == 0) return Make(S::Incomplete);
    DataBlock d = Make(S::Empty);
    d.consumed = end;
    return d;
  }

  const size_t data = p + L.dataAt;
  const size_t check = data + 4 * static_cast<size_t>(count);
  const size_t tail = check + 1;
  if (b.size() < tail + 2) return Make(S::Incomplete);
  size_t end;
  if (b[tail] == '\r' && b[tail + 1] == '\n') {
    end = tail + 2;
  } else if (b[tail] == L.close) {
    if (b.size() < tail + 3) return Make(S::Incomplete);
    if (b[tail + 1] != '\r' || b[tail + 2] != '\n') return Make(S::Bad, "count does not fit the block");
    end = tail + 3;
  } else {
    return Make(S::Bad, "count does not fit the block");
  }

  std::uint8_t x = 0;
  for (size_t i = data; i < check; ++i) x ^= b[i];
  if (x != b[check]) return Make(S::Bad, "wrong check byte");

  DataBlock d = Make(S::Good);
  d.count = count;
  d.consumed = end;
  d.values.reserve(static_cast<size_t>(count));
  for (size_t i = data; i < check; i += 4) {
    const std::uint32_t u = (std::uint32_t{b[i]} << 24) | (std::uint32_t{b[i + 1]} << 16) |
                            (std::uint32_t{b[i + 2]} << 8) | std::uint32_t{b[i + 3]};
    d.values.push_back(static_cast<std::int32_t>(u) / 10000.0);
  }
  return d;
}

std::vector<std::uint8_t> EncodeDataBlock(const std::vector<std::int32_t>& raw, BlockFormat format,
                                          bool closingBracket) {
  const Layout L = LayoutOf(format);
  const size_t n = std::min(raw.size(), static_cast<size_t>(99));
  std::vector<std::uint8_t> out;
  out.push_back(L.open);
  if (format == BlockFormat::SornQor)
    for (char ch : {'8', '0', ','}) out.push_back(static_cast<std::uint8_t>(ch));
  out.push_back(static_cast<std::uint8_t>('0' + n / 10));
  out.push_back(static_cast<std::uint8_t>('0' + n % 10));
  out.push_back(',');
  std::uint8_t x = 0;
  for (size_t i = 0; i < n; ++i) {
    const auto u = static_cast<std::uint32_t>(raw[i]);
    for (int shift = 24; shift >= 0; shift -= 8) {
      const auto byte = static_cast<std::uint8_t>(u >> shift);
      out.push_back(byte);
      x ^= byte;
    }
  }
  out.push_back(x);
  if (closingBracket) out.push_back(L.close);
  out.push_back('\r');
  out.push_back('\n');
  return out;
}

}  // namespace pel::records
