#pragma once

#include <span>
#include <vector>

#include "beats/sample_source.h"

namespace rrscope::beats {

// Moves each approximate beat (a full-rate sample index) to its R peak: the
// extremum of the band-passed lead within 50 ms, found in the full-rate
// samples. The sign of the extremum is the one most beats of the recording
// show, unless a beat's other extremum is more than twice as large (an
// inverted ectopic complex). Returns full-rate sample indices.
std::vector<double> refineToRPeaks(const SampleSource& samples, double rate,
                                   std::span<const double> approximate);

}  // namespace rrscope::beats
