#pragma once

#include <string>

#include "beats/detected_beats.h"
#include "recordings/recording.h"

namespace rrscope::pipeline {

// What another lead of a recording saw, to be merged with the beats of the
// lead the recording is analysed on, its primary lead.
struct OtherLead {
  std::string channel;
  beats::DetectedBeats detected;  // in the primary's samples
};

// Detects the beats of `lead`, another channel of `primary`'s recording,
// block by block. They are cut to the primary's length, since the
// correction reads the primary's samples only; a lead that ends earlier is
// unreadable after its end. Only the beats are kept, so that a caller can
// let go of each lead's samples before it reads the next: memory grows with
// one lead, not with their number. Throws std::invalid_argument when the
// lead is sampled at another rate, whose positions would be other samples.
OtherLead detectOtherLead(const recordings::Recording& lead, const recordings::Recording& primary);

}  // namespace rrscope::pipeline
