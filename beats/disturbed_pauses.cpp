#include "beats/disturbed_pauses.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "beats/physiology.h"
#include "statistics/order_statistics.h"

namespace rrscope::beats {
namespace {

// The range between two beats leaves out a narrow QRS complex around each
// (kNarrowQrsHalfSeconds), and the T wave after the first.
constexpr double kAfterBeatSeconds = 0.35;
// The intervals on each side whose median is the rhythm a long interval is
// measured against.
constexpr std::size_t kRhythmIntervals = 8;

// Largest minus smallest sample from `first` up to `end`, clamped to the
// lead; 0 for an empty stretch.
double rangeOf(const SampleSource& samples, std::int64_t first, std::int64_t end,
               std::vector<double>& buffer) {
  first = std::max<std::int64_t>(first, 0);
  end = std::min(end, samples.size());
  if (end <= first) return 0;
  buffer.resize(static_cast<std::size_t>(end - first));
  samples.read(first, buffer);
  const auto [low, high] = std::ranges::minmax_element(buffer);
  return *high - *low;
}

double typicalComplexRange(const SampleSource& samples, double rate, std::span<const double> beats,
                           std::vector<double>& buffer) {
  const auto half = static_cast<std::int64_t>(std::ceil(kNarrowQrsHalfSeconds * rate));
  std::vector<double> ranges;
  ranges.reserve(beats.size());
  for (const double beat : beats) {
    const auto at = static_cast<std::int64_t>(std::llround(beat));
    ranges.push_back(rangeOf(samples, at - half, at + half + 1, buffer));
  }
  return statistics::upperMedian(std::move(ranges));
}

// Whether the interval ending at beat `b` is long against the intervals
// around it.
bool isLong(std::span<const double> beats, std::size_t b, std::vector<double>& around) {
  around.clear();
  const std::size_t from = b > kRhythmIntervals ? b - kRhythmIntervals : 1;
  const std::size_t to = std::min(beats.size(), b + kRhythmIntervals + 1);
  for (std::size_t k = from; k < to; ++k) {
    if (k != b) around.push_back(beats[k] - beats[k - 1]);
  }
  return !around.empty() &&
         beats[b] - beats[b - 1] >= kLongInterval * statistics::upperMedian(around);
}

}  // namespace

std::vector<SampleStretch> disturbedPauses(const SampleSource& samples, double rate,
                                           std::span<const double> beats) {
  std::vector<SampleStretch> disturbed;
  if (beats.size() < 3 || !(rate > 0)) return disturbed;
  std::vector<double> buffer, around;
  const double complexRange = typicalComplexRange(samples, rate, beats, buffer);
  if (!(complexRange > 0)) return disturbed;
  const auto after = static_cast<std::int64_t>(std::ceil(kAfterBeatSeconds * rate));
  const auto before = static_cast<std::int64_t>(std::ceil(kNarrowQrsHalfSeconds * rate));
  for (std::size_t b = 1; b < beats.size(); ++b) {
    if (!isLong(beats, b, around)) continue;
    const double swing = rangeOf(samples, std::llround(beats[b - 1]) + after,
                                 std::llround(beats[b]) - before, buffer);
    if (swing >= kSwingLikeComplexes * complexRange) {
      disturbed.push_back({beats[b - 1], beats[b]});
    }
  }
  return disturbed;
}

}  // namespace rrscope::beats
