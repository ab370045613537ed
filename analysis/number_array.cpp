#include "analysis/number_array.h"

#include <cmath>

#include "analysis/run_error.h"

namespace rrscope {

void checkSubscript(std::int64_t position, std::int64_t capacity, const std::string& what) {
  if (position >= 1 && position <= capacity) return;
  throw RunError(ErrorKind::subscriptOutOfRange,
                 "position " + std::to_string(position) + " of " + what +
                     " lies outside 1 to " + std::to_string(capacity) +
                     "; check the parameters of the run");
}

std::int64_t roundedPosition(double value) {
  const double rounded = std::nearbyint(value);
  if (!(rounded >= -1e15 && rounded <= 1e15)) return -1;  // NaN too
  return static_cast<std::int64_t>(rounded);
}

void NumberArray::checkPosition(std::int64_t position) const {
  checkSubscript(position, kCapacity, name_);
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

}  // namespace rrscope
