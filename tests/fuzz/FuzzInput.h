#pragma once
// Reading a fuzz input as the settings and pieces a target needs, and the
// check that stops a run when an invariant fails. An exhausted input reads
// as zeros and empty texts, so every input is a valid one.
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <span>
#include <string>
#include <vector>

namespace pel::fuzz {

// Reports the failed invariant and aborts, so the fuzzer keeps the input.
[[noreturn]] inline void Fail(const char* file, int line, const char* what, const std::string& detail) {
  std::fprintf(stderr, "%s:%d: invariant failed: %s\n  %s\n", file, line, what, detail.c_str());
  std::abort();
}

#define PEL_FUZZ_CHECK(cond, detail) \
  do {                               \
    if (!(cond)) ::pel::fuzz::Fail(__FILE__, __LINE__, #cond, (detail)); \
  } while (0)

class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool Empty() const { return at_ >= size_; }
  std::size_t Left() const { return size_ - at_; }

  std::uint8_t Byte() { return Empty() ? 0 : data_[at_++]; }
  bool Bool() { return (Byte() & 1u) != 0; }
  // lo..hi from one byte (or four for a range wider than a byte).
  int Int(int lo, int hi) {
    const auto span = static_cast<std::uint64_t>(static_cast<std::int64_t>(hi) - lo) + 1;
    std::uint64_t raw = Byte();
    if (span > 256)
      for (int i = 0; i < 3; ++i) raw = (raw << 8) | Byte();
    return static_cast<int>(lo + static_cast<std::int64_t>(raw % span));
  }
  template <class T, std::size_t N>
  const T& Pick(const T (&table)[N]) {
    return table[Byte() % N];
  }
  // Any double, not-a-number and infinities included (8 bytes as they are).
  double Real() {
    std::uint8_t b[8] = {};
    for (auto& x : b) x = Byte();
    double v;
    std::memcpy(&v, b, sizeof v);
    return v;
  }
  // A piece: one length byte, then that many bytes (fewer at the end).
  std::string Piece() {
    const std::size_t want = Byte();
    const std::size_t n = std::min(want, Left());
    std::string s(reinterpret_cast<const char*>(data_ + at_), n);
    at_ += n;
    return s;
  }
  // Text up to the next LF (dropped) or the end.
  std::string Line() {
    std::string s;
    while (!Empty()) {
      const char c = static_cast<char>(data_[at_++]);
      if (c == '\n') break;
      s += c;
    }
    return s;
  }
  std::span<const std::uint8_t> Rest() {
    std::span<const std::uint8_t> r(data_ + at_, size_ - at_);
    at_ = size_;
    return r;
  }
  std::string RestText() {
    const auto r = Rest();
    return std::string(reinterpret_cast<const char*>(r.data()), r.size());
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// Fields of a record text ("a,b,c;"): false when it does not end in ";" or
// holds another ";".
inline bool RecordFields(const std::string& record, std::vector<std::string>& fields) {
  fields.clear();
  if (record.empty() || record.back() != ';' || record.find(';') != record.size() - 1) return false;
  std::string field;
  for (std::size_t i = 0; i + 1 < record.size(); ++i) {
    if (record[i] == ',') {
      fields.push_back(field);
      field.clear();
    } else {
      field += record[i];
    }
  }
  fields.push_back(field);
  return true;
}

// A number as a reader of our files takes it: "." as separator, blanks
// around it allowed, finite.
inline bool ParseFieldNumber(std::string text, double& value) {
  text.erase(0, text.find_first_not_of(' '));
  text.erase(text.find_last_not_of(' ') + 1);
  if (!text.empty() && text.front() == '+') text.erase(0, 1);
  const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && r.ec == std::errc() && r.ptr == text.data() + text.size() && std::isfinite(value);
}

}  // namespace pel::fuzz
