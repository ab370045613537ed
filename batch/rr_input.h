#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "batch/batch_options.h"

namespace rrscope::batch {

// Analyses each file of RR intervals in milliseconds: one JSON line (file,
// hrv, hrv_undefined, intervals, error) or, with --csv, a header and one row
// per file, handed to `write`. Returns whether any file could not be read.
bool analyseRrFiles(const BatchOptions& options,
                    const std::function<void(std::string_view)>& write);

}  // namespace rrscope::batch
