#pragma once

#include <string>

#include "analysis/run_values.h"

namespace rrscope::analysis {

// Stages of the run that belong to the run itself, to loading and to
// detection, in the order the run calls them; clearing the charts is a chart
// stage.
void enableRefresh(RunContext& run);
void resetDebugPage(RunContext& run);
void takeSampleCount(RunContext& run);
void loadSampleFile(RunContext& run);
void readDetectionParameters(RunContext& run);
void detectPeaks(RunContext& run);
void formRRSeries(RunContext& run);

// Reads a whole sample file: a regular file, or a pipe that a program writes
// to. Throws a RunError: cannot-open-file for an empty name, a missing file,
// a folder, a device or a pipe that no program writes to; read-error when
// reading fails or a line is longer than SampleLines::kLongestLine; and
// subscript-out-of-range for a file of more than 10,000,000 lines. Reading
// stops at the first such fault, and the file is closed on every path.
SampleLines readSampleFile(const std::string& path);

}  // namespace rrscope::analysis
