#pragma once

#include <cstddef>
#include <filesystem>
#include <vector>

#include "recordings/wfdb_header.h"

namespace rrscope::recordings {

// Reads signal `index` of a record from its signal file in `folder`, in
// physical units ((ADC value - baseline) / gain). The file is decoded in
// blocks and only the chosen signal is kept, so a day-long record of several
// signals needs 4 bytes per sample of one signal. Samples the converter
// marked invalid are bridged by straight lines between their neighbours.
// Throws RecordingError for an unknown format, a truncated signal file or a
// header whose sample count the file does not hold.
std::vector<float> readWfdbSignal(const WfdbHeader& header, std::size_t index,
                                  const std::filesystem::path& folder);

}  // namespace rrscope::recordings
