#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "recordings/channel_choice.h"
#include "recordings/recording.h"

namespace rrscope::recordings {

// The kinds of recording files, told apart by extension.
enum class RecordingKind { edf, wfdb, text };

// .edf and .bdf (any case) are EDF, .hea is WFDB, anything else is text.
RecordingKind recordingKindOf(const std::string& path);

// A channel as the file's header lists it, before any sample is read.
struct ChannelListing {
  std::string label;  // as the file gives it, empty for an unlabelled WFDB signal
  SamplingRate rate;
};

// The channels of an EDF, EDF+, BDF or BDF+ file.
std::vector<ChannelListing> listEdfChannels(const std::string& path);

// The signals of a WFDB record, from its header path (.hea).
std::vector<ChannelListing> listWfdbChannels(const std::string& headerPath);

// The numbers of the chosen channel of an EDF, BDF or WFDB recording and,
// after it, of the other leads chooseLeads adds to it; from the header
// alone, so that each lead can then be read on its own.
std::vector<std::size_t> leadNumbers(const std::string& path, const ChannelRequest& request);

// Reads the chosen channel of an EDF, EDF+, BDF or BDF+ file.
Recording readEdfRecording(const std::string& path, const ChannelRequest& request);

// Reads the chosen signal of a WFDB record from its header path (.hea).
Recording readWfdbRecording(const std::string& headerPath, const ChannelRequest& request);

// The reference beats of a WFDB record (RECORD.atr beside RECORD.hea), as
// sample positions at `rate`.
std::vector<std::int64_t> readWfdbReferenceBeats(const std::string& headerPath, SamplingRate rate);

}  // namespace rrscope::recordings
