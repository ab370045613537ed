#include "pipeline/other_lead.h"

#include <stdexcept>
#include <vector>

#include "pipeline/blockwise_detection.h"
#include "pipeline/lead_merge.h"
#include "pipeline/recording_samples.h"

namespace rrscope::pipeline {

OtherLead detectOtherLead(const recordings::Recording& lead, const recordings::Recording& primary) {
  if (lead.rate.numerator != primary.rate.numerator ||
      lead.rate.denominator != primary.rate.denominator) {
    throw std::invalid_argument("lead \"" + lead.channel + "\" is sampled at another rate than \"" +
                                primary.channel + "\"");
  }
  return detectOtherLead(lead.channel, RecordingSamples(lead), lead.rate.hertz(),
                         static_cast<std::int64_t>(primary.sampleCount()));
}

OtherLead detectOtherLead(std::string channel, const beats::SampleSource& lead, double rate,
                          std::int64_t primaryLength, const Progress& progress) {
  beats::DetectedBeats detected = detectBeatsInBlocks(lead, rate, progress);
  const auto length = static_cast<double>(primaryLength);
  std::erase_if(detected.beats, [&](double beat) { return beat >= length; });
  std::erase_if(detected.unreadable,
                [&](const beats::SampleStretch& s) { return s.begin >= length; });
  if (lead.size() < primaryLength) {
    detected.unreadable.push_back({static_cast<double>(lead.size()), length});
  }
  return {std::move(channel), std::move(detected)};
}

beats::DetectedBeats detectWithOtherLeads(const beats::SampleSource& primary, double rate,
                                          std::span<const OtherLead> otherLeads,
                                          const Progress& progress) {
  beats::DetectedBeats own = detectBeatsInBlocks(primary, rate, progress);
  if (otherLeads.empty()) return own;
  std::vector<beats::DetectedBeats> leads{std::move(own)};
  for (const OtherLead& lead : otherLeads) leads.push_back(lead.detected);
  return mergeLeads(leads, rate);
}

}  // namespace rrscope::pipeline
