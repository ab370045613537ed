#include "beats/beat_timing.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "statistics/order_statistics.h"

namespace rrscope::beats {
namespace {

// The interval before each beat (NaN for the first).
std::vector<double> intervalsBefore(std::span<const double> beats) {
  std::vector<double> before(beats.size(), NAN);
  for (std::size_t b = 1; b < beats.size(); ++b) before[b] = beats[b] - beats[b - 1];
  return before;
}

// For each beat, the median of up to kRhythmNeighbours intervals on each
// side, other than its own, that `counts` (indexed by the beat ending the
// interval).
std::vector<double> rhythmAround(std::span<const double> before, const std::vector<bool>& counts) {
  std::vector<std::size_t> kept;
  for (std::size_t b = 1; b < before.size(); ++b) {
    if (counts[b]) kept.push_back(b);
  }
  std::vector<double> rhythm(before.size(), NAN);
  std::vector<double> around;
  const auto reach = static_cast<std::ptrdiff_t>(kRhythmNeighbours);
  for (std::size_t b = 1; b < before.size(); ++b) {
    const std::ptrdiff_t at = std::ranges::lower_bound(kept, b) - kept.begin();
    const std::ptrdiff_t from = std::max<std::ptrdiff_t>(0, at - reach);
    const std::ptrdiff_t to = std::min<std::ptrdiff_t>(std::ssize(kept), at + reach + 1);
    around.clear();
    for (std::ptrdiff_t k = from; k < to; ++k) {
      const std::size_t end = kept[static_cast<std::size_t>(k)];
      if (end != b) around.push_back(before[end]);
    }
    rhythm[b] = statistics::upperMedian(around);
  }
  return rhythm;
}

// For each beat, how irregular the counted intervals around it are: the
// least, over lags 1 to kPatternLags, of the median difference between
// counted intervals that many apart among those counted, as a share of the
// rhythm.
// Only the beats in `wanted` are measured: the others are 0.
std::vector<double> irregularity(std::span<const double> before, const std::vector<bool>& counts,
                                 std::span<const double> rhythm, const std::vector<bool>& wanted) {
  std::vector<double> result(before.size(), 0.0);
  std::vector<double> counted, differences;
  const std::size_t reach = 2 * kRhythmNeighbours;
  for (std::size_t b = 1; b < before.size(); ++b) {
    if (!wanted[b] || !(rhythm[b] > 0)) continue;
    counted.clear();
    const std::size_t from = b > reach ? b - reach : 1;
    for (std::size_t k = from; k < std::min(before.size(), b + reach); ++k) {
      if (counts[k]) counted.push_back(before[k]);
    }
    double least = INFINITY;
    for (std::size_t lag = 1; lag <= kPatternLags && lag < counted.size(); ++lag) {
      differences.clear();
      for (std::size_t k = lag; k < counted.size(); ++k) {
        differences.push_back(std::abs(counted[k] - counted[k - lag]));
      }
      least = std::min(least, statistics::upperMedian(differences) / rhythm[b]);
    }
    result[b] = std::isfinite(least) ? least : 0.0;
  }
  return result;
}

std::vector<bool> earlyBeats(std::span<const double> before, std::span<const double> rhythm) {
  std::vector<bool> early(before.size(), false);
  for (std::size_t b = 2; b < before.size(); ++b) {
    if (!(rhythm[b] > 0)) continue;
    const bool soon = before[b] < kEarlyShare * rhythm[b];
    const bool sudden = early[b - 1] || before[b] < kSuddenStep * before[b - 1];
    early[b] = soon && sudden;
  }
  return early;
}

}  // namespace

BeatTiming beatTiming(std::span<const double> beats, const std::vector<bool>* conducted) {
  const std::vector<double> before = intervalsBefore(beats);
  std::vector<bool> counts(beats.size(), true);
  if (!counts.empty()) counts[0] = false;
  if (conducted != nullptr) {
    for (std::size_t b = 1; b < beats.size(); ++b)
      counts[b] = (*conducted)[b] && (*conducted)[b - 1];
  }
  const std::vector<bool> first = earlyBeats(before, rhythmAround(before, counts));
  // Again without the intervals of the early beats and of the beats after
  // them: frequent premature beats would pull the rhythm short and make a
  // steady rhythm look irregular.
  for (std::size_t b = 1; b < beats.size(); ++b)
    counts[b] = counts[b] && !first[b] && !first[b - 1];
  BeatTiming timing;
  timing.rhythm = rhythmAround(before, counts);
  timing.early = earlyBeats(before, timing.rhythm);
  const std::vector<double> irregular = irregularity(before, counts, timing.rhythm, timing.early);
  timing.premature = timing.early;
  for (std::size_t b = 0; b < beats.size(); ++b) {
    if (irregular[b] >= kIrregular) timing.premature[b] = false;
  }
  return timing;
}

}  // namespace rrscope::beats
