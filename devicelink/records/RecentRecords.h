#pragma once
// The list of recent records behind GetDataList. Appended from the main thread
// and from the USB polling thread, read by the host: one mutex guards it.
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>

namespace pel::records {

class RecentRecords {
 public:
  static constexpr size_t kKeptLimit = 5000;  // the list settles at kKeptLimit + 1

  // Drops the oldest record first when more than kKeptLimit are held.
  void Append(std::string record);
  // All records in order, concatenated (each ends in ";"); the list is emptied.
  std::string GetDataList();
  void Clear();
  size_t Size() const;

 private:
  mutable std::mutex mutex_;
  std::deque<std::string> records_;  // oldest first; guarded by mutex_
};

}  // namespace pel::records
