#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "recordings/channel_choice.h"
#include "recordings/recording.h"

namespace rrscope::recordings {

// The kinds of recording files, told apart by extension.
enum class RecordingKind { edf, wfdb, ishne, gdf, text };

// .edf and .bdf (any case) are EDF, .hea is WFDB, .ecg ISHNE Holter, .gdf
// GDF, anything else is text.
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

// The leads of an ISHNE Holter (.ecg) or GDF (.gdf) file, read through
// BioSig in a child process.
std::vector<ChannelListing> listHolterChannels(const std::string& path);

// The numbers of the chosen channel of an EDF, BDF, WFDB, ISHNE or GDF
// recording and, after it, of the other leads chooseLeads adds to it; from
// the header alone, so that each lead can then be read on its own.
std::vector<std::size_t> leadNumbers(const std::string& path, const ChannelRequest& request);

// Reads the chosen channel of an EDF, EDF+, BDF or BDF+ file. A file whose
// header breaks the standard only by characters that are not plain ASCII in
// its text fields is read through BioSig, with a warning for each field.
Recording readEdfRecording(const std::string& path, const ChannelRequest& request);

// Channels `numbers` (as listEdfChannels numbers them) of one file, opened
// once for all of them.
std::vector<Recording> readEdfRecordings(const std::string& path,
                                         std::span<const std::size_t> numbers);

// Reads the chosen lead of an ISHNE Holter (.ecg) or GDF (.gdf) file
// through BioSig in a child process. Every ISHNE lead is ECG, so without a
// request or an ECG label its first lead is read; GDF chooses as EDF does.
Recording readHolterRecording(const std::string& path, const ChannelRequest& request);

// What to do without an ECG label in a recording of `kind` (see
// WithoutEcgLabel): WFDB and ISHNE labels say little, EDF and GDF ones do.
WithoutEcgLabel withoutEcgLabelFor(RecordingKind kind);

// Reads the chosen signal of a WFDB record from its header path (.hea).
Recording readWfdbRecording(const std::string& headerPath, const ChannelRequest& request);

// Signals `numbers` of a WFDB record, each signal file decoded once for
// all the wanted signals it holds.
std::vector<Recording> readWfdbRecordings(const std::string& headerPath,
                                          std::span<const std::size_t> numbers);

// The reference beats of a WFDB record (RECORD.atr beside RECORD.hea), as
// sample positions at `rate`.
std::vector<std::int64_t> readWfdbReferenceBeats(const std::string& headerPath, SamplingRate rate);

// The same beats with the label of each, such as 'N' or 'V'.
struct LabelledBeats {
  std::vector<std::int64_t> samples;
  std::string labels;  // one per beat
};

LabelledBeats readWfdbLabelledBeats(const std::string& headerPath, SamplingRate rate);

}  // namespace rrscope::recordings
