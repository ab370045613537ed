#pragma once

#include <span>

namespace rrscope::hrv {

double meanOf(std::span<const double> values);

// Standard deviation dividing by the count less one; needs two values.
double sampleDeviation(std::span<const double> values);

// Percentile p in [0, 100] of the values, interpolated linearly between the
// ranks around p / 100 * (count - 1); needs one value. Reorders the values:
// selecting the two ranks takes linear time where sorting would not.
double linearPercentile(std::span<double> values, double p);

}  // namespace rrscope::hrv
