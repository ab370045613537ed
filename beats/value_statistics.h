#pragma once

#include <cstdint>
#include <span>

namespace rrscope::beats {

// The largest |value|; 0 for no values.
double largestMagnitude(std::span<const double> values);

// The same over indices `from` up to `to` of `values`, the range clamped to
// the values.
double largestMagnitudeIn(std::span<const double> values, std::int64_t from, std::int64_t to);

}  // namespace rrscope::beats
