#include "beats/signal_quality.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace rrscope::beats {
namespace {

// The QRS complex of a beat spans some 50 ms on either side of its fiducial
// point; what lies between two beats beyond that is P wave, T wave,
// baseline and noise.
constexpr double kQrsHalfSeconds = 0.060;
// In the QRS band the P and T waves reach a fifth of the complexes at most.
// A deflection half as large as the typical complex is a complex the
// detector did not take, or noise large enough to pass for one.
constexpr double kNoiseRatio = 0.5;
// The P and T waves of wide complexes (bundle branch block, paced rhythm)
// can reach that size in the QRS band all the time; noise stands out of
// what lies between a recording's beats as a rule, so a deflection must
// also be twice the median of those between its beats.
constexpr double kAboveUsual = 2.0;
// A shape held by this share of the beats is one of the recording's beat
// shapes, even an occasional ectopic one; a beat of a rarer shape, next to
// another such beat, is most likely noise taken for a beat, or a beat
// distorted beyond timing. Noise makes many small shapes of its own.
constexpr double kCommonShare = 0.05;
constexpr std::size_t kCommonShapeLeast = 3;

double largestMagnitude(std::span<const double> x, std::int64_t from, std::int64_t to) {
  const auto n = static_cast<std::int64_t>(x.size());
  from = std::clamp<std::int64_t>(from, 0, n);
  to = std::clamp<std::int64_t>(to, from, n);
  double largest = 0;
  for (std::int64_t i = from; i < to; ++i) largest = std::max(largest, std::abs(x[i]));
  return largest;
}

double median(std::vector<double> values) {
  const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end());
  return *middle;
}

}  // namespace

std::vector<SampleStretch> unreadableStretches(std::span<const double> bandPassed,
                                               std::span<const ShapedBeat> beats, double rate) {
  if (beats.size() < 2) return {};
  const auto half = static_cast<std::int64_t>(std::llround(kQrsHalfSeconds * rate));
  const auto at = [](const ShapedBeat& b) { return std::llround(b.position); };
  std::vector<double> amplitudes;
  amplitudes.reserve(beats.size());
  for (const ShapedBeat& b : beats) {
    amplitudes.push_back(largestMagnitude(bandPassed, at(b) - half, at(b) + half + 1));
  }
  const double typical = median(amplitudes);
  std::vector<double> between;
  between.reserve(beats.size() - 1);
  for (std::size_t i = 0; i + 1 < beats.size(); ++i) {
    between.push_back(largestMagnitude(bandPassed, at(beats[i]) + half, at(beats[i + 1]) - half));
  }
  const auto common =
      std::max(kCommonShapeLeast,
               static_cast<std::size_t>(kCommonShare * static_cast<double>(beats.size())));
  const double least = std::max(kNoiseRatio * typical, kAboveUsual * median(between));
  std::vector<SampleStretch> stretches;
  for (std::size_t i = 0; i + 1 < beats.size(); ++i) {
    const bool noisy = between[i] >= least;
    const bool unmatched = beats[i].shapeSize < common && beats[i + 1].shapeSize < common;
    if (!noisy && !unmatched) continue;
    const SampleStretch stretch{beats[i].position, beats[i + 1].position};
    if (!stretches.empty() && stretch.begin <= stretches.back().end) {
      stretches.back().end = stretch.end;
    } else {
      stretches.push_back(stretch);
    }
  }
  return stretches;
}

}  // namespace rrscope::beats
