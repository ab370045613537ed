#pragma once

#include <algorithm>
#include <cstddef>
#include <span>
#include <vector>

// Medians and quantiles, each under the name of its convention. Callers
// keep the convention their results were defined with: a measure, a level
// or a threshold changes in its last digits when the convention does.
// Header-only and on the standard library alone, so that every library may
// use it.
namespace rrscope::statistics {

// The middle value, the upper of the two middle ones for an even count
// (the value at rank n / 2, counted from 0); 0 for no values. Reorders the
// values. The detector takes it as a typical value that single outliers do
// not move, and it is always one of the values.
inline double upperMedianInPlace(std::span<double> values) {
  if (values.empty()) return 0;
  const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end());
  return *middle;
}

// The same on a copy of the values.
inline double upperMedian(std::vector<double> values) {
  return upperMedianInPlace(values);
}

// The middle value, the mean of the two middle ones for an even count: the
// textbook median. At least one value.
inline double midpointMedian(std::vector<double> values) {
  const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end());
  if (values.size() % 2 == 1) return *middle;
  return (*middle + *std::max_element(values.begin(), middle)) / 2;
}

// The q-quantile (q in [0, 1]) by linear interpolation between the two
// nearest ranks: rank q (n - 1), counted from 0, as the "linear" method of
// the common numerical libraries (type 7 of Hyndman and Fan). At least one
// value. The three forms differ only in how the two values are found and in
// the rounding of the interpolation.

// On sorted values, as low + f (high - low).
inline double linearQuantileOfSorted(std::span<const double> sorted, double q) {
  const double rank = q * static_cast<double>(sorted.size() - 1);
  const auto below = static_cast<std::size_t>(rank);
  if (below + 1 >= sorted.size()) return sorted.back();
  const double fraction = rank - static_cast<double>(below);
  return sorted[below] + fraction * (sorted[below + 1] - sorted[below]);
}

// The two values around rank q (n - 1) of unsorted values, which it
// reorders, found by selection in linear time; `top` when the rank is the
// last, with no value above it.
struct RankBracket {
  double low = 0, high = 0, fraction = 0;
  bool top = false;
};
inline RankBracket bracketRank(std::span<double> values, double q) {
  const double rank = q * static_cast<double>(values.size() - 1);
  const auto below = static_cast<std::size_t>(rank);
  const auto at = values.begin() + static_cast<std::ptrdiff_t>(below);
  std::nth_element(values.begin(), at, values.end());
  if (below + 1 >= values.size()) return {*at, *at, 0, true};
  return {*at, *std::min_element(at + 1, values.end()), rank - static_cast<double>(below), false};
}

// On unsorted values, which it reorders, as low + f (high - low): equal,
// bit for bit, to linearQuantileOfSorted on the sorted values.
inline double linearQuantileInPlace(std::span<double> values, double q) {
  const RankBracket b = bracketRank(values, q);
  if (b.top) return b.low;
  return b.low + b.fraction * (b.high - b.low);
}

// On unsorted values, which it reorders, interpolated from the nearer of
// the two values: the result stays inside [low, high] and equals, bit for
// bit, the common numerical libraries' "linear" quantile. The heart rate
// variability measures use it so that they match those libraries.
inline double linearQuantileFromNearerEnd(std::span<double> values, double q) {
  const RankBracket b = bracketRank(values, q);
  if (b.top) return b.low;
  if (b.fraction >= 0.5) return b.high - (b.high - b.low) * (1 - b.fraction);
  return b.low + (b.high - b.low) * b.fraction;
}

}  // namespace rrscope::statistics
