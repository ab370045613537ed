#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "recordings/recording.h"
#include "recordings/wfdb_header.h"

namespace rrscope::recordings {

// The ADC values of one signal and the runs of them the converter marked
// invalid, which are bridged by straight lines between their neighbours,
// rounded to whole steps (or held level at either end).
struct WfdbSignalValues {
  std::vector<std::int32_t> values;
  std::vector<SampleRun> invalid;
  std::vector<std::string> warnings;  // such as a signal file that ends inside a frame
};

// Reads signal `index` of the record whose header is `headerPath`, from its
// signal file in the header's folder, at the signal's own rate (frames per
// second times its samples per frame) and aligned for its skew: samples a
// skew takes past the end of the file are invalid. The file is decoded in
// blocks and only the chosen signal is kept, so a day-long record of
// several signals needs 4 bytes per sample of one signal. Formats 8, 16,
// 24, 32, 61, 80, 160, 212, 310 and 311 are read.
// Throws RecordingError for an unknown format, a signal that is not stored,
// a signal file outside the header's folder or that is not a regular file,
// or a header whose sample count the file does not hold. A file that ends
// inside a frame gives its whole frames, with a warning.
WfdbSignalValues readWfdbSignalValues(const WfdbHeader& header, std::size_t index,
                                      const std::string& headerPath);

// The same, with the invalid values left as the file stores them, for a
// caller that bridges them over more than this one file.
WfdbSignalValues readWfdbSignalUnbridged(const WfdbHeader& header, std::size_t index,
                                         const std::string& headerPath);

// Several signals at once, in the order of `indices`: each signal file is
// decoded once for all the wanted signals it holds, so that reading every
// signal of a file of hundreds costs one pass, not one per signal.
std::vector<WfdbSignalValues> readWfdbSignalsUnbridged(const WfdbHeader& header,
                                                       std::span<const std::size_t> indices,
                                                       const std::string& headerPath);

// Fills each run of `invalid` (increasing, disjoint, separated by valid
// values) by a straight line between the valid values around it, rounded
// to whole steps, or holds the nearest one at either end. Throws
// RecordingError naming `file` when every value is invalid.
void bridgeInvalidRuns(std::vector<std::int32_t>& values, std::span<const SampleRun> invalid,
                       const std::string& file);

// Bridges the invalid runs of signal `index`'s values, read unbridged.
WfdbSignalValues bridgedWfdbSignal(const WfdbHeader& header, std::size_t index,
                                   const std::string& headerPath, WfdbSignalValues values);

// The values alone, for a header RECORD.hea in `folder`.
std::vector<std::int32_t> readWfdbSignal(const WfdbHeader& header, std::size_t index,
                                         const std::filesystem::path& folder);

}  // namespace rrscope::recordings
