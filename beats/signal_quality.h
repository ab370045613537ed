#pragma once

#include <span>
#include <vector>

#include "beats/beat_shapes.h"
#include "beats/detected_beats.h"
#include "beats/detector_tuning.h"

namespace rrscope::beats {

// The stretches of a lead whose beats cannot be trusted, judged between
// each two successive beats: a deflection in the QRS band between them as
// large as half a typical complex and twice what usually lies between the
// beats (noise that could make a false beat or hide a true one), or a beat
// on either side that is not trusted: one whose shape is rare or made by
// noise, that matches its shape poorly, or that crowds an interval the main
// rhythm keeps. Positions in the samples of `bandPassed`, from one beat to
// the next, merged where they meet; `beats` in increasing order.
std::vector<SampleStretch> unreadableStretches(std::span<const double> bandPassed,
                                               std::span<const ShapedBeat> beats, double rate,
                                               const DetectorTuning& tuning = {});

}  // namespace rrscope::beats
