#pragma once

#include <string>

#include "batch/batch_options.h"
#include "batch/run_outcome.h"

namespace rrscope::batch {

// The CSV of sample files: the figures' columns (file, captions, error),
// then the numeric figures, then with --hrv the variability measures.
std::string csvHeader(const BatchOptions& options);
std::string csvRow(const RunOutcome& outcome, const BatchOptions& options);

}  // namespace rrscope::batch
