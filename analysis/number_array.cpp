#include "analysis/number_array.h"

#include <cmath>

#include "analysis/run_error.h"

namespace rrscope {

void throwSubscriptError(std::int64_t position, std::int64_t capacity, std::string_view what) {
  throw RunError(ErrorKind::subscriptOutOfRange, "position " + std::to_string(position) + " of " +
                                                     std::string(what) + " lies outside 1 to " +
                                                     std::to_string(capacity) +
                                                     "; check the parameters of the run");
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
