#pragma once

#include <span>

namespace rrscope::hrv {

double meanOf(std::span<const double> values);

// Standard deviation dividing by the count less one; needs two values.
double sampleDeviation(std::span<const double> values);

}  // namespace rrscope::hrv
