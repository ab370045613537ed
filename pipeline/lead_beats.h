#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "beats/artefact_correction.h"
#include "beats/detected_beats.h"
#include "beats/sample_source.h"
#include "pipeline/other_lead.h"
#include "pipeline/progress.h"

namespace rrscope::pipeline {

// The artefact correction with the lead's samples at hand, at `rate` per
// second: a missed beat is inserted only onto a QRS-like complex found in
// the samples between its neighbours, and no beat is moved.
beats::CorrectedBeats correctOnSamples(std::span<const double> beats,
                                       const beats::SampleSource& samples, double rate);

// How a lead is detected: block by block, so that a recording of any length
// keeps the detector's buffers small, or in one pass over the whole lead, as
// the beats of a sample file (at most SampleLines::kCapacity lines) have
// always been found.
enum class Detection : std::uint8_t { inBlocks, inOnePiece };

// What findLeadBeats does besides detecting. The other leads are merged
// only with a detection in blocks; `progress`, when given, hears how much
// of that is done.
struct BeatFinding {
  Detection detection = Detection::inBlocks;
  bool correct = false;
  std::span<const OtherLead> otherLeads;
  Progress progress;
};

// The beats of one lead as every analysis finds them: detected, merged with
// those of the other leads, and, when asked, corrected with the samples at
// hand.
struct LeadBeats {
  beats::DetectedBeats detected;
  std::optional<beats::CorrectedBeats> corrected;
};

LeadBeats findLeadBeats(const beats::SampleSource& samples, double rate, const BeatFinding& how);

}  // namespace rrscope::pipeline
