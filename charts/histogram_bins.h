#pragma once

#include <array>
#include <cstdint>

namespace rrscope::charts {

// The histogram's 45 bins of 0.02 s from 0.3 s on. Each edge is the one
// before it plus 0.02, added up in double precision, and both bounds of a bin
// are strict, so a value exactly on an edge belongs to no bin. The counts
// are those of scanning every value once per bin, taken in a single pass.
class HistogramBins {
 public:
  static constexpr int kBins = 45;

  HistogramBins();

  // Counts an interval of `seconds` into the bin that holds it, if any.
  void add(double seconds);

  // Bins are numbered from 1.
  double lowerEdge(int bin) const { return edges_[static_cast<std::size_t>(bin - 1)]; }
  std::int64_t count(int bin) const { return counts_[static_cast<std::size_t>(bin - 1)]; }

 private:
  // edges_[k - 1] is the lower edge of bin k; the last entry is the upper
  // edge of bin 45. The upper edge of bin k, its lower edge plus 0.02, is the
  // lower edge of bin k + 1 by construction.
  std::array<double, kBins + 1> edges_{};
  std::array<std::int64_t, kBins> counts_{};
};

}  // namespace rrscope::charts
