#include "beat_arguments.h"

#include <pybind11/pybind11.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

namespace rrscope::python {

void requireRate(double rateHz) {
  if (!std::isfinite(rateHz) || rateHz <= 0) {
    throw pybind11::value_error("rate_hz must be a positive number of samples per second");
  }
}

void requireIncreasing(std::span<const double> positions, std::string_view name) {
  if (std::ranges::adjacent_find(positions, std::greater<>()) != positions.end()) {
    throw pybind11::value_error(std::string(name) + " must be in increasing order");
  }
}

}  // namespace rrscope::python
