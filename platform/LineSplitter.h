#pragma once
// Cuts a byte stream that arrives in arbitrary pieces into lines ended by
// CR LF. A lone CR or LF stays part of the line; an over-long line is cut so
// that a peer that never sends a line end cannot grow memory without bound.
#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

namespace pel {

class LineSplitter {
 public:
  explicit LineSplitter(std::size_t maxLine = 65536) : maxLine_(maxLine) {}

  // Appends received bytes; complete lines become available to next().
  void feed(std::string_view bytes);
  // Takes the oldest complete line (without its CR LF); false when none.
  bool next(std::string& line);
  // Bytes received after the last complete line.
  const std::string& pending() const { return partial_; }
  void clear();

 private:
  std::size_t maxLine_;
  std::string partial_;
  std::deque<std::string> lines_;
};

}  // namespace pel
