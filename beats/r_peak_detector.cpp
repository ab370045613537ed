#include "beats/r_peak_detector.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "beats/alternating_complexes.h"
#include "beats/atrial_waves.h"
#include "beats/beat_shapes.h"
#include "beats/qrs_decision.h"
#include "beats/qrs_signals.h"
#include "beats/reused_buffers.h"
#include "beats/signal_quality.h"

namespace rrscope::beats {
namespace {

// The humps that look like QRS complexes: those that cleared the normal
// thresholds, and the others whose slope is a complex's. The typical
// beat's slope is the median over the humps that cleared the normal
// thresholds; a hump of the search back below DetectorTuning::
// qrsSlopeFraction of it is no beat. Returns the beats and the possible
// beats that remain.
struct QrsLikeHumps {
  std::vector<std::int64_t> beats;
  std::vector<std::int64_t> possible;
};
QrsLikeHumps qrsLike(const QrsDecisions& decisions, double qrsSlopeFraction) {
  std::vector<double> slopes;
  for (const QrsHump& hump : decisions.beats) {
    if (!hump.searchedBack) slopes.push_back(hump.slope);
  }
  double least = 0;
  if (!slopes.empty()) {
    const auto middle = slopes.begin() + static_cast<std::ptrdiff_t>(slopes.size() / 2);
    std::nth_element(slopes.begin(), middle, slopes.end());
    least = qrsSlopeFraction * *middle;
  }
  QrsLikeHumps like;
  like.beats.reserve(decisions.beats.size());
  for (const QrsHump& hump : decisions.beats) {
    if (!hump.searchedBack || hump.slope >= least) like.beats.push_back(hump.index);
  }
  for (const QrsHump& hump : decisions.passedOver) {
    if (hump.slope >= least) like.possible.push_back(hump.index);
  }
  return like;
}

}  // namespace

void checkDetectionRate(double rate) {
  if (rate > kMaximumRate) {
    throw std::invalid_argument("the sampling rate " + std::to_string(rate) +
                                " per second is outside 60 to 100000, the rates QRS detection "
                                "works at");
  }
  if (!std::isfinite(rate) || rate < kMinimumRate) {
    throw std::invalid_argument("the sampling rate " + std::to_string(rate) +
                                " per second is too low for QRS detection; it must be at least " +
                                std::to_string(static_cast<int>(kMinimumRate)));
  }
}

DetectedBeats detectBeats(const SampleSource& samples, double rate, const DetectorTuning& tuning) {
  checkDetectionRate(rate);
  ReducedSignal reduced = reduceRate(samples, rate);
  const double factor = static_cast<double>(reduced.factor);
  const double offset = reduced.offset;
  // The decisions see the lead without pacing spikes too: a spike is no
  // part of the QRS complex it starts, and the filters are shared.
  ShapeAndQrsSignals both = computeShapeAndQrsSignals(reduced.samples, reduced.rate);
  // The filtered forms hold all that follows needs.
  keepBuffer(std::move(reduced.samples));
  const std::vector<double>& lowPassed = both.lowPassed;
  const QrsSignals& signals = both.qrs;
  QrsDecisions decisions = decideQrs(signals, tuning);
  addAlternatingComplexes(decisions, lowPassed, signals.rate, tuning);
  const QrsLikeHumps humps = qrsLike(decisions, tuning.qrsSlopeFraction);
  const ShapeSignals shapeSignals{signals.bandPassed, lowPassed, signals.rate};
  const std::vector<ShapedBeat> shaped =
      withoutPWaves(placeBeatsByShape(shapeSignals, humps.beats, humps.possible, tuning),
                    shapeSignals, signals.slope, tuning);
  const auto toFullRate = [&](double position) {
    return std::clamp(position * factor + offset, 0.0, static_cast<double>(samples.size() - 1));
  };
  DetectedBeats detected;
  detected.beats.reserve(shaped.size());
  for (const ShapedBeat& beat : shaped) {
    const double position = toFullRate(beat.position);
    // Two humps that settle on one fiducial point count once.
    if (detected.beats.empty() || position > detected.beats.back()) {
      detected.beats.push_back(position);
    }
  }
  for (const SampleStretch& stretch :
       unreadableStretches(signals.bandPassed, shaped, signals.rate, tuning)) {
    detected.unreadable.push_back({toFullRate(stretch.begin), toFullRate(stretch.end)});
  }
  for (std::vector<double>* buffer :
       {&both.lowPassed, &both.qrs.bandPassed, &both.qrs.slope, &both.qrs.integrated}) {
    keepBuffer(std::move(*buffer));
  }
  return detected;
}

std::vector<double> detectRPeaks(const SampleSource& samples, double rate) {
  return detectBeats(samples, rate).beats;
}

std::vector<double> detectRPeaks(std::span<const double> samples, double rate) {
  return detectRPeaks(SpanSamples(samples), rate);
}

}  // namespace rrscope::beats
