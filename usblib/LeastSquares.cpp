#include "usblib/LeastSquares.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <utility>
#include <vector>

namespace vantiro {

namespace {

// Row-major view with indexes from 1, as the elimination is written.
class Grid {
 public:
  Grid(double* data, std::size_t cols) : data_(data), cols_(cols) {}
  double& operator()(std::size_t r, std::size_t c) { return data_[(r - 1) * cols_ + (c - 1)]; }

 private:
  double* data_;
  std::size_t cols_;
};

std::size_t DistinctCount(const double* x, int count) {
  std::vector<double> sorted(x, x + count);
  std::sort(sorted.begin(), sorted.end());
  return static_cast<std::size_t>(std::unique(sorted.begin(), sorted.end()) - sorted.begin());
}

}  // namespace

bool gaussj(double* aData, std::size_t n, double* bData, std::size_t m) {
  Grid a(aData, n);
  Grid b(bData, m);
  std::vector<std::size_t> indxc(n + 1), indxr(n + 1);
  std::vector<int> ipiv(n + 1, 0);
  for (std::size_t i = 1; i <= n; ++i) {
    double big = 0.0;
    std::size_t irow = 1, icol = 1;
    for (std::size_t j = 1; j <= n; ++j) {
      if (ipiv[j] == 1) continue;
      for (std::size_t k = 1; k <= n; ++k) {
        // Ties go to the last element found.
        if (ipiv[k] == 0 && std::fabs(a(j, k)) >= big) {
          big = std::fabs(a(j, k));
          irow = j;
          icol = k;
        }
      }
    }
    ++ipiv[icol];
    if (irow != icol) {
      for (std::size_t l = 1; l <= n; ++l) std::swap(a(irow, l), a(icol, l));
      for (std::size_t l = 1; l <= m; ++l) std::swap(b(irow, l), b(icol, l));
    }
    indxr[i] = irow;
    indxc[i] = icol;
    // A zero pivot would divide by zero: the system has no unique solution.
    if (a(icol, icol) == 0.0) return false;
    const double pivinv = 1.0 / a(icol, icol);
    a(icol, icol) = 1.0;
    for (std::size_t l = 1; l <= n; ++l) a(icol, l) *= pivinv;
    for (std::size_t l = 1; l <= m; ++l) b(icol, l) *= pivinv;
    for (std::size_t ll = 1; ll <= n; ++ll) {
      if (ll == icol) continue;
      const double dum = a(ll, icol);
      a(ll, icol) = 0.0;
      for (std::size_t l = 1; l <= n; ++l) a(ll, l) -= a(icol, l) * dum;
      for (std::size_t l = 1; l <= m; ++l) b(ll, l) -= b(icol, l) * dum;
    }
  }
  for (std::size_t l = n; l >= 1; --l) {
    if (indxr[l] != indxc[l]) {
      for (std::size_t k = 1; k <= n; ++k) std::swap(a(k, indxr[l]), a(k, indxc[l]));
    }
  }
  return true;
}

int FitPolynomial(const double* x, const double* y, int degree, int count, double* coefficients) {
  if (!coefficients || degree < 0) return kFitBadArguments;
  const std::size_t m = static_cast<std::size_t>(degree) + 1;
  std::fill(coefficients, coefficients + m, 0.0);
  if (!x || !y || count < 1) return kFitBadArguments;
  for (int k = 0; k < count; ++k) {
    if (!std::isfinite(x[k]) || !std::isfinite(y[k])) return kFitNotFinite;
  }
  try {
    if (DistinctCount(x, count) < m) return kFitSingular;
    const std::size_t rows = static_cast<std::size_t>(count);
    // The working matrices must not wrap the size type (32-bit builds).
    if (m > std::numeric_limits<std::size_t>::max() / sizeof(double) / std::max(rows, m)) return kFitNoMemory;
    std::vector<double> uData(rows * m);
    Grid u(uData.data(), m);
    for (std::size_t i = 1; i <= rows; ++i) {
      double power = 1.0;  // x^0 is 1, also for x = 0
      for (std::size_t j = 1; j <= m; ++j) {
        u(i, j) = power;
        power *= x[i - 1];
      }
    }
    std::vector<double> aData(m * m, 0.0), bData(m, 0.0);
    Grid a(aData.data(), m);
    Grid b(bData.data(), 1);
    for (std::size_t r = 1; r <= m; ++r) {
      for (std::size_t c = 1; c <= m; ++c) {
        for (std::size_t k = 1; k <= rows; ++k) a(r, c) += u(k, c) * u(k, r);
      }
      for (std::size_t k = 1; k <= rows; ++k) b(r, 1) += y[k - 1] * u(k, r);
    }
    if (!gaussj(aData.data(), m, bData.data(), 1)) return kFitSingular;
    for (double v : bData) {
      if (!std::isfinite(v)) return kFitSingular;
    }
    std::copy(bData.begin(), bData.end(), coefficients);
    return kFitOk;
  } catch (const std::bad_alloc&) {
    std::fill(coefficients, coefficients + m, 0.0);
    return kFitNoMemory;
  }
}

}  // namespace vantiro
