#include "beats/correction_level.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <utility>

namespace rrscope::beats {
namespace {

struct LevelWord {
  CorrectionLevel level;
  std::string_view word;
  std::optional<double> seconds;
};

constexpr std::array<LevelWord, 7> kLevelWords{{
    {CorrectionLevel::off, "off", std::nullopt},
    {CorrectionLevel::automatic, "auto", std::nullopt},
    {CorrectionLevel::veryLow, "very-low", 0.45},
    {CorrectionLevel::low, "low", 0.35},
    {CorrectionLevel::medium, "medium", 0.25},
    {CorrectionLevel::strong, "strong", 0.15},
    {CorrectionLevel::veryStrong, "very-strong", 0.05},
}};

const LevelWord& entryOf(CorrectionLevel level) {
  return *std::ranges::find(kLevelWords, level, &LevelWord::level);
}

// The intervals compared with each: up to this many each side.
constexpr std::size_t kNeighbours = 5;

// The median of the neighbours of interval `i`, itself left out.
double localMedian(std::span<const double> intervals, std::size_t i) {
  std::array<double, 2 * kNeighbours> around{};
  std::size_t count = 0;
  const std::size_t first = i >= kNeighbours ? i - kNeighbours : 0;
  const std::size_t end = std::min(intervals.size(), i + kNeighbours + 1);
  for (std::size_t j = first; j < end; ++j) {
    if (j != i) around[count++] = intervals[j];
  }
  const auto middle = around.begin() + static_cast<std::ptrdiff_t>(count / 2);
  std::nth_element(around.begin(), middle, around.begin() + static_cast<std::ptrdiff_t>(count));
  if (count % 2 != 0) return *middle;
  const double below = *std::max_element(around.begin(), middle);
  return (below + *middle) / 2;
}

}  // namespace

std::string_view correctionLevelWord(CorrectionLevel level) {
  return entryOf(level).word;
}

std::optional<CorrectionLevel> correctionLevelNamed(std::string_view word) {
  const auto found = std::ranges::find(kLevelWords, word, &LevelWord::word);
  if (found == kLevelWords.end()) return std::nullopt;
  return found->level;
}

std::optional<double> thresholdSeconds(CorrectionLevel level) {
  return entryOf(level).seconds;
}

ThresholdCorrection correctByThreshold(std::span<const double> intervalsMs,
                                       double thresholdSeconds) {
  ThresholdCorrection result{{intervalsMs.begin(), intervalsMs.end()}, 0, 0};
  if (intervalsMs.size() < 2) return result;
  const double meanMs = std::accumulate(intervalsMs.begin(), intervalsMs.end(), 0.0) /
                        static_cast<double>(intervalsMs.size());
  const double thresholdMs = thresholdSeconds * meanMs;  // seconds × 1000 × mean / 1000 ms
  for (std::size_t i = 0; i < intervalsMs.size(); ++i) {
    const double median = localMedian(intervalsMs, i);
    if (std::abs(intervalsMs[i] - median) <= thresholdMs) continue;
    if (intervalsMs[i] > kPauseRatio * median) {
      ++result.pauses;
    } else {
      result.intervalsMs[i] = median;
      ++result.replaced;
    }
  }
  return result;
}

}  // namespace rrscope::beats
