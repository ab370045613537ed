#include <numeric>

#include "recordings/recording.h"

namespace rrscope::recordings {

SamplingRate reducedRate(std::int64_t numerator, std::int64_t denominator) {
  const std::int64_t divisor = std::gcd(numerator, denominator);
  if (divisor == 0) return {numerator, denominator};
  return {numerator / divisor, denominator / divisor};
}

std::vector<double> physicalSamples(const Recording& recording) {
  std::vector<double> samples(recording.sampleCount());
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = recording.physical(i);
  return samples;
}

}  // namespace rrscope::recordings
