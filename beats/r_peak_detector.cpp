#include "beats/r_peak_detector.h"

#include <cmath>
#include <stdexcept>
#include <string>

#include "beats/peak_refinement.h"
#include "beats/qrs_decision.h"
#include "beats/qrs_signals.h"

namespace rrscope::beats {

DetectedBeats detectBeats(const SampleSource& samples, double rate) {
  if (!std::isfinite(rate) || rate < kMinimumRate) {
    throw std::invalid_argument("the sampling rate " + std::to_string(rate) +
                                " per second is too low for QRS detection; it must be at least " +
                                std::to_string(static_cast<int>(kMinimumRate)));
  }
  ReducedSignal reduced = reduceRate(samples, rate);
  const double factor = static_cast<double>(reduced.factor);
  const double offset = reduced.offset;
  const QrsSignals signals = computeQrsSignals(std::move(reduced.samples), reduced.rate);
  const std::vector<std::int64_t> humps = decideQrs(signals);
  std::vector<double> approximate;
  approximate.reserve(humps.size());
  for (const std::int64_t hump : humps) {
    approximate.push_back(static_cast<double>(hump) * factor + offset);
  }
  return {refineToRPeaks(samples, rate, approximate), {}};
}

std::vector<double> detectRPeaks(const SampleSource& samples, double rate) {
  return detectBeats(samples, rate).beats;
}

std::vector<double> detectRPeaks(std::span<const double> samples, double rate) {
  return detectRPeaks(SpanSamples(samples), rate);
}

}  // namespace rrscope::beats
