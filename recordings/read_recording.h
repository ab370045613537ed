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

// Reads the chosen channel of an EDF, EDF+, BDF or BDF+ file.
Recording readEdfRecording(const std::string& path, const ChannelRequest& request);

// Reads the chosen signal of a WFDB record from its header path (.hea).
Recording readWfdbRecording(const std::string& headerPath, const ChannelRequest& request);

// The reference beats of a WFDB record (RECORD.atr beside RECORD.hea), as
// sample positions at `rate`.
std::vector<std::int64_t> readWfdbReferenceBeats(const std::string& headerPath, SamplingRate rate);

}  // namespace rrscope::recordings
