#pragma once
// Polynomial least-squares fit: normal equations solved by Gauss-Jordan
// elimination with full pivoting.
#include <cstddef>

namespace vantiro {

enum FitResult : int {
  kFitOk = 0,
  kFitBadArguments = 1,  // null pointer, negative degree or no points
  kFitSingular = 2,      // fewer distinct x than coefficients, a zero pivot or an overflow
  kFitNotFinite = 3,     // a NaN or infinite x or y
  kFitNoMemory = 4,
};

// Fits coefficients[0..degree] (coefficient i multiplies x^i) to count points.
// On any result but kFitOk every coefficient is set to 0, so no inf or NaN
// reaches the caller.
int FitPolynomial(const double* x, const double* y, int degree, int count, double* coefficients);

// Solves a X = b in place (a: n x n, b: n x m, row-major). On return a holds
// the inverse and b the solutions. False when a pivot is 0 (singular matrix);
// the elimination then stops and a and b are left part-way.
bool gaussj(double* a, std::size_t n, double* b, std::size_t m);

}  // namespace vantiro
