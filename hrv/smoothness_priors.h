#pragma once

#include <span>
#include <vector>

namespace rrscope::hrv {

// The smoothness-priors trend of Tarvainen, Ranta-aho and Karjalainen
// (2002): (I + lambda^2 D2' D2)^-1 z, with D2 the (N - 2) x N second
// difference matrix, in O(N) through a banded (pentadiagonal) system for
// lambda D2 trend, whose rounding scales with what the detrending removes
// rather than with z: a constant is its own trend exactly, a line to within
// rounding of its own size. Fewer than 3 values are their own trend.
std::vector<double> smoothnessPriorsTrend(std::span<const double> z, double lambda);

// z less its trend, in place: a time-varying high-pass filter. Away from the
// ends its gain is 16 lambda^2 s^4 / (1 + 16 lambda^2 s^4), s = sin(pi f /
// rate), whose -3 dB point at 4 Hz and lambda = 500 is 0.0355 Hz.
void removeSmoothnessPriorsTrend(std::span<double> z, double lambda);

}  // namespace rrscope::hrv
