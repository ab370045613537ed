#include <numeric>

#include "recordings/recording.h"

namespace rrscope::recordings {

SamplingRate reducedRate(std::int64_t numerator, std::int64_t denominator) {
  const std::int64_t divisor = std::gcd(numerator, denominator);
  if (divisor == 0) return {numerator, denominator};
  return {numerator / divisor, denominator / divisor};
}

}  // namespace rrscope::recordings
