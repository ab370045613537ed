#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "recordings/channel_choice.h"
#include "recordings/recording.h"

namespace rrscope::pipeline {

// Reads one channel of an EDF, EDF+, BDF, BDF+, WFDB, ISHNE or GDF recording, the kind
// told by the file's extension.
recordings::Recording readRecordingChannel(const std::string& file,
                                           const recordings::ChannelRequest& request);

// Channels `numbers` of a recording, in that order; a file of many
// signals is read once for all of them where its format allows.
std::vector<recordings::Recording> readRecordingChannels(const std::string& file,
                                                         std::span<const std::size_t> numbers);

// Every signal of a recording, each at its own rate, in the file's order.
std::vector<recordings::Recording> readEveryChannel(const std::string& file);

// The request for the channel numbered `channel`, from 0.
recordings::ChannelRequest channelNumbered(std::size_t channel);

}  // namespace rrscope::pipeline
