#include "pipeline/recording_reading.h"

#include "recordings/read_recording.h"

namespace rrscope::pipeline {
recordings::ChannelRequest channelNumbered(std::size_t channel) {
  return {std::to_string(channel)};
}

recordings::Recording readRecordingChannel(const std::string& file,
                                           const recordings::ChannelRequest& request) {
  switch (recordings::recordingKindOf(file)) {
    case recordings::RecordingKind::edf:
      return recordings::readEdfRecording(file, request);
    case recordings::RecordingKind::ishne:
    case recordings::RecordingKind::gdf:
      return recordings::readHolterRecording(file, request);
    default:
      return recordings::readWfdbRecording(file, request);
  }
}

std::vector<recordings::Recording> readEveryChannel(const std::string& file) {
  std::vector<recordings::ChannelListing> listing;
  switch (recordings::recordingKindOf(file)) {
    case recordings::RecordingKind::edf:
      listing = recordings::listEdfChannels(file);
      break;
    case recordings::RecordingKind::ishne:
    case recordings::RecordingKind::gdf:
      listing = recordings::listHolterChannels(file);
      break;
    default:
      listing = recordings::listWfdbChannels(file);
  }
  std::vector<recordings::Recording> channels;
  for (std::size_t number = 0; number < listing.size(); ++number) {
    channels.push_back(readRecordingChannel(file, channelNumbered(number)));
  }
  return channels;
}

}  // namespace rrscope::pipeline
