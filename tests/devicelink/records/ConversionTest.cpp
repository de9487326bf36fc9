#include "devicelink/records/Conversion.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace pel::records;

TEST(Conversion, FormulasOneToNine) {
  const double x = 2, a = 3, b = 1;
  struct Case {
    int f;
    double expected;
  } cases[] = {{1, 7.0},           {2, 2.5},           {3, 1.0},     {4, 1.0 / 7},
               {5, 0.4},           {6, 3 * std::log(2.0) + 1},        {7, 3 * std::exp(2.0)},
               {8, 6.0},           {9, 1.0 / 49},      {0, 2.0},     {-1, 2.0},
               {10, 2.0}};
  for (const Case& c : cases)
    EXPECT_DOUBLE_EQ(ConvertValue(ConvertSetting{c.f, a, b}, x), c.expected) << "formula " << c.f;
}

TEST(Conversion, FloatingPointFaultsReturnTheInput) {
  struct Case {
    int f;
    double a, b, x;
  } cases[] = {
      {2, 1, 0, 0},     // a / 0
      {3, 1, 1, -1},    // a / (x + b) with x + b = 0
      {4, 1, -2, 2},    // 1 / 0
      {5, 2, -1, 2},    // x / 0
      {6, 1, 0, 0},     // ln 0
      {6, 1, 0, -1},    // ln of a negative value
      {7, 1, 1000, 2},  // overflow
      {8, 1, 0.5, -2},  // negative base, fractional power
      {8, 1, -1, 0},    // 0 to a negative power
      {9, 1, -2, 2},    // (0)^-2
  };
  for (const Case& c : cases)
    EXPECT_EQ(ConvertValue(ConvertSetting{c.f, c.a, c.b}, c.x), c.x) << "formula " << c.f;
}

TEST(Conversion, SetConvertUnitIgnoresIndexesOutsideOneToEight) {
  ConvertTable t{};
  SetConvertUnit(t, 0, 1, 2, 3);
  SetConvertUnit(t, 9, 1, 2, 3);
  for (const auto& s : t) EXPECT_EQ(s.formula, 0);
  SetConvertUnit(t, 8, 12, 2, 3);  // stored as given, acts as no conversion
  EXPECT_EQ(t[7].formula, 12);
  EXPECT_EQ(ConvertValue(t, 7, 5.0), 5.0);
  SetConvertUnit(t, 1, 1, 2, 3);
  EXPECT_EQ(ConvertValue(t, 0, 5.0), 13.0);
  EXPECT_EQ(ConvertValue(t, 8, 5.0), 5.0);  // no channel 9
}

TEST(Conversion, QuantiseRoundsHalvesToEven) {
  struct Case {
    double v, r, q;
  } cases[] = {{1.27, 0.05, 1.25}, {0.25, 0.5, 0.0}, {0.75, 0.5, 1.0}, {2.5, 1, 2},
               {3.5, 1, 4},        {-2.5, 1, -2},    {1.234, 0, 1.234}, {5, 1e-320, 5}};
  for (const Case& c : cases) EXPECT_NEAR(Quantise(c.v, c.r), c.q, 1e-12) << c.v << " / " << c.r;
}
