#pragma once

#include <string>
#include <string_view>

#include "batch/batch_options.h"
#include "batch/report_files.h"

namespace rrscope::batch {

// What the run of one recording leaves for the caller: its line (JSON, or a
// CSV row with --csv) and how it ended.
struct RecordingRunResult {
  std::string line;
  bool stopped = false;    // the recording could not be read or analysed
  bool unwritten = false;  // an output could not be written
  std::string outputFailure;
};

// Reads an EDF, BDF or WFDB recording, analyses it at its own rate and
// length and writes the outputs the options ask for. `reports` is null when
// no report is asked for.
RecordingRunResult runRecording(std::string_view file, const BatchOptions& options,
                                const ReportWriter* reports);

}  // namespace rrscope::batch
