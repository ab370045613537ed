#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace rrscope::beats {

// How strongly the NN series is corrected: not at all, by the automatic
// correction of the beats alone, or by it and then a threshold on each
// interval's deviation from the intervals around it, from very low (0.45
// s) to very strong (0.05 s).
enum class CorrectionLevel { off, automatic, veryLow, low, medium, strong, veryStrong };

inline constexpr CorrectionLevel kCorrectionLevels[] = {
    CorrectionLevel::off,       CorrectionLevel::automatic, CorrectionLevel::veryLow,
    CorrectionLevel::low,       CorrectionLevel::medium,    CorrectionLevel::strong,
    CorrectionLevel::veryStrong};

// The level as one word, as the batch tool's --correct=LEVEL and saved
// files write it: off, auto, very-low, low, medium, strong, very-strong;
// and back, none for another word.
std::string_view correctionLevelWord(CorrectionLevel level);
std::optional<CorrectionLevel> correctionLevelNamed(std::string_view word);

// The threshold of a level at 60 beats a minute, in seconds; none for off
// and automatic.
std::optional<double> thresholdSeconds(CorrectionLevel level);

// What the threshold did to a series.
struct ThresholdCorrection {
  std::vector<double> intervalsMs;
  std::size_t replaced = 0;  // intervals put back to their local median
  std::size_t pauses = 0;    // long intervals left as they are
};

// Corrects `intervalsMs` by a threshold: the level's, scaled by the
// series's mean heart rate (times the mean interval over 1 s), so that a
// deviation counts as much at 120 beats a minute as twice it does at 60.
// An interval farther than that from the median of the up to 5 intervals
// each side of it is replaced by that median, unless it is longer than
// kPauseRatio times that median: a pause of the heart, which no
// correction fills.
ThresholdCorrection correctByThreshold(std::span<const double> intervalsMs,
                                       double thresholdSeconds);

inline constexpr double kPauseRatio = 1.5;

}  // namespace rrscope::beats
