#include "platform/LineSplitter.h"

namespace pel {

void LineSplitter::feed(std::string_view bytes) {
  for (char c : bytes) {
    if (c == '\n' && !partial_.empty() && partial_.back() == '\r') {
      partial_.pop_back();
      lines_.push_back(std::move(partial_));
      partial_.clear();
      continue;
    }
    partial_.push_back(c);
    if (partial_.size() >= maxLine_) {
      lines_.push_back(std::move(partial_));
      partial_.clear();
    }
  }
}

bool LineSplitter::next(std::string& line) {
  if (lines_.empty()) return false;
  line = std::move(lines_.front());
  lines_.pop_front();
  return true;
}

void LineSplitter::clear() {
  partial_.clear();
  lines_.clear();
}

}  // namespace pel
