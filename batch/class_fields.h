#pragma once

#include <string>

#include "batch/beat_options.h"
#include "batch/json_line.h"
#include "beats/class_scoring.h"
#include "pipeline/recording_analysis.h"

namespace rrscope::batch {

// The keys of a recording whose beats are classed: "ectopic" (how the NN
// series treats the intervals around beats other than N), "classes_count"
// and "burden" of the beats the series comes from, "ectopic_intervals" and
// "interpolated_intervals".
void addClassFields(const pipeline::RecordingAnalysis& analysis, const BeatOptions& options,
                    JsonLine& line);

// "classes": one letter per detected beat, as "peaks" lists them.
void addClassLetters(const pipeline::RecordingAnalysis& analysis, JsonLine& line);

// The Se and +P of each class, under its letter.
JsonLine classScoringObject(const beats::ClassScoring& scoring);

// The same keys as CSV columns, the objects flattened ("classes_count_V",
// "burden_V_pct", ...).
std::string classCsvHeaderColumns();
void appendClassCsvFields(std::string& out, const JsonLine& line);

}  // namespace rrscope::batch
