#include "analysis/number_array.h"

#include <cmath>

#include "analysis/run_error.h"

namespace rrscope::analysis {

void throwSubscriptError(std::int64_t position, std::int64_t capacity, Series series) {
  throw RunError({.cause = ErrorCause::positionOutOfRange,
                  .series = series,
                  .count = position,
                  .limit = capacity});
}

void NumberArray::checkPosition(std::int64_t position) const {
  checkSubscript(position, kCapacity, series_);
}

double NumberArray::at(std::int64_t position) const {
  checkPosition(position);
  const auto index = static_cast<std::size_t>(position - 1);
  return index < values_.size() ? values_[index] : 0.0;
}

void NumberArray::set(std::int64_t position, double value) {
  checkPosition(position);
  const auto index = static_cast<std::size_t>(position - 1);
  if (index >= values_.size()) values_.resize(index + 1, 0.0);
  values_[index] = value;
}

}  // namespace rrscope::analysis
