#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "usblib/LeastSquares.h"

using vantiro::FitPolynomial;

namespace {

// Independent reference: least squares by modified Gram-Schmidt QR of the
// Vandermonde matrix in long double, then back substitution.
std::vector<double> ReferenceFit(const std::vector<double>& x, const std::vector<double>& y, int degree) {
  const std::size_t n = x.size(), m = static_cast<std::size_t>(degree) + 1;
  std::vector<std::vector<long double>> q(m, std::vector<long double>(n));
  std::vector<std::vector<long double>> r(m, std::vector<long double>(m, 0));
  for (std::size_t j = 0; j < m; ++j) {
    for (std::size_t i = 0; i < n; ++i) q[j][i] = std::pow(static_cast<long double>(x[i]), j);
  }
  for (std::size_t j = 0; j < m; ++j) {
    for (std::size_t k = 0; k < j; ++k) {
      long double dot = 0;
      for (std::size_t i = 0; i < n; ++i) dot += q[k][i] * q[j][i];
      r[k][j] = dot;
      for (std::size_t i = 0; i < n; ++i) q[j][i] -= dot * q[k][i];
    }
    long double norm = 0;
    for (std::size_t i = 0; i < n; ++i) norm += q[j][i] * q[j][i];
    r[j][j] = std::sqrt(norm);
    for (std::size_t i = 0; i < n; ++i) q[j][i] /= r[j][j];
  }
  std::vector<long double> qty(m, 0);
  for (std::size_t j = 0; j < m; ++j) {
    for (std::size_t i = 0; i < n; ++i) qty[j] += q[j][i] * y[i];
  }
  std::vector<double> c(m);
  for (std::size_t j = m; j-- > 0;) {
    long double s = qty[j];
    for (std::size_t k = j + 1; k < m; ++k) s -= r[j][k] * c[k];
    c[j] = static_cast<double>(s / r[j][j]);
  }
  return c;
}

std::vector<double> Fit(const std::vector<double>& x, const std::vector<double>& y, int degree, int* code) {
  std::vector<double> c(static_cast<std::size_t>(degree) + 1, 123.0);
  *code = FitPolynomial(x.data(), y.data(), degree, static_cast<int>(x.size()), c.data());
  return c;
}

}  // namespace

TEST(LeastSquares, ExactCases) {
  struct Case {
    std::vector<double> x, y;
    int degree;
    std::vector<double> expected;
  };
  const Case cases[] = {
      {{0, 1, 2}, {1, 3, 5}, 1, {1, 2}},
      {{-1, 0, 1}, {2, 1, 2}, 2, {1, 0, 1}},
      {{3, 7, 9, 1}, {2, 4, 9, 1}, 0, {4}},  // the mean of y
      {{-2, -1, 0, 1, 2, 3}, {}, 3, {0.5, -1, 2, 0.25}},
  };
  for (auto c : cases) {
    if (c.y.empty()) {
      for (double x : c.x) c.y.push_back(0.5 - x + 2 * x * x + 0.25 * x * x * x);
    }
    int code = -1;
    auto got = Fit(c.x, c.y, c.degree, &code);
    EXPECT_EQ(code, 0);
    ASSERT_EQ(got.size(), c.expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], c.expected[i], 1e-9) << "degree " << c.degree;
  }
}

TEST(LeastSquares, NoisyCubicAgreesWithIndependentReference) {
  std::mt19937 gen(7);
  std::normal_distribution<double> noise(0.0, 0.5);
  std::vector<double> x, y;
  for (int i = 0; i < 200; ++i) {
    const double xi = -5.0 + 10.0 * i / 199.0;
    x.push_back(xi);
    y.push_back(1.5 - 0.7 * xi + 0.3 * xi * xi - 0.05 * xi * xi * xi + noise(gen));
  }
  int code = -1;
  auto got = Fit(x, y, 3, &code);
  ASSERT_EQ(code, 0);
  auto ref = ReferenceFit(x, y, 3);
  for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], ref[i], 1e-8 * (1 + std::fabs(ref[i])));
}

TEST(LeastSquares, FailuresGiveACodeAndZeroCoefficients) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* name;
    std::vector<double> x, y;
    int degree;
    int code;
  };
  const Case cases[] = {
      {"repeated x, degree 1", {1, 1}, {1, 2}, 1, vantiro::kFitSingular},
      {"repeated x of an inexact value", {0.1, 0.1, 0.1}, {1, 2, 3}, 1, vantiro::kFitSingular},
      {"fewer points than coefficients", {0, 1}, {0, 1}, 2, vantiro::kFitSingular},
      {"NaN in y", {0, 1, 2}, {0, nan, 2}, 1, vantiro::kFitNotFinite},
      {"infinite x", {0, inf, 2}, {0, 1, 2}, 1, vantiro::kFitNotFinite},
      {"overflowing powers", {1e200, 2e200, 3e200}, {1, 2, 3}, 2, vantiro::kFitSingular},
      {"no points", {}, {}, 1, vantiro::kFitBadArguments},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<double> coefficients(static_cast<std::size_t>(c.degree) + 1, 7.0);
    const int code = FitPolynomial(c.x.data(), c.y.data(), c.degree, static_cast<int>(c.x.size()),
                                   coefficients.data());
    EXPECT_EQ(code, c.code);
    for (double v : coefficients) EXPECT_EQ(v, 0.0);
  }
  double one[2] = {1, 1};
  double out[2] = {5, 5};
  EXPECT_EQ(FitPolynomial(one, one, -1, 2, out), vantiro::kFitBadArguments);
  EXPECT_EQ(FitPolynomial(nullptr, one, 1, 2, out), vantiro::kFitBadArguments);
  EXPECT_EQ(out[0], 0.0);
  EXPECT_EQ(FitPolynomial(one, one, 1, 2, nullptr), vantiro::kFitBadArguments);
}

TEST(LeastSquares, GaussJordanInvertsAndReportsSingular) {
  // Needs a row swap: the largest element is off the diagonal.
  double a[9] = {0, 2, 1, 1, 0, 0, 3, 0, 1};
  double b[3] = {3, 1, 4};
  ASSERT_TRUE(vantiro::gaussj(a, 3, b, 1));
  EXPECT_NEAR(b[0], 1, 1e-12);
  EXPECT_NEAR(b[1], 1, 1e-12);
  EXPECT_NEAR(b[2], 1, 1e-12);
  // a now holds the inverse of the input matrix.
  const double input[9] = {0, 2, 1, 1, 0, 0, 3, 0, 1};
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      double s = 0;
      for (int k = 0; k < 3; ++k) s += input[r * 3 + k] * a[k * 3 + c];
      EXPECT_NEAR(s, r == c ? 1.0 : 0.0, 1e-12);
    }
  }
  double s[4] = {1, 2, 2, 4};
  double sb[2] = {1, 1};
  EXPECT_FALSE(vantiro::gaussj(s, 2, sb, 1));
}
