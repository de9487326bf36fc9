#pragma once
// Every line the simulated interface received, with the time it arrived.
// Written by the transport thread, read by tests: every member takes the lock.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

namespace pel::sim {

struct LoggedCommand {
  std::chrono::steady_clock::time_point at;
  std::string text;  // the line without its CR LF ("" for a wake-up line)
};

class CommandLog {
 public:
  void append(std::chrono::steady_clock::time_point at, std::string text);
  std::vector<LoggedCommand> entries() const;
  std::vector<std::string> texts() const;
  // The lines from entry `first` on (take size() before a sequence to get
  // just that sequence, such as a start and its stop).
  std::vector<std::string> textsFrom(std::size_t first) const;
  std::size_t size() const;
  // How often exactly this line arrived.
  std::size_t count(const std::string& text) const;
  void clear();
  // Waits until exactly this line has arrived at least `times` times in all;
  // false when the time runs out first.
  bool waitFor(const std::string& text, std::chrono::milliseconds timeout,
               std::size_t times = 1) const;

 private:
  mutable std::mutex lock_;
  mutable std::condition_variable changed_;
  std::vector<LoggedCommand> entries_;
};

}  // namespace pel::sim
