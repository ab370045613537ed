#include "pipeline/lead_reading.h"

#include "pipeline/recording_reading.h"
#include "recordings/read_recording.h"

namespace rrscope::pipeline {
namespace {

// Other leads of up to this many samples in all (4 bytes each, 128 MB, as
// much as one day-long lead at 360 Hz) are read in one pass over the file.
constexpr std::size_t kLeadSamplesReadTogether = 32'000'000;

}  // namespace

PrimaryLead readPrimaryLead(const std::string& file, const recordings::ChannelRequest& request,
                            bool allLeads) {
  if (!allLeads) return {readRecordingChannel(file, request), {}};
  const std::vector<std::size_t> leads = recordings::leadNumbers(file, request);
  if (leads.empty()) return {readRecordingChannel(file, request), {}};
  PrimaryLead primary{readRecordingChannel(file, channelNumbered(leads.front())), {}};
  primary.otherLeads.assign(leads.begin() + 1, leads.end());
  return primary;
}

std::vector<OtherLead> detectOtherLeads(const std::string& file,
                                        std::span<const std::size_t> numbers,
                                        const recordings::Recording& primary) {
  // Short leads are read together, in one pass over the file; long ones
  // one at a time, so that memory holds two leads at most.
  const std::size_t samples = primary.sampleCount() * numbers.size();
  const bool together = samples <= kLeadSamplesReadTogether;
  std::vector<OtherLead> others;
  for (std::size_t at = 0; at < numbers.size();) {
    const std::size_t count = together ? numbers.size() : 1;
    for (const recordings::Recording& lead :
         readRecordingChannels(file, numbers.subspan(at, count))) {
      others.push_back(detectOtherLead(lead, primary));
    }
    at += count;
  }
  return others;
}

}  // namespace rrscope::pipeline
