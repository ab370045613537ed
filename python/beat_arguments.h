#pragma once

#include <span>
#include <string_view>

namespace rrscope::python {

// A ValueError unless `rateHz` is a positive number of samples per second.
void requireRate(double rateHz);

// A ValueError naming `name` unless `positions` never go back.
void requireIncreasing(std::span<const double> positions, std::string_view name);

}  // namespace rrscope::python
