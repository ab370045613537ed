#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace rrscope::hrv {

// The fluctuation function of detrended fluctuation analysis for each box
// size n in `boxSizes`: the profile is the running sum of x less its mean;
// floor(N / n) non-overlapping boxes start at the first value (a remainder
// at the end is dropped); each box less its least-squares line against
// 1 ... n; F(n) is the root of the mean square of all the residuals. Each n
// must be at least 2 and at most N. Each box is fitted about its middle, so
// the residuals keep their digits however far the profile has drifted; the
// cost is O(N) per box size.
std::vector<double> dfaFluctuation(std::span<const double> x,
                                   std::span<const std::size_t> boxSizes);

// The least-squares line of log10 F(n) on log10 n. Needs two distinct box
// sizes and every F(n) > 0; an all-equal series has F(n) = 0 exactly, and its
// slope is not finite. (Boxes of 2 leave only rounding: a line passes
// through any two points.)
struct DfaFit {
  double slope = 0;  // the scaling exponent alpha
  double intercept = 0;
};
DfaFit dfaFit(std::span<const std::size_t> boxSizes, std::span<const double> fluctuation);

}  // namespace rrscope::hrv
