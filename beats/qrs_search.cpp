#include "beats/qrs_search.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "beats/physiology.h"
#include "beats/qrs_signals.h"
#include "beats/value_statistics.h"

namespace rrscope::beats {
namespace {

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

// How far a found complex is matched against the beat before it, to place
// it on the point the detector chose for that beat: a narrow QRS complex's
// width on either side (kNarrowQrsHalfSeconds), and the shifts tried.
constexpr double kMatchShiftSeconds = 0.05;
// Below this correlation the complex has another shape, and keeps the point
// where it is steepest.
constexpr double kMatchCorrelation = 0.7;

// Pearson's correlation of x[i - half, i + half] with y[j - half, j + half];
// the caller keeps both inside the signals.
double correlationAt(std::span<const double> x, std::int64_t i, std::span<const double> y,
                     std::int64_t j, std::int64_t half) {
  double sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
  const double n = static_cast<double>(2 * half + 1);
  for (std::int64_t k = -half; k <= half; ++k) {
    const double a = x[static_cast<std::size_t>(i + k)], b = y[static_cast<std::size_t>(j + k)];
    sx += a, sy += b, sxx += a * a, syy += b * b, sxy += a * b;
  }
  const double vx = sxx - sx * sx / n, vy = syy - sy * sy / n;
  return vx > 0 && vy > 0 ? (sxy - sx * sy / n) / std::sqrt(vx * vy) : 0.0;
}

// The point of the complex steepest at `steepest` that matches the beat at
// `beat` (its fiducial point) best: where the detector would have placed it
// had it found it. The steepest point itself for a complex of another shape.
std::int64_t matchedPoint(std::span<const double> signal, std::int64_t beat, std::int64_t steepest,
                          std::int64_t beatSteepest, double rate) {
  const auto half = std::max<std::int64_t>(2, std::llround(kNarrowQrsHalfSeconds * rate));
  const auto reach = std::max<std::int64_t>(1, std::llround(kMatchShiftSeconds * rate));
  const auto n = static_cast<std::int64_t>(signal.size());
  const std::int64_t guess = steepest + (beat - beatSteepest);
  if (beat - half < 0 || beat + half >= n) return steepest;
  double best = kMatchCorrelation;
  std::int64_t point = steepest;
  for (std::int64_t at = guess - reach; at <= guess + reach; ++at) {
    if (at - half < 0 || at + half >= n) continue;
    const double r = correlationAt(signal, beat, signal, at, half);
    if (r > best) best = r, point = at;
  }
  return point;
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
  const auto beatSteepest =
      std::max_element(slope.begin() + std::max<std::int64_t>(0, a - beatHalf),
                       slope.begin() + std::min<std::int64_t>(std::ssize(slope), a + beatHalf + 1));
  const std::int64_t point =
      matchedPoint(stretch, a, steepest - slope.begin(), beatSteepest - slope.begin(), rate_);
  return static_cast<double>(first + point);
}

}  // namespace rrscope::beats
