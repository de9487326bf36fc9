#include "platform/SpscRing.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

TEST(SpscRing, HoldsAtMostOneLessThanItsSizeAndKeepsOrderAcrossTheWrap) {
  pel::SpscRing<16> ring;
  std::vector<std::uint8_t> in(20);
  for (std::size_t i = 0; i < in.size(); ++i) in[i] = static_cast<std::uint8_t>(i);
  EXPECT_EQ(ring.push(in.data(), in.size()), 15u);
  EXPECT_EQ(ring.size(), 15u);

  std::uint8_t out[32];
  ASSERT_EQ(ring.pop(out, 10), 10u);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(out[i], i);
  // Wraps around the end of the storage.
  EXPECT_EQ(ring.push(in.data() + 15, 5), 5u);
  ASSERT_EQ(ring.pop(out, sizeof out), 10u);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(out[i], 10 + i);
  EXPECT_EQ(ring.pop(out, sizeof out), 0u);
}

TEST(SpscRing, OneProducerOneConsumerLoseNothing) {
  pel::SpscRing<64> ring;
  constexpr int total = 200000;
  std::thread producer([&] {
    for (int i = 0; i < total;) {
      std::uint8_t b = static_cast<std::uint8_t>(i);
      if (ring.push(&b, 1) == 1) ++i;
      else std::this_thread::yield();
    }
  });
  int got = 0;
  bool inOrder = true;
  while (got < total) {
    std::uint8_t buf[17];
    std::size_t n = ring.pop(buf, sizeof buf);
    for (std::size_t i = 0; i < n; ++i, ++got)
      inOrder = inOrder && buf[i] == static_cast<std::uint8_t>(got);
    if (n == 0) std::this_thread::yield();
  }
  producer.join();
  EXPECT_TRUE(inOrder);
}

}  // namespace
