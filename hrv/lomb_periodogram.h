#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace rrscope::hrv {

// Lomb's periodogram of values y at times t in s, at the harmonics
// f_k = k / periodS, k = 1 ... harmonics: with w = 2 pi f and
// tan(2 w tau) = sum sin 2wt / sum cos 2wt,
//   L(f) = [sum y cos w(t - tau)]^2 / sum cos^2 w(t - tau)
//        + [sum y sin w(t - tau)]^2 / sum sin^2 w(t - tau),
// in the units of y squared; a term whose denominator vanishes counts as 0.
// On evenly spaced samples at the Fourier frequencies j / (N dt) with 0 < j
// < N / 2 this is the doubled periodogram 2 |X_j|^2 / N, and |X_j|^2 / N at
// j = N / 2. The values are used as they are; take their mean out first.
// Costs O(N) per frequency with no trigonometric call in the loop: cos and
// sin of w t follow from one frequency to the next by angle addition and are
// recomputed exactly every 128 frequencies. L agrees with the direct sums to
// about 1e-10 relative for an hour of beats, where the rounding of the
// angles w t themselves, common to both, dominates.
std::vector<double> lombPeriodogram(std::span<const double> times, std::span<const double> values,
                                    double periodS, std::size_t harmonics);

}  // namespace rrscope::hrv
