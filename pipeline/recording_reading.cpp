#include "pipeline/recording_reading.h"

#include "recordings/read_recording.h"

namespace rrscope::pipeline {
namespace {

recordings::ChannelRequest numbered(std::size_t channel) {
  return {std::to_string(channel)};
}

}  // namespace

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
    channels.push_back(readRecordingChannel(file, numbered(number)));
  }
  return channels;
}

PrimaryLead readPrimaryLead(const std::string& file, const recordings::ChannelRequest& request,
                            bool allLeads) {
  if (!allLeads) return {readRecordingChannel(file, request), {}};
  const std::vector<std::size_t> leads = recordings::leadNumbers(file, request);
  if (leads.empty()) return {readRecordingChannel(file, request), {}};
  PrimaryLead primary{readRecordingChannel(file, numbered(leads.front())), {}};
  primary.otherLeads.assign(leads.begin() + 1, leads.end());
  return primary;
}

std::vector<OtherLead> detectOtherLeads(const std::string& file,
                                        std::span<const std::size_t> numbers,
                                        const recordings::Recording& primary) {
  std::vector<OtherLead> others;
  for (const std::size_t number : numbers) {
    others.push_back(detectOtherLead(readRecordingChannel(file, numbered(number)), primary));
  }
  return others;
}

}  // namespace rrscope::pipeline
