#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "batch/batch_options.h"
#include "batch/json_line.h"
#include "batch/run_outcome.h"
#include "hrv/hrv_measures.h"
#include "pipeline/recording_analysis.h"

namespace rrscope::batch {

// Adds "hrv", every measure under its key as a number or null, and
// "hrv_undefined", the key of each null measure with the reason.
void addHrvMeasures(const hrv::Measures& measures, JsonLine& line);

// The part of a sample file's line that adds the measures of the intervals
// the figures come from: the window's RR series, or the beats chosen by the
// beat options (NN after correction), as the options ask for them.
void addRunHrv(const BatchOptions& options, const RunOutcome& outcome, JsonLine& line);

// "detrend" and "lambda", when the spectra are detrended, so that nobody
// compares a detrended LF with one that is not.
void addDetrendFields(const hrv::MeasureOptions& measures, JsonLine& line);

// "windows": for each window its start_s, end_s, intervals, hrv and
// hrv_undefined.
void addWindows(std::span<const hrv::WindowMeasures> windows, JsonLine& line);

// The windows of a recording's NN series, which the intervals of unreadable
// stretches leave gaps in, timed by its beats.
std::vector<hrv::WindowMeasures> recordingWindows(const pipeline::RecordingAnalysis& analysis,
                                                  const BatchOptions& options);

// The windows of a series without gaps, as the options ask for them.
std::vector<hrv::WindowMeasures> optionWindows(const BatchOptions& options,
                                               std::span<const double> intervalsMs);

// With --windows and --csv the table has a row per window: file, start_s,
// end_s, intervals, the measures and hrv_undefined, then detrend and lambda
// when the spectra are detrended.
std::string windowCsvHeader(const BatchOptions& options);
std::string windowCsvRows(std::string_view file, std::span<const hrv::WindowMeasures> windows,
                          const BatchOptions& options);

// ",detrend,lambda" when the spectra are detrended, else nothing; and a
// row's fields of those columns.
std::string detrendCsvHeaderColumns(const hrv::MeasureOptions& measures);
void appendDetrendCsvFields(std::string& out, const hrv::MeasureOptions& measures);

// A row's fields of the measures' columns (pipeline::measureCsvColumns)
// when there are no measures at all, as for a
// recording that could not be read: every one empty.
void appendNoHrvCsvFields(std::string& out);

}  // namespace rrscope::batch
