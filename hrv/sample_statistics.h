#pragma once

#include <span>

namespace rrscope::hrv {

double meanOf(std::span<const double> values);

// Standard deviation dividing by the count less one; needs two values.
double sampleDeviation(std::span<const double> values);

// Percentile p in [0, 100] of ascending values, interpolated linearly between
// the ranks around p / 100 * (count - 1); needs one value.
double linearPercentile(std::span<const double> ascending, double p);

}  // namespace rrscope::hrv
