#include "beats/value_statistics.h"

#include <algorithm>
#include <cmath>

namespace rrscope::beats {

double largestMagnitude(std::span<const double> values) {
  double largest = 0;
  for (const double v : values) largest = std::max(largest, std::abs(v));
  return largest;
}

double largestMagnitudeIn(std::span<const double> values, std::int64_t from, std::int64_t to) {
  const auto n = static_cast<std::int64_t>(values.size());
  from = std::clamp<std::int64_t>(from, 0, n);
  to = std::clamp<std::int64_t>(to, from, n);
  return largestMagnitude(
      values.subspan(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from)));
}

}  // namespace rrscope::beats
