#pragma once

#include "batch/json_line.h"
#include "batch/run_outcome.h"

namespace rrscope::batch {

// The figures of the captions as numbers, for spreadsheets and scripts:
// "samples", "recording_s", "observation_s", "window_mean_hr_bpm" (the
// window's figure, rounded down) and "intervals"; null where the caption
// holds no number because the run stopped before writing it.
struct NumericFigures {
  std::optional<double> samples;
  std::optional<double> recordingSeconds;
  std::optional<double> observationSeconds;
  std::optional<double> meanHeartRate;
  std::optional<double> intervals;
};
NumericFigures numericFigures(const RunOutcome& outcome);

// Adds them to the line, in the order above.
void addNumericFigures(const RunOutcome& outcome, JsonLine& line);

// The CSV columns ",samples,recording_s,observation_s,window_mean_hr_bpm,intervals"
// and a row's fields, each after a comma, empty for null.
std::string numericCsvHeaderColumns();
void appendNumericCsvFields(std::string& out, const RunOutcome& outcome);

}  // namespace rrscope::batch
