#include "devicelink/records/RecentRecords.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace pel::records;

TEST(RecentRecords, SettlesAt5001AndGetDataListEmptiesIt) {
  RecentRecords list;
  for (int i = 1; i <= 5003; ++i) list.Append(std::to_string(i) + ";");
  EXPECT_EQ(list.Size(), 5001u);
  const std::string all = list.GetDataList();
  EXPECT_EQ(all.substr(0, 6), "3;4;5;");  // records 1 and 2 were dropped
  EXPECT_EQ(all.substr(all.size() - 5), "5003;");
  EXPECT_EQ(list.Size(), 0u);
  EXPECT_EQ(list.GetDataList(), "");
}

TEST(RecentRecords, ConcurrentAppendsAndReadsLoseNothing) {
  RecentRecords list;
  constexpr int kThreads = 4, kEach = 1000;
  std::atomic<bool> done{false};
  size_t seen = 0;
  std::thread reader([&] {  // the only writer of seen until joined
    while (!done.load()) {
      for (char ch : list.GetDataList()) seen += ch == ';';
      std::this_thread::yield();
    }
  });
  std::vector<std::thread> writers;
  for (int t = 0; t < kThreads; ++t)
    writers.emplace_back([&] {
      for (int i = 0; i < kEach; ++i) list.Append("1,0.0;");
    });
  for (auto& w : writers) w.join();
  done = true;
  reader.join();
  for (char ch : list.GetDataList()) seen += ch == ';';
  EXPECT_EQ(seen, static_cast<size_t>(kThreads * kEach));
}
