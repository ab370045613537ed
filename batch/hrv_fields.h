#pragma once

#include <string>
#include <vector>

#include "batch/json_line.h"
#include "batch/run_outcome.h"
#include "hrv/hrv_measures.h"

namespace rrscope::batch {

// Adds "hrv", every measure under its key as a number or null, and
// "hrv_undefined", the key of each null measure with the reason.
void addHrvMeasures(const hrv::Measures& measures, JsonLine& line);

// The part of a sample file's line that adds the measures of the intervals
// the figures come from: the window's RR series, or the beats chosen by the
// beat options (NN after correction).
void addRunHrv(const RunOutcome& outcome, JsonLine& line);

// The CSV columns of the measures: ",mean_nn_ms,...,hf_peak_hz,hrv_undefined"
// and a row's fields in that order, each after a comma. An undefined measure
// is an empty field; the last column lists "key: reason" pairs split by "; ".
std::string hrvCsvHeaderColumns();
void appendHrvCsvFields(std::string& out, const hrv::Measures& measures);

// A row's fields of those columns when there are no measures at all, as for a
// recording that could not be read: every one empty.
void appendNoHrvCsvFields(std::string& out);

}  // namespace rrscope::batch
