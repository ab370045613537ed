#include "beats/peak_refinement.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>

#include "beats/qrs_signals.h"

namespace rrscope::beats {
namespace {

// The R peak lies within half the width of a wide QRS complex of the hump the
// decisions found, whatever the reduced rate did to its timing.
constexpr double kSearchSeconds = 0.050;
// The search is low-passed with this much lead on either side: the 30 Hz
// low-pass settles within some 8 ms (its time constant), so its start-up has
// long died away where the search begins.
constexpr double kFilterLeadSeconds = 0.050;
// How sharp a turning point is: how far the lead falls back from it within
// this time on its flatter side. The R peak of a QRS complex, even a wide
// one, falls back steeply on both sides; a tall P or T wave beside it, the
// broad trough after a wide complex, or the shoulder where a complex begins,
// does not.
constexpr double kSharpnessSeconds = 0.025;
// The baseline a deflection is measured from: the median of the lead over
// this much on either side of the beat. The QRS complex fills less than half
// of that stretch, so the median lies on the level between the waves.
constexpr double kBaselineSeconds = 0.150;

// The low-passed maximum and minimum of one beat, each with its
// prominence: its distance from the baseline times its sharpness.
// Not the band-passed lead: its 5 Hz edge gives a wide negative complex
// positive side lobes as large as itself and moves its extremum by tens of
// milliseconds.
struct Extrema {
  double highest = 0;
  double lowest = 0;
  double upProminence = 0;
  double downProminence = 0;
};

double sharpness(std::span<const double> y, std::size_t i, std::size_t width) {
  const double before = y[i >= width ? i - width : 0];
  const double after = y[std::min(y.size() - 1, i + width)];
  return std::min(std::abs(y[i] - before), std::abs(y[i] - after));
}

// The vertex of the parabola through the extremum at i and its neighbours.
double vertexNear(std::span<const double> y, std::size_t i) {
  if (i == 0 || i + 1 >= y.size()) return static_cast<double>(i);
  const double curvature = y[i - 1] - 2 * y[i] + y[i + 1];
  if (curvature == 0) return static_cast<double>(i);
  const double shift = 0.5 * (y[i - 1] - y[i + 1]) / curvature;
  return static_cast<double>(i) + std::clamp(shift, -0.5, 0.5);
}

// An extremum on the edge of the search is where a wide complex whose hump
// lay off-centre leaves the window: the search follows the slope on, by at
// most `reach` samples, to the true turning point.
template <class Beyond>
std::size_t climb(std::span<const double> y, std::size_t i, std::size_t reach, Beyond beyond) {
  const std::size_t start = i;
  while (i + 1 < y.size() && i + 1 <= start + reach && beyond(y[i + 1], y[i])) ++i;
  while (i > 0 && i - 1 + reach >= start && beyond(y[i - 1], y[i])) --i;
  return i;
}

class BeatSearch {
 public:
  BeatSearch(const SampleSource& samples, double rate)
      : samples_(samples),
        rate_(rate),
        search_(std::max<std::int64_t>(1, std::llround(kSearchSeconds * rate))),
        lead_(std::llround(kFilterLeadSeconds * rate)),
        width_(std::max<std::int64_t>(1, std::llround(kSharpnessSeconds * rate))),
        baselineHalf_(std::llround(kBaselineSeconds * rate)) {}

  Extrema extremaNear(double approximate) {
    const std::int64_t n = samples_.size();
    const std::int64_t centre = std::clamp<std::int64_t>(std::llround(approximate), 0, n - 1);
    const std::int64_t margin = 2 * search_ + lead_;
    const std::int64_t first = std::max<std::int64_t>(0, centre - margin);
    const std::int64_t end = std::min(n, centre + margin + 1);
    stretch_.resize(static_cast<std::size_t>(end - first));
    samples_.read(first, stretch_);
    const std::int64_t from = std::max<std::int64_t>(0, centre - search_) - first;
    const std::int64_t to = std::min(n, centre + search_ + 1) - first;
    Extrema e;
    const std::int64_t filterFrom = std::max<std::int64_t>(0, from - search_ - lead_);
    const std::int64_t filterTo = std::min<std::int64_t>(end - first, to + search_ + lead_);
    const std::span filtered = std::span(stretch_).subspan(
        static_cast<std::size_t>(filterFrom), static_cast<std::size_t>(filterTo - filterFrom));
    lowPassQrs(filtered, rate_);
    const auto searched = filtered.subspan(static_cast<std::size_t>(from - filterFrom),
                                           static_cast<std::size_t>(to - from));
    const auto [low, high] = std::minmax_element(searched.begin(), searched.end());
    const auto at = [&](auto it) { return static_cast<std::size_t>(it - filtered.begin()); };
    const std::size_t extended = static_cast<std::size_t>(search_);
    const double offset = static_cast<double>(first + filterFrom);
    const std::size_t top = climb(filtered, at(high), extended, std::greater<>());
    const std::size_t bottom = climb(filtered, at(low), extended, std::less<>());
    const auto width = static_cast<std::size_t>(width_);
    e.highest = offset + vertexNear(filtered, top);
    e.lowest = offset + vertexNear(filtered, bottom);
    const double base = medianNear(filtered, static_cast<std::size_t>(centre - first - filterFrom));
    e.upProminence = (filtered[top] - base) * sharpness(filtered, top, width);
    e.downProminence = (base - filtered[bottom]) * sharpness(filtered, bottom, width);
    return e;
  }

 private:
  const SampleSource& samples_;
  double rate_;
  std::int64_t search_;
  std::int64_t lead_;
  std::int64_t width_;
  std::int64_t baselineHalf_;
  std::vector<double> stretch_;
  std::vector<double> sorted_;

  // The median of the low-passed lead around index `centre` of `y`.
  double medianNear(std::span<const double> y, std::size_t centre) {
    const auto half = static_cast<std::size_t>(baselineHalf_);
    const std::size_t begin = centre > half ? centre - half : 0;
    const std::size_t end = std::min(y.size(), centre + half + 1);
    sorted_.assign(y.begin() + static_cast<std::ptrdiff_t>(begin),
                   y.begin() + static_cast<std::ptrdiff_t>(end));
    const auto middle = sorted_.begin() + static_cast<std::ptrdiff_t>(sorted_.size() / 2);
    std::nth_element(sorted_.begin(), middle, sorted_.end());
    return *middle;
  }
};

}  // namespace

std::vector<double> refineToRPeaks(const SampleSource& samples, double rate,
                                   std::span<const double> approximate) {
  if (samples.size() == 0) return {};
  BeatSearch search(samples, rate);
  std::vector<double> peaks;
  peaks.reserve(approximate.size());
  for (const double position : approximate) {
    const Extrema e = search.extremaNear(position);
    const double peak = e.downProminence > e.upProminence ? e.lowest : e.highest;
    // Two humps that settle on one R peak count once.
    if (peaks.empty() || peak > peaks.back()) peaks.push_back(peak);
  }
  return peaks;
}

}  // namespace rrscope::beats
