#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "beats/detected_beats.h"
#include "beats/sample_source.h"
#include "pipeline/progress.h"
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

// The same for a lead's samples at the primary's `rate`, the primary
// `primaryLength` samples long; `progress`, when given, hears of each block.
OtherLead detectOtherLead(std::string channel, const beats::SampleSource& lead, double rate,
                          std::int64_t primaryLength, const Progress& progress = {});

// The primary lead's beats, detected block by block, merged with those of
// `otherLeads` (mergeLeads, the primary first); without other leads, the
// primary's own.
beats::DetectedBeats detectWithOtherLeads(const beats::SampleSource& primary, double rate,
                                          std::span<const OtherLead> otherLeads,
                                          const Progress& progress = {});

}  // namespace rrscope::pipeline
