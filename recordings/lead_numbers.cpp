#include <string>

#include "recordings/lead_choice.h"
#include "recordings/read_recording.h"

namespace rrscope::recordings {

std::vector<std::size_t> leadNumbers(const std::string& path, const ChannelRequest& request) {
  const bool edf = recordingKindOf(path) == RecordingKind::edf;
  const std::vector<ChannelListing> channels = edf ? listEdfChannels(path) : listWfdbChannels(path);
  std::vector<std::string> labels;
  for (const ChannelListing& channel : channels) labels.push_back(channel.label);
  // As readEdfRecording and readWfdbRecording choose: EDF always writes
  // labels, WFDB labels are optional (see WithoutEcgLabel).
  const WithoutEcgLabel fallback = edf ? WithoutEcgLabel::refuse : WithoutEcgLabel::takeFirst;
  const std::size_t primary = chooseChannel(labels, request, path, fallback);
  return chooseLeads(channels, primary, fallback);
}

}  // namespace rrscope::recordings
