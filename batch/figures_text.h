#pragma once

#include <string>

#include "batch/run_outcome.h"

namespace rrscope::batch {

// One JSON object on one line, ended by a line feed: file, parameters,
// captions after the run, error, and with `withRR` the RR series.
std::string figuresJsonLine(const RunOutcome& outcome, bool withRR);

// The header line of the CSV output and one row of it, each ended by a line
// feed. The columns are the file, the captions after the run and the error.
std::string figuresCsvHeader();
std::string figuresCsvRow(const RunOutcome& outcome);

}  // namespace rrscope::batch
