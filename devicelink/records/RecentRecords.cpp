#include "devicelink/records/RecentRecords.h"

namespace pel::records {

void RecentRecords::Append(std::string record) {
  std::lock_guard lock(mutex_);
  if (records_.size() > kKeptLimit) records_.pop_front();
  records_.push_back(std::move(record));
}

std::string RecentRecords::GetDataList() {
  std::deque<std::string> taken;
  {
    std::lock_guard lock(mutex_);
    taken.swap(records_);
  }
  size_t total = 0;
  for (const auto& r : taken) total += r.size();
  std::string text;
  text.reserve(total);
  for (const auto& r : taken) text += r;
  return text;
}

void RecentRecords::Clear() {
  std::lock_guard lock(mutex_);
  records_.clear();
}

size_t RecentRecords::Size() const {
  std::lock_guard lock(mutex_);
  return records_.size();
}

}  // namespace pel::records
