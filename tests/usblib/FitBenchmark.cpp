// Benchmark (not a test): USB_lsfit's work for 1000 points at degree 3.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "usblib/LeastSquares.h"

int main() {
  constexpr int kPoints = 1000, kDegree = 3, kRuns = 2000;
  std::vector<double> x(kPoints), y(kPoints);
  for (int i = 0; i < kPoints; ++i) {
    x[i] = i * 0.01;
    y[i] = 1.0 + 0.5 * x[i] - 0.25 * x[i] * x[i] + 0.125 * x[i] * x[i] * x[i] + 0.01 * std::sin(i);
  }
  double c[kDegree + 1];
  double checksum = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int run = 0; run < kRuns; ++run) {
    if (vantiro::FitPolynomial(x.data(), y.data(), kDegree, kPoints, c) != 0) return 1;
    checksum += c[3];
  }
  const std::chrono::duration<double, std::micro> elapsed = std::chrono::steady_clock::now() - start;
  std::printf("fit of %d points at degree %d: %.1f us per call (checksum %.6f)\n", kPoints, kDegree,
              elapsed.count() / kRuns, checksum / kRuns);
  return 0;
}
