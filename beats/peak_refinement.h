#pragma once

#include <span>
#include <vector>

#include "beats/sample_source.h"

namespace rrscope::beats {

// Moves each approximate beat (a full-rate sample index) to its R peak, the
// dominant deflection of its QRS complex: of the highest and the lowest point
// within 50 ms of the lead low-passed at the QRS band's upper edge, the one
// that stands out more, by its distance from the local baseline times how
// steeply the lead falls back from it. Each beat is judged alone, so upright,
// inverted, wide and paced complexes in any lead, and a shape that changes
// within a recording, are each placed on their own R peak. Found in the
// full-rate samples and placed between samples by a parabola through the
// extremum's neighbours. Returns full-rate sample positions, increasing.
std::vector<double> refineToRPeaks(const SampleSource& samples, double rate,
                                   std::span<const double> approximate);

}  // namespace rrscope::beats
