#pragma once

#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

#include "analysis/run_error.h"

namespace rrscope::analysis {

// A run's array of numbers, positions 1 to 10,000,000. It holds only what the
// last run wrote; every other position reads as 0, so nothing of an earlier
// run can show through. Memory grows with the positions written.
class NumberArray {
 public:
  static constexpr std::int64_t kCapacity = 10'000'000;

  explicit NumberArray(Series series) : series_(series) {}

  // Throw a subscript-out-of-range RunError outside 1 to kCapacity.
  double at(std::int64_t position) const;
  void set(std::int64_t position, double value);

  void clear() { values_.clear(); }
  std::span<const double> written() const { return values_; }

 private:
  void checkPosition(std::int64_t position) const;

  Series series_;
  std::vector<double> values_;  // position i at index i - 1
};

[[noreturn]] void throwSubscriptError(std::int64_t position, std::int64_t capacity, Series series);

// Throws a subscript-out-of-range RunError unless `position` lies within 1 to
// `capacity`; `series` names the array in the report.
inline void checkSubscript(std::int64_t position, std::int64_t capacity, Series series) {
  if (position < 1 || position > capacity) throwSubscriptError(position, capacity, series);
}

// The nearest whole number, a half going to the even neighbour, as an array
// position; a value beyond any position becomes one that fails the bounds.
inline std::int64_t roundedPosition(double value) {
  if (!(value >= -1e15 && value <= 1e15)) return -1;  // NaN too
  const auto truncated = static_cast<std::int64_t>(value);
  if (static_cast<double>(truncated) == value) return truncated;  // the usual whole position
  return static_cast<std::int64_t>(std::nearbyint(value));
}

}  // namespace rrscope::analysis
