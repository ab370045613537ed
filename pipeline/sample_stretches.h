#pragma once

#include <span>
#include <vector>

#include "beats/detected_beats.h"

namespace rrscope::pipeline {

// Whether `position` lies strictly inside one of `stretches`, which are
// increasing and disjoint.
bool insideStretches(std::span<const beats::SampleStretch> stretches, double position);

// Where every one of `leads` is unreadable: the overlap of their stretches,
// increasing and disjoint. No leads give no stretch.
std::vector<beats::SampleStretch> commonStretches(
    std::span<const std::vector<beats::SampleStretch>> leads);

// Where any of `a` and `b` is: their union, increasing and disjoint;
// stretches that overlap or touch become one. Both must be increasing.
std::vector<beats::SampleStretch> unitedStretches(std::span<const beats::SampleStretch> a,
                                                  std::span<const beats::SampleStretch> b);

}  // namespace rrscope::pipeline
