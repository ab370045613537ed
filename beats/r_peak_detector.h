#pragma once

#include <span>
#include <vector>

#include "beats/detected_beats.h"
#include "beats/detector_tuning.h"
#include "beats/sample_source.h"

namespace rrscope::beats {

// The R peaks of one ECG lead by the Pan–Tompkins detector with the decision
// rules of Hamilton and Tompkins, at any sampling rate of at least
// kMinimumRate. Above 500 samples per second the decisions run on a reduced
// rate and each beat is then placed on its R peak in the full-rate samples,
// so the intervals keep the full resolution and no filter delays them.
// Returns 0-based sample indices, increasing. Throws std::invalid_argument
// for a rate below kMinimumRate, above kMaximumRate or not finite
// ("the sampling rate R per second is outside 60 to 100000, the rates QRS
// detection works at"). `tuning` other than the default serves only the
// measurement of how the thresholds matter.
DetectedBeats detectBeats(const SampleSource& samples, double rate,
                          const DetectorTuning& tuning = {});

// Only the beats of detectBeats.
std::vector<double> detectRPeaks(const SampleSource& samples, double rate);
std::vector<double> detectRPeaks(std::span<const double> samples, double rate);

// Throws the std::invalid_argument of detectBeats for a rate it refuses, so
// that a caller can refuse it before sizing anything by the rate.
void checkDetectionRate(double rate);

// Below this rate a QRS complex spans too few samples for the five-point
// derivative and the 30 Hz band edge would lie above half the rate.
inline constexpr double kMinimumRate = 60.0;

// Above this rate no ECG is recorded, and the filters' buffers, sized by
// the rate, would outgrow memory (a rate of 1e12 asks for 32 GB).
inline constexpr double kMaximumRate = 100000.0;

}  // namespace rrscope::beats
