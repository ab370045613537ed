#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "statistics/column_envelope.h"

namespace rrscope::charts {

// The lowest and highest value that fall into one pixel column.
using ValueRange = statistics::ColumnRange<std::int32_t>;

// Splits `values` into `columns` runs of (nearly) equal length and returns
// each run's range: drawn as one vertical line per column, a trace of any
// number of samples keeps every peak and costs one pass over the samples.
// With fewer values than columns, a value spreads over several columns.
std::vector<ValueRange> valueEnvelope(std::span<const std::int32_t> values, std::size_t columns);

}  // namespace rrscope::charts
