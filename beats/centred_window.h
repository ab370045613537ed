#pragma once

#include <algorithm>
#include <cstddef>
#include <span>
#include <vector>

namespace rrscope::beats {

// Puts `entering` in the place of `leaving` in a sorted window, shifting by
// one only the values that lie between the two: in a slowly changing series
// they are few.
inline void replaceSorted(std::vector<double>& sorted, double leaving, double entering) {
  auto slot = static_cast<std::size_t>(std::lower_bound(sorted.begin(), sorted.end(), leaving) -
                                       sorted.begin());
  if (entering >= leaving) {
    for (; slot + 1 < sorted.size() && sorted[slot + 1] < entering; ++slot) {
      sorted[slot] = sorted[slot + 1];
    }
  } else {
    for (; slot > 0 && sorted[slot - 1] > entering; --slot) sorted[slot] = sorted[slot - 1];
  }
  sorted[slot] = entering;
}

// Calls visit(i, sorted) for every index i of `values`, where `sorted` holds
// the values of the window of `width` centred on i in increasing order; near
// the ends the window is cut short. The window is kept sorted as it slides.
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
    const bool entering = i + half < n;
    const bool leaving = i > half;
    if (entering && leaving) {
      replaceSorted(sorted, values[i - half - 1], values[i + half]);
    } else if (entering) {
      insert(values[i + half]);
    } else if (leaving) {
      sorted.erase(std::lower_bound(sorted.begin(), sorted.end(), values[i - half - 1]));
    }
    visit(i, std::span<const double>(sorted));
  }
}

}  // namespace rrscope::beats
