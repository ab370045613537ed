#pragma once

#include <cstddef>
#include <vector>

#include "beats/detected_beats.h"

namespace rrscope::pipeline {

// Where a lead places its fiducial points relative to the primary lead: each
// lead sees the QRS complex from its own angle, so its fiducial point sits a
// few samples earlier or later, by the same amount beat after beat.
struct LeadAlignment {
  double offset = 0;       // samples to subtract from the lead's beats
  std::size_t shared = 0;  // the beats it was measured on
};

// The median of the lead's beat minus the primary's nearest beat, over the
// beats within `window` samples of one another and readable in both leads.
// The median ignores the few pairs a false beat makes. Without any shared
// beat the offset is 0.
LeadAlignment alignLead(const beats::DetectedBeats& lead, const beats::DetectedBeats& primary,
                        double window);

// The differences that median is taken of: each of the lead's beats minus
// the primary's nearest beat, for the pairs within `window` samples of one
// another and readable in both, in the order of the lead's beats.
std::vector<double> pairedDifferences(const beats::DetectedBeats& lead,
                                      const beats::DetectedBeats& primary, double window);

}  // namespace rrscope::pipeline
