#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <span>
#include <vector>

// The lowest and highest value in each pixel column of a trace: drawn as
// one vertical line per column, a trace of any number of values keeps
// every peak and costs one pass over the values. Header-only and on the
// standard library alone, so that every chart may use it.
namespace rrscope::statistics {

template <typename Value>
struct ColumnRange {
  using Limits = std::numeric_limits<Value>;
  // Empty until a value falls into the column: low above high.
  Value low = Limits::has_infinity ? Limits::infinity() : Limits::max();
  Value high = Limits::has_infinity ? -Limits::infinity() : Limits::lowest();

  bool empty() const { return low > high; }
  void add(Value value) {
    low = std::min(low, value);
    high = std::max(high, value);
  }
};

// The range of the values in each of `columns` columns, value i falling
// into the column `columnAt(i)` counts from the left: its whole part, and
// the first or last column for a place before or beyond them. A column no
// value falls into stays empty.
template <typename Value, typename ColumnAt>
std::vector<ColumnRange<Value>> columnEnvelope(std::span<const Value> values, std::size_t columns,
                                               ColumnAt columnAt) {
  std::vector<ColumnRange<Value>> ranges(columns);
  if (columns == 0) return ranges;
  const auto last = static_cast<double>(columns - 1);
  for (std::size_t i = 0; i < values.size(); ++i) {
    const double at = std::floor(static_cast<double>(columnAt(i)));
    const double column = at > 0 ? std::min(at, last) : 0.0;
    ranges[static_cast<std::size_t>(column)].add(values[i]);
  }
  return ranges;
}

}  // namespace rrscope::statistics
