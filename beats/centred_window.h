#pragma once

#include <algorithm>
#include <cstddef>
#include <span>
#include <vector>

namespace rrscope::beats {

// Calls visit(i, sorted) for every index i of `values`, where `sorted` holds
// the values of the window of `width` centred on i in increasing order; near
// the ends the window is cut short. The window is kept sorted as it slides,
// one insertion and one removal a step.
template <class Visit>
void forEachCentredWindow(std::span<const double> values, std::size_t width, Visit visit) {
  const std::size_t half = width / 2;
  const std::size_t n = values.size();
  std::vector<double> sorted;
  sorted.reserve(width + 1);
  auto insert = [&](double v) {
    sorted.insert(std::upper_bound(sorted.begin(), sorted.end(), v), v);
  };
  for (std::size_t i = 0; i < std::min(n, half); ++i) insert(values[i]);
  for (std::size_t i = 0; i < n; ++i) {
    if (i + half < n) insert(values[i + half]);
    if (i > half)
      sorted.erase(std::lower_bound(sorted.begin(), sorted.end(), values[i - half - 1]));
    visit(i, std::span<const double>(sorted));
  }
}

// The q-quantile of sorted values, interpolated linearly between the two
// nearest ranks.
inline double sortedQuantile(std::span<const double> sorted, double q) {
  const double rank = q * static_cast<double>(sorted.size() - 1);
  const auto below = static_cast<std::size_t>(rank);
  if (below + 1 >= sorted.size()) return sorted.back();
  const double fraction = rank - static_cast<double>(below);
  return sorted[below] + fraction * (sorted[below + 1] - sorted[below]);
}

}  // namespace rrscope::beats
