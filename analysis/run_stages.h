#pragma once

#include <string>

#include "analysis/run_values.h"

namespace rrscope {

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

// Reads a whole sample file. Throws a RunError: cannot-open-file for an
// empty name, a missing file or a folder, read-error when reading fails and
// subscript-out-of-range for a file of more than 10,000,000 lines. The file
// is closed on every path.
SampleLines readSampleFile(const std::string& path);

}  // namespace rrscope
