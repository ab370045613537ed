#include "pipeline/other_lead.h"

#include <stdexcept>

#include "pipeline/blockwise_detection.h"
#include "pipeline/recording_samples.h"

namespace rrscope::pipeline {

OtherLead detectOtherLead(const recordings::Recording& lead, const recordings::Recording& primary) {
  if (lead.rate.numerator != primary.rate.numerator ||
      lead.rate.denominator != primary.rate.denominator) {
    throw std::invalid_argument("lead \"" + lead.channel + "\" is sampled at another rate than \"" +
                                primary.channel + "\"");
  }
  beats::DetectedBeats detected = detectBeatsInBlocks(RecordingSamples(lead), lead.rate.hertz());
  const auto length = static_cast<double>(primary.sampleCount());
  std::erase_if(detected.beats, [&](double beat) { return beat >= length; });
  std::erase_if(detected.unreadable,
                [&](const beats::SampleStretch& s) { return s.begin >= length; });
  if (lead.sampleCount() < primary.sampleCount()) {
    detected.unreadable.push_back({static_cast<double>(lead.sampleCount()), length});
  }
  return {lead.channel, std::move(detected)};
}

}  // namespace rrscope::pipeline
