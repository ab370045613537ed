#include <string>

#include "recordings/lead_choice.h"
#include "recordings/read_recording.h"

namespace rrscope::recordings {

namespace {

std::vector<ChannelListing> listChannels(const std::string& path, RecordingKind kind) {
  switch (kind) {
    case RecordingKind::edf:
      return listEdfChannels(path);
    case RecordingKind::ishne:
    case RecordingKind::gdf:
      return listHolterChannels(path);
    default:
      return listWfdbChannels(path);
  }
}

}  // namespace

std::vector<std::size_t> leadNumbers(const std::string& path, const ChannelRequest& request) {
  const RecordingKind kind = recordingKindOf(path);
  const std::vector<ChannelListing> channels = listChannels(path, kind);
  std::vector<std::string> labels;
  for (const ChannelListing& channel : channels) labels.push_back(channel.label);
  // As the readers choose (see WithoutEcgLabel).
  const WithoutEcgLabel fallback = withoutEcgLabelFor(kind);
  const std::size_t primary = chooseChannel(labels, request, path, fallback);
  return chooseLeads(channels, primary, fallback);
}

}  // namespace rrscope::recordings
