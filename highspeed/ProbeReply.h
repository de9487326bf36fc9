#pragma once
// The port probe's reply check: bytes taken from the ring while waiting for
// the answer to "S{10,3}". The first byte counts as the opening bracket; a
// line of at least 3 bytes that ends in "}" CR LF is a complete reply. The
// line holds at most 250 bytes; past that the oldest bytes make room.
#include <cstdint>

namespace quillon {

class ProbeReply {
 public:
  static constexpr int kMax = 250;
  // Returns true once the bytes so far form a complete reply.
  bool Add(std::uint8_t b) {
    if (len_ == 0) b = '{';
    if (len_ == kMax) {  // full: keep the newest bytes, so the line end is still seen
      for (int i = 1; i < kMax; ++i) line_[i - 1] = line_[i];
      --len_;
    }
    line_[len_++] = b;
    if (b == '\n' && len_ >= 3 && line_[len_ - 3] == '}' && line_[len_ - 2] == '\r') complete_ = true;
    return complete_;
  }
  bool Complete() const { return complete_; }

 private:
  std::uint8_t line_[kMax] = {};
  int len_ = 0;
  bool complete_ = false;
};

}  // namespace quillon
