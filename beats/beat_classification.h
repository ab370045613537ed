#pragma once

#include <span>
#include <vector>

#include "beats/beat_class.h"
#include "beats/sample_source.h"

namespace rrscope::beats {

// Classifies every beat of a lead as N, S, V, F or Q, learning the
// recording's own QRS shapes: a beat is judged by its shape against the
// recording's normal beats (width, area, polarity, correlation) and by its
// timing against the normal rhythm around it (prematurity, the pause after).
// `beats` are full-rate sample positions of `samples`, increasing, at
// `rate` samples per second. Returns one class per beat.
std::vector<BeatClass> classifyBeats(const SampleSource& samples, double rate,
                                     std::span<const double> beats);

}  // namespace rrscope::beats
