#include "charts/value_envelope.h"

#include <algorithm>

namespace rrscope::charts {

std::vector<ValueRange> valueEnvelope(std::span<const std::int32_t> values, std::size_t columns) {
  std::vector<ValueRange> ranges;
  if (values.empty() || columns == 0) return ranges;
  ranges.reserve(columns);
  const std::size_t n = values.size();
  for (std::size_t c = 0; c < columns; ++c) {
    // Column c covers [c n / columns, (c + 1) n / columns), at least one value.
    const std::size_t first = std::min(n - 1, c * n / columns);
    const std::size_t end = std::max(first + 1, std::min(n, (c + 1) * n / columns));
    const auto [low, high] =
        std::minmax_element(values.begin() + static_cast<std::ptrdiff_t>(first),
                            values.begin() + static_cast<std::ptrdiff_t>(end));
    ranges.push_back({*low, *high});
  }
  return ranges;
}

}  // namespace rrscope::charts
