#include "beats/qrs_search.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "beats/qrs_signals.h"
#include "beats/value_statistics.h"

namespace rrscope::beats {
namespace {

// A complex closer than the refractory period to a beat is part of it.
constexpr double kRefractorySeconds = 0.200;
// The band-pass settles within some tens of milliseconds; this much lead on
// either side keeps its start-up out of the search.
constexpr double kFilterLeadSeconds = 0.300;
// The steepest slope of a beat is sought this far on either side of it.
constexpr double kBeatHalfSeconds = 0.075;
// A T wave has less than half the steepest slope of the QRS before it, a P
// wave less still; a complex the detector missed, small or wide, reaches at
// least that. Half the smaller slope of the two beats around the gap is the
// lowered threshold.
constexpr double kSlopeRatio = 0.5;
// The slope is taken over this span, a five-point derivative at the
// detector's rate: short enough to follow a QRS flank, long enough to pass
// over the sample-to-sample noise of a fast recording.
constexpr double kSlopeSeconds = 0.008;

// |x[i + h] - x[i - h]| for every i, 0 near the ends.
std::vector<double> steepness(std::span<const double> x, std::int64_t h) {
  const auto n = static_cast<std::int64_t>(x.size());
  std::vector<double> out(x.size(), 0.0);
  for (std::int64_t i = h; i + h < n; ++i) out[i] = std::abs(x[i + h] - x[i - h]);
  return out;
}

}  // namespace

std::optional<double> QrsSearch::between(double after, double before) const {
  const std::int64_t n = samples_.size();
  const auto refractory = static_cast<std::int64_t>(std::llround(kRefractorySeconds * rate_));
  const auto lead = static_cast<std::int64_t>(std::llround(kFilterLeadSeconds * rate_));
  const auto beatHalf = static_cast<std::int64_t>(std::llround(kBeatHalfSeconds * rate_));
  const auto h = std::max<std::int64_t>(1, std::llround(kSlopeSeconds * rate_ / 2));
  const std::int64_t first = std::max<std::int64_t>(0, std::llround(after) - lead);
  const std::int64_t end = std::min<std::int64_t>(n, std::llround(before) + lead + 1);
  if (end - first < 3) return std::nullopt;
  std::vector<double> stretch(static_cast<std::size_t>(end - first));
  samples_.read(first, stretch);
  bandPassQrs(stretch, rate_);
  const std::vector<double> slope = steepness(stretch, h);
  const std::int64_t a = std::llround(after) - first, b = std::llround(before) - first;
  const double beats = std::min(largestMagnitudeIn(slope, a - beatHalf, a + beatHalf + 1),
                                largestMagnitudeIn(slope, b - beatHalf, b + beatHalf + 1));
  const std::int64_t from = a + refractory, to = b - refractory;
  if (from >= to || beats <= 0) return std::nullopt;
  const auto steepest = std::max_element(slope.begin() + from, slope.begin() + to);
  if (*steepest < kSlopeRatio * beats) return std::nullopt;
  return static_cast<double>(first + (steepest - slope.begin()));
}

}  // namespace rrscope::beats
