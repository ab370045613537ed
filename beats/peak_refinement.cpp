#include "beats/peak_refinement.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "beats/qrs_signals.h"

namespace rrscope::beats {
namespace {

// The R peak lies within half the width of a wide QRS complex of the hump the
// decisions found, whatever delay the reduced rate brought.
constexpr double kSearchSeconds = 0.050;
// The stretch is band-passed with this much lead on either side, so that the
// start-up of the 5 Hz high-pass (time constant about 45 ms) has died away
// to about 1 % where the search begins.
constexpr double kSettleSeconds = 0.200;
// A beat whose extremum of the other sign is more than this many times larger
// is an inverted complex, and its R peak is that extremum.
constexpr double kInvertedRatio = 2.0;

struct Extrema {
  std::int64_t highest = 0;
  double high = 0;
  std::int64_t lowest = 0;
  double low = 0;
};

class BeatSearch {
 public:
  BeatSearch(const SampleSource& samples, double rate)
      : samples_(samples),
        rate_(rate),
        search_(std::max<std::int64_t>(1, std::llround(kSearchSeconds * rate))),
        settle_(std::llround(kSettleSeconds * rate)) {}

  Extrema extremaNear(double approximate) {
    const std::int64_t n = samples_.size();
    const std::int64_t centre = std::clamp<std::int64_t>(std::llround(approximate), 0, n - 1);
    const std::int64_t first = std::max<std::int64_t>(0, centre - search_ - settle_);
    const std::int64_t end = std::min(n, centre + search_ + settle_ + 1);
    stretch_.resize(static_cast<std::size_t>(end - first));
    samples_.read(first, stretch_);
    bandPassQrs(stretch_, rate_);
    const std::int64_t from = std::max<std::int64_t>(0, centre - search_) - first;
    const std::int64_t to = std::min(n, centre + search_ + 1) - first;
    Extrema e{from + first, stretch_[from], from + first, stretch_[from]};
    for (std::int64_t i = from; i < to; ++i) {
      const double v = stretch_[i];
      if (v > e.high) e = {i + first, v, e.lowest, e.low};
      if (v < e.low) e = {e.highest, e.high, i + first, v};
    }
    return e;
  }

 private:
  const SampleSource& samples_;
  double rate_;
  std::int64_t search_;
  std::int64_t settle_;
  std::vector<double> stretch_;
};

}  // namespace

std::vector<double> refineToRPeaks(const SampleSource& samples, double rate,
                                   std::span<const double> approximate) {
  if (samples.size() == 0) return {};
  BeatSearch search(samples, rate);
  std::vector<Extrema> extrema;
  extrema.reserve(approximate.size());
  std::size_t upright = 0;
  for (const double position : approximate) {
    extrema.push_back(search.extremaNear(position));
    if (extrema.back().high >= -extrema.back().low) ++upright;
  }
  const bool mostlyUpright = 2 * upright >= extrema.size();
  std::vector<double> peaks;
  peaks.reserve(extrema.size());
  for (const Extrema& e : extrema) {
    const bool inverted =
        mostlyUpright ? -e.low > kInvertedRatio * e.high : !(e.high > kInvertedRatio * -e.low);
    const std::int64_t peak = inverted ? e.lowest : e.highest;
    if (peaks.empty() || static_cast<double>(peak) > peaks.back()) {
      peaks.push_back(static_cast<double>(peak));
    }
  }
  return peaks;
}

}  // namespace rrscope::beats
