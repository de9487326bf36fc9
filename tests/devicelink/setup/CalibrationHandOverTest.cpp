#include "devicelink/setup/CalibrationHandOver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace pel::setup {
namespace {

CalibrationOrder Order(int channel, double k) {
  CalibrationOrder o;
  o.on = true;
  o.channel = channel;
  o.coefficients = {k, 2 * k, 3 * k};
  o.second = {0, 4 * k, 5 * k};
  o.segmentBreak = 6 * k;
  return o;
}

TEST(CalibrationHandOver, HoldsFivePoints) {
  CalibrationHandOver h;
  for (int k = 0; k < 5; ++k) EXPECT_TRUE(h.AddPoint({double(k), double(k)}));
  EXPECT_FALSE(h.AddPoint({9, 9}));
  EXPECT_EQ(h.PointCount(), 5);
  EXPECT_DOUBLE_EQ(h.Points().back().reading, 4);
  h.ClearPoints();
  EXPECT_TRUE(h.Points().empty());
}

TEST(CalibrationHandOver, SentOrderClearsPointsAndFlag) {
  CalibrationHandOver h;
  EXPECT_FALSE(h.Pending());
  EXPECT_FALSE(h.PeekPending());
  h.AddPoint({1, 2});
  h.Publish(Order(2, 1.0));
  ASSERT_TRUE(h.Pending());
  const auto taken = h.PeekPending();
  ASSERT_TRUE(taken);
  EXPECT_EQ(taken->order.channel, 2);
  EXPECT_TRUE(h.Pending());  // a failed send leaves it pending
  h.MarkSent(taken->ticket);
  EXPECT_FALSE(h.Pending());
  EXPECT_EQ(h.PointCount(), 0);
}

TEST(CalibrationHandOver, NewerOrderSurvivesTheSendOfAnOlderOne) {
  CalibrationHandOver h;
  h.Publish(Order(1, 1.0));
  const auto old = h.PeekPending();
  h.Publish(Order(4, 2.0));
  h.MarkSent(old->ticket);
  ASSERT_TRUE(h.Pending());
  EXPECT_EQ(h.PeekPending()->order.channel, 4);
}

// The poll side never sees a channel with another order's coefficients.
TEST(CalibrationHandOver, PollSeesWholeOrders) {
  CalibrationHandOver h;
  std::atomic<bool> done{false};
  std::atomic<int> torn{0};
  std::thread poll([&] {
    while (!done.load()) {
      if (const auto t = h.PeekPending()) {
        const auto& o = t->order;
        const double k = o.channel + 1;
        if (o.coefficients.quadratic != k || o.coefficients.linear != 2 * k || o.coefficients.constant != 3 * k ||
            o.second.linear != 4 * k || o.second.constant != 5 * k || o.segmentBreak != 6 * k)
          ++torn;
        h.MarkSent(t->ticket);
      }
    }
  });
  for (int i = 0; i < 20000; ++i) h.Publish(Order(i % 8, i % 8 + 1));
  done = true;
  poll.join();
  EXPECT_EQ(torn.load(), 0);
}

}  // namespace
}  // namespace pel::setup
