#include "devicelink/setup/CalibrationFit.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

namespace pel::setup {
namespace {

using Points = std::vector<CalibrationPoint>;

TEST(FitCalibration, OnePointIsAnOffset) {
  const auto c = FitCalibration(Points{{2.0, 2.5}});
  ASSERT_TRUE(c);
  EXPECT_DOUBLE_EQ(c->constant, 0.5);
  EXPECT_DOUBLE_EQ(c->linear, 1.0);
  EXPECT_DOUBLE_EQ(c->quadratic, 0.0);
}

TEST(FitCalibration, TwoPointsGiveTheirLine) {
  const auto c = FitCalibration(Points{{1, 3}, {3, 7}});
  ASSERT_TRUE(c);
  EXPECT_DOUBLE_EQ(c->linear, 2.0);
  EXPECT_DOUBLE_EQ(c->constant, 1.0);
  EXPECT_DOUBLE_EQ(c->quadratic, 0.0);
}

double OnParabola(double x) { return 1 + 2 * x + 0.5 * x * x; }

TEST(FitCalibration, ThreeToFivePointsOnAParabolaGiveItBack) {
  const double xs[] = {-1.5, 0.0, 1.0, 2.5, 4.0};
  for (std::size_t n = 3; n <= 5; ++n) {
    Points p;
    for (std::size_t k = 0; k < n; ++k) p.push_back({xs[k], OnParabola(xs[k])});
    const auto c = FitCalibration(p);
    ASSERT_TRUE(c) << n;
    EXPECT_NEAR(c->constant, 1.0, 1e-9) << n;
    EXPECT_NEAR(c->linear, 2.0, 1e-9) << n;
    EXPECT_NEAR(c->quadratic, 0.5, 1e-9) << n;
  }
}

// Scattered points: the least-squares parabola leaves residuals orthogonal
// to 1, x and x^2 (the normal equations).
TEST(FitCalibration, ScatteredPointsSatisfyTheNormalEquations) {
  const Points p{{0, 1.1}, {1, 2.9}, {2, 7.2}, {3, 12.8}, {4, 21.3}};
  const auto c = FitCalibration(p);
  ASSERT_TRUE(c);
  double r0 = 0, r1 = 0, r2 = 0;
  for (const auto& q : p) {
    const double r = q.reference - (c->constant + c->linear * q.reading + c->quadratic * q.reading * q.reading);
    r0 += r;
    r1 += r * q.reading;
    r2 += r * q.reading * q.reading;
  }
  EXPECT_NEAR(r0, 0, 1e-9);
  EXPECT_NEAR(r1, 0, 1e-9);
  EXPECT_NEAR(r2, 0, 1e-9);
}

TEST(FitCalibration, PointsBeyondTheFifthAreIgnored) {
  Points p{{0, 1.1}, {1, 2.9}, {2, 7.2}, {3, 12.8}, {4, 21.3}};
  const auto five = FitCalibration(p);
  p.push_back({5, -1000});
  const auto six = FitCalibration(p);
  ASSERT_TRUE(five && six);
  EXPECT_DOUBLE_EQ(six->quadratic, five->quadratic);
  EXPECT_DOUBLE_EQ(six->linear, five->linear);
  EXPECT_DOUBLE_EQ(six->constant, five->constant);
}

TEST(FitCalibration, ZeroDivisorsGiveNoCoefficients) {
  EXPECT_FALSE(FitCalibration(Points{}));
  EXPECT_FALSE(FitCalibration(Points{{2, 3}, {2, 5}}));
  EXPECT_FALSE(FitCalibration(Points{{2, 3}, {2, 5}, {2, 4}}));
  // Only two distinct readings among three points: a singular parabola.
  EXPECT_FALSE(FitCalibration(Points{{1, 3}, {1, 3}, {2, 4}}));
}

TEST(FitBrokenLine, StoredPointsReplaceTheirReferenceLevel) {
  const auto b = FitBrokenLine(Points{{3.9, 4.01}, {9.6, 9.2}});
  ASSERT_TRUE(b);
  // Through (3.9, 4.01), (7, 7) and (9.6, 9.2), break at 7.
  EXPECT_DOUBLE_EQ(b->segmentBreak, 7.0);
  EXPECT_DOUBLE_EQ(b->first.quadratic, 0.0);
  EXPECT_NEAR(b->first.constant + b->first.linear * 3.9, 4.01, 1e-12);
  EXPECT_NEAR(b->first.constant + b->first.linear * 7.0, 7.0, 1e-12);
  EXPECT_DOUBLE_EQ(b->second.quadratic, 0.0);
  EXPECT_NEAR(b->second.constant + b->second.linear * 7.0, 7.0, 1e-12);
  EXPECT_NEAR(b->second.constant + b->second.linear * 9.6, 9.2, 1e-12);
}

TEST(FitBrokenLine, LaterPointOfALevelWinsAndOnlyThreeCount) {
  const auto b = FitBrokenLine(Points{{6.0, 7.1}, {6.5, 6.9}, {3.0, 4.0}, {8.0, 7.0}});
  ASSERT_TRUE(b);
  // Level 7 took (6.5, 6.9); the fourth point (8, 7) is not used.
  EXPECT_DOUBLE_EQ(b->segmentBreak, 6.5);
  EXPECT_NEAR(b->first.constant + b->first.linear * 3.0, 4.0, 1e-12);
  EXPECT_NEAR(b->second.constant + b->second.linear * 10.0, 10.0, 1e-12);
}

TEST(FitBrokenLine, SharedReadingsGiveNoLine) {
  EXPECT_FALSE(FitBrokenLine(Points{{7.0, 4.2}}));
  EXPECT_FALSE(FitBrokenLine(Points{{10.0, 8.0}}));
}

// The break goes to the sensor as thousandths in 32-bit integers (g and
// g + 1): a reading beyond that gives no calibration.
TEST(FitBrokenLine, ABreakTheSensorCannotTakeGivesNoLine) {
  EXPECT_FALSE(FitBrokenLine(Points{{1e16, 7.0}}));
  EXPECT_FALSE(FitBrokenLine(Points{{-1e16, 7.0}}));
  EXPECT_TRUE(FitBrokenLine(Points{{2147483.5, 7.0}}));
  struct Case {
    double segmentBreak;
    std::optional<std::int32_t> units;
  } cases[] = {
      {7.0, 7000},
      {0.0625, 62},  // 62.5: halves to even
      {-2147483.648, INT32_MIN},
      {2147483.646, 2147483646},
      {2147483.647, std::nullopt},  // g + 1 would not fit
      {1e16, std::nullopt},
      {std::numeric_limits<double>::infinity(), std::nullopt},
      {std::numeric_limits<double>::quiet_NaN(), std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(SegmentBreakUnits(c.segmentBreak), c.units) << c.segmentBreak;
}

}  // namespace
}  // namespace pel::setup
