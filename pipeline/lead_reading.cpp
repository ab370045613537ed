#include "pipeline/lead_reading.h"

#include "pipeline/recording_reading.h"
#include "recordings/read_recording.h"

namespace rrscope::pipeline {

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
  std::vector<OtherLead> others;
  for (const std::size_t number : numbers) {
    others.push_back(detectOtherLead(readRecordingChannel(file, channelNumbered(number)), primary));
  }
  return others;
}

}  // namespace rrscope::pipeline
