#include "charts/histogram_bins.h"

#include <algorithm>

namespace rrscope::charts {

HistogramBins::HistogramBins() {
  double edge = 0.3;
  for (double& slot : edges_) {
    slot = edge;
    edge += 0.02;
  }
}

void HistogramBins::add(double seconds) {
  // The first edge above the value closes the only bin that may hold it.
  const auto above = std::upper_bound(edges_.begin(), edges_.end(), seconds);
  if (above == edges_.begin() || above == edges_.end()) return;
  const auto bin = static_cast<std::size_t>(above - edges_.begin()) - 1;
  if (edges_[bin] < seconds) ++counts_[bin];
}

}  // namespace rrscope::charts
