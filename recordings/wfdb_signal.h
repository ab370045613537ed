#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "recordings/wfdb_header.h"

namespace rrscope::recordings {

// Reads the ADC values of signal `index` of a record from its signal file in
// `folder`. The file is decoded in blocks and only the chosen signal is
// kept, so a day-long record of several signals needs 4 bytes per sample of
// one signal. Samples the converter marked invalid are bridged by straight
// lines between their neighbours, rounded to whole steps.
// Throws RecordingError for an unknown format, a truncated signal file or a
// header whose sample count the file does not hold.
std::vector<std::int32_t> readWfdbSignal(const WfdbHeader& header, std::size_t index,
                                         const std::filesystem::path& folder);

}  // namespace rrscope::recordings
