#pragma once

#include <span>
#include <vector>

namespace rrscope::hrv {

// The end of each interval in seconds, less that of the first: the times
// the spectra put the intervals at. Starting at 0 keeps the angles of the
// Lomb–Scargle sums, and their rounding, small. Needs one interval.
std::vector<double> beatTimesFromFirst(std::span<const double> intervalsMs);

}  // namespace rrscope::hrv
