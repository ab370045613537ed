#include "pipeline/recording_reading.h"

#include <numeric>

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

std::vector<recordings::Recording> readRecordingChannels(const std::string& file,
                                                         std::span<const std::size_t> numbers) {
  switch (recordings::recordingKindOf(file)) {
    case recordings::RecordingKind::edf:
      return recordings::readEdfRecordings(file, numbers);
    case recordings::RecordingKind::ishne:
    case recordings::RecordingKind::gdf: {
      std::vector<recordings::Recording> channels;
      for (const std::size_t number : numbers) {
        channels.push_back(readRecordingChannel(file, channelNumbered(number)));
      }
      return channels;
    }
    default:
      return recordings::readWfdbRecordings(file, numbers);
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
  std::vector<std::size_t> numbers(listing.size());
  std::iota(numbers.begin(), numbers.end(), std::size_t{0});
  return readRecordingChannels(file, numbers);
}

}  // namespace rrscope::pipeline
