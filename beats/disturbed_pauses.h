#pragma once

#include <span>
#include <vector>

#include "beats/detected_beats.h"
#include "beats/sample_source.h"

namespace rrscope::beats {

// The long intervals of a lead that are no pause of the heart: between two
// beats (full-rate positions of `samples`, increasing) lying far apart
// against the rhythm around them, the lead swings nearly as much as its QRS
// complexes do. A heart that pauses leaves a flat baseline with its P waves
// and T wave; a lead that swings so hides the beats it carries in noise, a
// saturated amplifier or a lost electrode. Each such interval is returned,
// from beat to beat, increasing.
std::vector<SampleStretch> disturbedPauses(const SampleSource& samples, double rate,
                                           std::span<const double> beats);

// An interval this many times the median of the intervals around is long
// enough to hide a beat: a beat of the rhythm leaves its neighbours some 1.5
// intervals apart.
inline constexpr double kLongInterval = 1.5;

// The lead swings like its complexes when its range between two beats
// (their complexes and the first one's T wave left out) reaches this share
// of the median range of a QRS complex. Over the long intervals of the
// development records, the flat ones of genuine pauses stay below it and
// every one above hid beats the experts marked.
inline constexpr double kSwingLikeComplexes = 0.8;

}  // namespace rrscope::beats
