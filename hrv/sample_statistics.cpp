#include "hrv/sample_statistics.h"

#include <cmath>

namespace rrscope::hrv {

double meanOf(std::span<const double> values) {
  double sum = 0;
  for (const double value : values) sum += value;
  return sum / static_cast<double>(values.size());
}

// Measured from the first value, equal values give exactly zero, which a
// ratio with this deviation as denominator relies on.
double sampleDeviation(std::span<const double> values) {
  const double origin = values.front();
  double sum = 0;
  for (const double value : values) sum += value - origin;
  const double mean = sum / static_cast<double>(values.size());
  double squares = 0;
  for (const double value : values) squares += (value - origin - mean) * (value - origin - mean);
  return std::sqrt(squares / static_cast<double>(values.size() - 1));
}

}  // namespace rrscope::hrv
