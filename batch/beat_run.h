#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "batch/beat_options.h"
#include "batch/file_runs.h"
#include "batch/json_line.h"
#include "beats/artefact_correction.h"
#include "beats/beat_scoring.h"
#include "beats/detected_beats.h"

namespace rrscope::batch {

// The beats of one file as the beat options made them.
struct BeatReport {
  Detector detector = Detector::threshold;
  std::vector<double> beats;                           // 0-based sample positions of the beats used
  std::vector<beats::SampleStretch> unreadable;        // from the Pan–Tompkins detector
  std::optional<beats::CorrectionCounts> corrections;  // with --correct
  std::optional<beats::Scoring> scoring;               // with a reference
};

// Runs one file as the beat options ask: the window's run, whose detected
// peaks then give the beats, or the Pan–Tompkins detector, whose intervals
// give the figures; then the correction and the scoring. Hands the outcome,
// with its BeatReport, to `use`.
void runWithBeats(std::string_view file, const BatchOptions& options, const OutcomeUse& use);

// The line's objects of the correction counts and of the scoring.
JsonLine correctionsObject(const beats::CorrectionCounts& counts);
JsonLine scoringObject(const beats::Scoring& scoring);

// Adds "detector", "series" ("RR", or "NN" after correction) and, as asked,
// "corrections", "peaks" and "scoring".
void addBeatKeys(const BeatOptions& options, const RunOutcome& outcome, JsonLine& line);

// The intervals in ms that the figures and the measures of variability are
// computed from: those of the beats used when the beat options chose them,
// else the window's RR series.
std::vector<double> analysedIntervalsMs(const RunOutcome& outcome);

// The same keys as CSV columns, objects flattened ("corrections_extra",
// "scoring_tp", ...); a key the line would not hold is an empty field. The
// beat positions have no column.
std::string beatCsvHeaderColumns();
void appendBeatCsvFields(std::string& out, const BeatOptions& options, const RunOutcome& outcome);

// The same fields of a line that holds those keys already, such as a
// recording's.
void appendBeatCsvFields(std::string& out, const JsonLine& line);

}  // namespace rrscope::batch
