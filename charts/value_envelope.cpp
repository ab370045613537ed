#include "charts/value_envelope.h"

namespace rrscope::charts {

std::vector<ValueRange> valueEnvelope(std::span<const std::int32_t> values, std::size_t columns) {
  if (values.empty() || columns == 0) return {};
  const std::size_t n = values.size();
  if (n < columns) {
    // Column c shows the value at c n / columns.
    std::vector<ValueRange> ranges(columns);
    for (std::size_t c = 0; c < columns; ++c) ranges[c].add(values[c * n / columns]);
    return ranges;
  }
  // Column c covers [c n / columns, (c + 1) n / columns): value i lies in
  // the last column that starts at or before it.
  return statistics::columnEnvelope(values, columns,
                                    [&](std::size_t i) { return ((i + 1) * columns - 1) / n; });
}

}  // namespace rrscope::charts
