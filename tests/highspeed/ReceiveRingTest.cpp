#include "highspeed/ReceiveRing.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace quillon {
namespace {

// Moves the ring to the given indices through its own operations.
void MoveTo(ReceiveRing& r, int write, int read) {
  int pushed = 0;
  // Advance both to `read` first, then fill to `write`.
  for (int i = 0; i < read; ++i, ++pushed) {
    r.Push(0);
    r.Get();
  }
  const int fill = write >= read ? write - read : write - read + ReceiveRing::kSize;
  for (int i = 0; i < fill; ++i) r.Push(static_cast<std::uint8_t>(i));
}

TEST(ReceiveRing, AvailableForIndexPairs) {
  struct Case { int write, read, available; };
  const Case cases[] = {{0, 0, 0}, {10, 0, 10}, {10, 4090, 16}, {4095, 0, 4095}, {0, 1, 4095}, {4089, 4090, 4095}};
  for (const auto& c : cases) {
    ReceiveRing r;
    MoveTo(r, c.write, c.read);
    EXPECT_EQ(r.WriteIndex(), c.write);
    EXPECT_EQ(r.ReadIndex(), c.read);
    EXPECT_EQ(r.Available(), c.available) << c.write << "," << c.read;
    EXPECT_EQ(r.HasData(), c.available > 0);
  }
}

TEST(ReceiveRing, FullRingDropsAndAcceptsAgainAfterARead) {
  ReceiveRing r;
  MoveTo(r, 10, 4090);  // wraps across the end
  for (int i = 16; i < 4095; ++i) EXPECT_TRUE(r.Push(static_cast<std::uint8_t>(i)));
  EXPECT_EQ(r.Available(), 4095);
  EXPECT_FALSE(r.Push(0xEE));
  EXPECT_EQ(r.Available(), 4095);
  EXPECT_EQ(r.Get(), 0);  // oldest byte first
  EXPECT_TRUE(r.Push(0xEF));
  EXPECT_EQ(r.Available(), 4095);
  EXPECT_FALSE(r.Push(0xF0));
  std::uint8_t last = 0;
  while (r.HasData()) last = r.Get();
  EXPECT_EQ(last, 0xEF);
  EXPECT_EQ(r.Get(), 0) << "an empty ring gives 0 and stays empty";
  EXPECT_EQ(r.Available(), 0);
}

TEST(ReceiveRing, ClearDropsWhatIsHeld) {
  ReceiveRing r;
  for (int i = 0; i < 100; ++i) r.Push(1);
  r.Clear();
  EXPECT_FALSE(r.HasData());
  EXPECT_TRUE(r.Push(7));
  EXPECT_EQ(r.Get(), 7);
}

// One producer, one consumer: every byte that was stored arrives once, in order.
TEST(ReceiveRing, ThreadedProducerConsumerKeepsOrder) {
  ReceiveRing r;
  constexpr int kBytes = 2'000'000;
  std::vector<std::uint8_t> got;
  got.reserve(kBytes);
  std::thread producer([&] {
    for (int i = 0; i < kBytes; ++i) {
      while (!r.Push(static_cast<std::uint8_t>(i * 7))) std::this_thread::yield();
    }
  });
  while (static_cast<int>(got.size()) < kBytes) {
    if (r.HasData())
      got.push_back(r.Get());
    else
      std::this_thread::yield();
  }
  producer.join();
  for (int i = 0; i < kBytes; ++i) ASSERT_EQ(got[static_cast<std::size_t>(i)], static_cast<std::uint8_t>(i * 7)) << i;
}

}  // namespace
}  // namespace quillon
