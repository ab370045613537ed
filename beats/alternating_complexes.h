#pragma once

#include <span>

#include "beats/qrs_decision.h"

namespace rrscope::beats {

// Takes as beats the humps the thresholds passed over that are complexes
// of a rhythm alternating between two kinds: in bidirectional ventricular
// tachycardia, or bigeminy whose ectopic complexes point the other way,
// every other complex is smaller in the QRS band. Once passed over, such
// complexes set the noise level and keep the thresholds above them for
// good, and each interval then looks like one long beat of a regular
// rhythm. `lowPassed` is the lead their outlines are compared on, at the
// rate of `decisions`.
void addAlternatingComplexes(QrsDecisions& decisions, std::span<const double> lowPassed,
                             double rate, const DetectorTuning& tuning = {});

}  // namespace rrscope::beats
