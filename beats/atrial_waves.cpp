#include "beats/atrial_waves.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "beats/physiology.h"
#include "beats/shape_alignment.h"
#include "beats/value_statistics.h"
#include "statistics/order_statistics.h"

namespace rrscope::beats {
namespace {

// A beat's slope is the steepest of its complex, within
// kNarrowQrsHalfSeconds of its fiducial point: a P wave lies 120 ms and more
// before the complex it leads, so its own reach holds none of that complex.
// The P wave's peak lies 100 to 350 ms before the R wave: a PR interval of
// 120 to 200 ms, up to 300 ms in first-degree block, which often comes with
// the second. Its outline is matched as the complexes' shapes are.
constexpr double kPWaveNearest = 0.100;
constexpr double kPWaveFarthest = 0.350;

double steepestNear(std::span<const double> slope, double position, std::int64_t half) {
  const auto at = static_cast<std::int64_t>(std::llround(position));
  return largestMagnitudeIn(slope, at - half, at + half + 1);
}

// The wave that leads the main shape's complexes: the mean of the lead
// before them, around its largest departure from its median between the
// nearest and farthest place of a P wave. Only the beats for which `steep`
// holds count: a blocked P wave may have joined the main shape, a single
// hump like a narrow complex, and what precedes it is no P wave. Empty
// without such beats.
std::vector<double> leadingWave(std::span<const ShapedBeat> beats, std::size_t main,
                                const ShapeSignals& s, const auto& steep) {
  const auto outline = static_cast<std::int64_t>(std::llround(kShapeHalfSeconds * s.rate));
  const auto nearest = static_cast<std::int64_t>(std::llround(kPWaveNearest * s.rate));
  const auto farthest = static_cast<std::int64_t>(std::llround(kPWaveFarthest * s.rate));
  std::vector<double> mean(static_cast<std::size_t>(farthest + outline + 1), 0.0);
  std::size_t count = 0;
  for (std::size_t i = 0; i < beats.size(); ++i) {
    if (beats[i].shape != main || !steep(i)) continue;
    const auto lead =
        stretchInside(s.lowPassed, std::llround(beats[i].position), farthest + outline, 0);
    if (!lead) continue;
    for (std::size_t k = 0; k < mean.size(); ++k) mean[k] += (*lead)[k];
    ++count;
  }
  if (count == 0) return {};
  for (double& v : mean) v /= static_cast<double>(count);
  const double base = statistics::upperMedian(mean);
  // mean[k] lies farthest + outline - k samples before the complex.
  std::size_t peak = static_cast<std::size_t>(outline);
  for (auto k = static_cast<std::size_t>(outline);
       k <= static_cast<std::size_t>(farthest + outline - nearest); ++k) {
    if (std::abs(mean[k] - base) > std::abs(mean[peak] - base)) peak = k;
  }
  return {mean.begin() + static_cast<std::ptrdiff_t>(peak) - outline,
          mean.begin() + static_cast<std::ptrdiff_t>(peak) + outline + 1};
}

}  // namespace

std::vector<ShapedBeat> withoutPWaves(std::span<const ShapedBeat> beats,
                                      const ShapeSignals& signals, std::span<const double> slope,
                                      const DetectorTuning& tuning) {
  if (beats.size() < 3) return {beats.begin(), beats.end()};
  const double rate = signals.rate;
  const auto half = static_cast<std::int64_t>(std::llround(kNarrowQrsHalfSeconds * rate));
  const auto outline = static_cast<std::int64_t>(std::llround(kShapeHalfSeconds * rate));
  const auto lag = static_cast<std::int64_t>(std::max(1.0, std::round(kShapeLagSeconds * rate)));
  std::vector<double> slopes;
  slopes.reserve(beats.size());
  for (const ShapedBeat& b : beats) slopes.push_back(steepestNear(slope, b.position, half));
  const std::size_t main = std::ranges::max_element(beats, {}, &ShapedBeat::shapeSize)->shape;
  // The steeper of the beats on either side (the first and the last beat
  // have one): a blocked P wave may follow or lead another P wave taken for
  // a beat, a complex is on its other side.
  const auto steepAround = [&](std::size_t i) {
    if (i == 0) return slopes[1];
    if (i + 1 == slopes.size()) return slopes[i - 1];
    return std::max(slopes[i - 1], slopes[i + 1]);
  };
  const auto slow = [&](std::size_t i) { return slopes[i] < tuning.pWaveSlope * steepAround(i); };
  const std::vector<double> pWave =
      leadingWave(beats, main, signals, [&](std::size_t i) { return !slow(i); });
  const auto isPWave = [&](std::size_t i) {
    if (pWave.empty() || !slow(i)) return false;
    const auto segment = stretchInside(signals.lowPassed, std::llround(beats[i].position),
                                       outline + lag, outline + lag);
    if (!segment) return false;
    const Alignment a = alignShape(pWave, *segment, static_cast<int>(lag));
    return a.correlation >= tuning.pWaveMatch && a.gain >= 1 / tuning.pWaveGain &&
           a.gain <= tuning.pWaveGain;
  };
  std::vector<ShapedBeat> kept;
  kept.reserve(beats.size());
  for (std::size_t i = 0; i < beats.size(); ++i) {
    if (!isPWave(i)) kept.push_back(beats[i]);
  }
  return kept;
}

}  // namespace rrscope::beats
