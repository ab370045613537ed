#pragma once

#include <string>

#include "batch/batch_options.h"
#include "batch/recording_line.h"

namespace rrscope::batch {

// The CSV of EDF, BDF and WFDB recordings: the values of a recording's JSON
// line as columns, objects flattened as in the CSV of sample files
// ("corrections_extra", "scoring_tp", the measures with --hrv), and the
// error as error_kind, error_stage and error_message. The columns depend on
// the options alone, so the tables of several runs join under one header.
std::string recordingCsvHeader(const BatchOptions& options);

// One recording's row, ended by a line feed; a value the line would not
// hold is an empty field.
std::string recordingCsvRow(const RecordingLineContent& content);

}  // namespace rrscope::batch
