#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "recordings/wfdb_header.h"
#include "recordings/wfdb_signal.h"

namespace rrscope::recordings {

// The longest the gaps of a multi-segment record ("~" segments and signals
// a segment lacks) may add up to, in samples of the chosen signal: they
// take memory without any file behind them. 2^27 samples (512 MB) is four
// days at 360 Hz.
inline constexpr std::int64_t kLongestWfdbGaps = std::int64_t{1} << 27;

// The signals of a multi-segment record: those of its layout segment (a
// first segment of length 0, whose signals are "~" or of format 0), or else
// those every segment shares, from the first that is not "~". The header
// holds the record's rate and its length in frames.
WfdbHeader wfdbSegmentLayout(const WfdbHeader& master, const std::string& headerPath);

// Signal `index` of the layout over the whole record, segment after segment,
// in the layout's gain and baseline. "~" segments, and segments of a
// record with a layout segment that lack a signal of the same label, are
// invalid samples. Throws RecordingError for a segment outside the
// record's folder, of another rate, nested, or shorter than the record says.
WfdbSignalValues readWfdbSegments(const WfdbHeader& master, const WfdbHeader& layout,
                                  std::size_t index, const std::string& headerPath);

}  // namespace rrscope::recordings
