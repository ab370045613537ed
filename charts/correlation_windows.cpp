#include "charts/correlation_windows.h"

#include <algorithm>

namespace rrscope::charts {

CorrelationWindows::CorrelationWindows() {
  double centre = -3.95;
  for (std::size_t k = 0; k < centres_.size(); ++k) {
    centres_[k] = centre;
    lower_[k] = centre - 0.05;
    upper_[k] = centre + 0.05;
    centre += 0.05;
  }
}

void CorrelationWindows::add(double seconds) {
  // Both bounds rise with the window, so the windows that hold a value form
  // one run: from the first whose upper bound lies above it to the last whose
  // lower bound lies below it.
  const auto first = std::upper_bound(upper_.begin(), upper_.end(), seconds) - upper_.begin();
  const auto end = std::lower_bound(lower_.begin(), lower_.end(), seconds) - lower_.begin();
  for (auto k = first; k < end; ++k) ++counts_[static_cast<std::size_t>(k)];
}

}  // namespace rrscope::charts
