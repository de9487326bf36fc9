#include "sim/interface/CommandLog.h"

#include <algorithm>

namespace pel::sim {

void CommandLog::append(std::chrono::steady_clock::time_point at, std::string text) {
  {
    std::lock_guard g(lock_);
    entries_.push_back({at, std::move(text)});
  }
  changed_.notify_all();
}

std::vector<LoggedCommand> CommandLog::entries() const {
  std::lock_guard g(lock_);
  return entries_;
}

std::vector<std::string> CommandLog::texts() const {
  std::lock_guard g(lock_);
  std::vector<std::string> out;
  out.reserve(entries_.size());
  for (const auto& e : entries_) out.push_back(e.text);
  return out;
}

std::vector<std::string> CommandLog::textsFrom(std::size_t first) const {
  std::lock_guard g(lock_);
  std::vector<std::string> out;
  for (std::size_t i = first; i < entries_.size(); ++i) out.push_back(entries_[i].text);
  return out;
}

std::size_t CommandLog::size() const {
  std::lock_guard g(lock_);
  return entries_.size();
}

std::size_t CommandLog::count(const std::string& text) const {
  std::lock_guard g(lock_);
  return std::count_if(entries_.begin(), entries_.end(),
                       [&](const LoggedCommand& e) { return e.text == text; });
}

void CommandLog::clear() {
  std::lock_guard g(lock_);
  entries_.clear();
}

bool CommandLog::waitFor(const std::string& text, std::chrono::milliseconds timeout,
                         std::size_t times) const {
  std::unique_lock g(lock_);
  return changed_.wait_for(g, timeout, [&] {
    return static_cast<std::size_t>(std::count_if(entries_.begin(), entries_.end(), [&](const LoggedCommand& e) {
             return e.text == text;
           })) >= times;
  });
}

}  // namespace pel::sim
