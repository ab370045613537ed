#pragma once

#include <array>
#include <cstdint>

namespace rrscope::charts {

// The correlation chart's 160 overlapping windows, 0.1 s wide, whose centres
// run from -3.95 s in steps of 0.05 s. Each centre is the one before it plus
// 0.05, added up in double precision; a window holds the differences strictly
// between its centre minus 0.05 and its centre plus 0.05. The counts are
// those of scanning every difference once per window, taken in a single pass.
class CorrelationWindows {
 public:
  static constexpr int kWindows = 160;

  CorrelationWindows();

  // Counts a difference of `seconds` into every window that holds it.
  void add(double seconds);

  // Windows are numbered from 1.
  double centre(int window) const { return centres_[index(window)]; }
  std::int64_t count(int window) const { return counts_[index(window)]; }

 private:
  static std::size_t index(int window) { return static_cast<std::size_t>(window - 1); }

  std::array<double, kWindows> centres_{};
  std::array<double, kWindows> lower_{};  // centre - 0.05, rising with the centre
  std::array<double, kWindows> upper_{};  // centre + 0.05, rising with the centre
  std::array<std::int64_t, kWindows> counts_{};
};

}  // namespace rrscope::charts
