#include "editing/beat_snap.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "beats/qrs_signals.h"
#include "beats/r_peak_detector.h"

namespace rrscope::editing {
namespace {

// The detector learns its thresholds and the beat shapes over some eight
// beats; this much on either side gives it those at any heart rate the
// window shows.
constexpr double kContextSeconds = 8.0;
// A click means the complex within half the interval of a fast heart (300
// ms at 200 beats per minute): on its QRS (at most about 120 ms wide), or on
// the baseline or the waves just beside it.
constexpr double kSnapSeconds = 0.15;

// The vertex of the parabola through three samples, as an offset from the
// middle one, -0.5 to 0.5.
double vertexOffset(double before, double at, double after) {
  const double curvature = before - 2 * at + after;
  if (curvature == 0) return 0;
  return std::clamp(0.5 * (before - after) / curvature, -0.5, 0.5);
}

// The largest magnitude of the QRS band within kSnapSeconds of `at` (an
// index of `stretch`), refined between samples: the R or S wave of the
// complex nearest the click, whose slopes are far steeper than those of
// the P and T waves around it.
double dominantDeflection(std::vector<double> stretch, double rate, std::int64_t at) {
  beats::bandPassQrs(stretch, rate);
  const auto reach = static_cast<std::int64_t>(std::llround(kSnapSeconds * rate));
  const auto n = static_cast<std::int64_t>(stretch.size());
  const std::int64_t from = std::max<std::int64_t>(1, at - reach);
  const std::int64_t to = std::min<std::int64_t>(n - 1, at + reach + 1);
  if (from >= to) return static_cast<double>(at);
  std::int64_t best = from;
  for (std::int64_t i = from; i < to; ++i) {
    if (std::abs(stretch[i]) > std::abs(stretch[best])) best = i;
  }
  const double sign = stretch[best] < 0 ? -1.0 : 1.0;
  return static_cast<double>(best) +
         vertexOffset(sign * stretch[best - 1], sign * stretch[best], sign * stretch[best + 1]);
}

}  // namespace

double snapToQrs(const beats::SampleSource& samples, double rate, double position) {
  const std::int64_t n = samples.size();
  const auto at = static_cast<std::int64_t>(std::llround(position));
  if (at < 0 || at >= n) return position;
  const auto context = static_cast<std::int64_t>(std::llround(kContextSeconds * rate));
  const std::int64_t first = std::max<std::int64_t>(0, at - context);
  const std::int64_t last = std::min(n, at + context + 1);
  const beats::SampleWindow window(samples, first, last - first);
  const std::vector<double> found = beats::detectBeats(window, rate).beats;
  const double local = position - static_cast<double>(first);
  const auto nearest = std::ranges::min_element(
      found, [local](double a, double b) { return std::abs(a - local) < std::abs(b - local); });
  if (nearest != found.end() && std::abs(*nearest - local) <= kSnapSeconds * rate) {
    return *nearest + static_cast<double>(first);
  }
  std::vector<double> stretch(static_cast<std::size_t>(last - first));
  window.read(0, stretch);
  return dominantDeflection(std::move(stretch), rate, at - first) + static_cast<double>(first);
}

}  // namespace rrscope::editing
