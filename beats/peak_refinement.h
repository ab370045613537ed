#pragma once

#include <span>
#include <vector>

#include "beats/sample_source.h"

namespace rrscope::beats {

// Moves each approximate beat (a full-rate sample index) to its R peak: the
// extremum within 50 ms of the lead low-passed at the QRS band's upper edge,
// found in the full-rate samples and placed between samples by a parabola
// through its neighbours. The sign of the extremum is the one most beats of
// the recording show, unless a beat deflects more than twice as far the
// other way (an inverted ectopic complex). Returns full-rate sample
// positions, increasing.
std::vector<double> refineToRPeaks(const SampleSource& samples, double rate,
                                   std::span<const double> approximate);

}  // namespace rrscope::beats
