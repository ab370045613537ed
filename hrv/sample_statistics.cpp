#include "hrv/sample_statistics.h"

#include <algorithm>
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

double linearPercentile(std::span<double> values, double p) {
  const double rank = p / 100 * static_cast<double>(values.size() - 1);
  const auto below = static_cast<std::size_t>(std::floor(rank));
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(below),
                   values.end());
  if (below + 1 >= values.size()) return values[below];
  const double fraction = rank - static_cast<double>(below);
  const double low = values[below];
  const double high =
      *std::min_element(values.begin() + static_cast<std::ptrdiff_t>(below) + 1, values.end());
  // Interpolating from the nearer end keeps the result inside [low, high]
  // and equal, bit for bit, to the common numerical libraries.
  if (fraction >= 0.5) return high - (high - low) * (1 - fraction);
  return low + (high - low) * fraction;
}

}  // namespace rrscope::hrv
