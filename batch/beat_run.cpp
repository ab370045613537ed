#include "batch/beat_run.h"

#include <array>
#include <functional>
#include <span>
#include <string>

#include "analysis/rr_milliseconds.h"
#include "analysis/run_error.h"
#include "analysis/run_stages.h"
#include "batch/figures_text.h"
#include "beats/beat_file.h"
#include "charts/chart_stages.h"
#include "charts/recording_window.h"
#include "pipeline/lead_beats.h"
#include "pipeline/line_samples.h"
#include "pipeline/readable_series.h"

namespace rrscope::batch {
namespace {

// The detected peaks of the window's run, as 0-based sample positions.
std::vector<double> thresholdBeats(const analysis::AnalysisState& state) {
  std::vector<double> beats;
  for (const double position : state.PeakTimes.written()) beats.push_back(position - 1);
  return beats;
}

// The beats in the arrays the statistics stages read: PeakTimes 1 to K and
// the K - 1 intervals between them. Unlike the window's series, the last
// interval counts too.
void storeBeats(analysis::RunContext& run, const std::vector<double>& beats) {
  if (beats.size() < 2) {
    throw analysis::RunError({.cause = analysis::ErrorCause::tooFewBeats,
                              .count = static_cast<std::int64_t>(beats.size())});
  }
  run.state.PeakTimes.clear();
  run.state.RRIntervals.clear();
  for (std::size_t i = 0; i < beats.size(); ++i) {
    run.state.PeakTimes.set(static_cast<std::int64_t>(i) + 1, beats[i] + 1);
    if (i > 0) run.state.RRIntervals.set(static_cast<std::int64_t>(i), beats[i] - beats[i - 1]);
  }
  run.values.peakEnd = static_cast<std::int64_t>(beats.size()) + 2;
}

void useCorrected(beats::CorrectedBeats corrected, BeatReport& report) {
  report.beats = std::move(corrected.beats);
  report.corrections = corrected.counts;
}

// With the samples at hand, a missed beat is inserted only onto a QRS
// complex found in them.
void correctIfAsked(const BeatOptions& options, const beats::SampleSource& samples,
                    BeatReport& report) {
  if (options.correct) {
    useCorrected(pipeline::correctOnSamples(report.beats, samples, analysis::kSamplesPerSecond),
                 report);
  }
}

// A run of the window's stages with the pipeline's detection and correction
// in place of the threshold, and without the charts.
std::optional<analysis::RunReport> runPanTompkins(const BeatOptions& options,
                                                  analysis::AnalysisState& state,
                                                  analysis::RunWindow& window, BeatReport& report) {
  const auto detectBeats = [&](analysis::RunContext& run) {
    const pipeline::LineSamples samples(run.state.SampleLines);
    pipeline::LeadBeats found = pipeline::findLeadBeats(
        samples, analysis::kSamplesPerSecond,
        {.detection = pipeline::Detection::inOnePiece, .correct = options.correct});
    report.unreadable = std::move(found.detected.unreadable);
    if (found.corrected) {
      useCorrected(std::move(*found.corrected), report);
    } else {
      report.beats = std::move(found.detected.beats);
    }
    storeBeats(run, report.beats);
  };
  using Step = std::pair<std::string_view, std::function<void(analysis::RunContext&)>>;
  const std::array<Step, 7> steps = {{
      {"enableRefresh", analysis::enableRefresh},
      {"resetDebugPage", analysis::resetDebugPage},
      {"clearCharts", charts::clearCharts},
      {"loadSampleFile", analysis::loadSampleFile},
      {"detectBeats", detectBeats},
      {"showRhythmStatistics", charts::showRhythmStatistics},
      {"showIntervalCount", charts::showIntervalCount},
  }};
  analysis::RunContext run{state, window, analysis::RunValues{}};
  for (const auto& [name, execute] : steps) {
    try {
      execute(run);
    } catch (const analysis::RunError& error) {
      return analysis::RunReport{std::string(name), error.facts()};
    }
  }
  return std::nullopt;
}

// Scores the beats used against the file's reference; a reference that
// cannot be read stops the file with its reason.
std::optional<analysis::RunReport> scoreIfAsked(const BeatOptions& options, std::string_view file,
                                                BeatReport& report) {
  if (!options.scores()) return std::nullopt;
  const std::string path = referenceFileFor(options, file);
  try {
    const std::vector<double> reference = beats::readBeatFile(path);
    report.scoring = beats::scoreBeats(report.beats, reference, analysis::kSamplesPerSecond,
                                       options.matchWindowMs);
    return std::nullopt;
  } catch (const beats::BeatFileError& error) {
    if (error.line() == 0) {
      return analysis::RunReport{
          "scoreBeats",
          {.cause = analysis::ErrorCause::inputNotRead, .file = path, .reason = error.what()}};
    }
    return analysis::RunReport{"scoreBeats",
                               {.cause = analysis::ErrorCause::inputLineInvalid,
                                .file = path,
                                .text = error.text(),
                                .line = static_cast<std::int64_t>(error.line()),
                                .reason = error.what()}};
  }
}

}  // namespace

void runWithBeats(std::string_view file, const BatchOptions& options, const OutcomeUse& use) {
  const BeatOptions& beatOptions = options.beats;
  BeatReport report;
  report.detector = beatOptions.detector;
  if (beatOptions.detector == Detector::threshold) {
    runWithoutWindow(
        file, options.parameters, options.writesCharts(), [&](const RunOutcome& outcome) {
          std::optional<analysis::RunReport> error = outcome.error;
          if (!error) {
            report.beats = thresholdBeats(outcome.state);
            correctIfAsked(beatOptions, pipeline::LineSamples(outcome.state.SampleLines), report);
            error = scoreIfAsked(beatOptions, file, report);
          }
          RunOutcome withBeats{outcome.file,          outcome.parameters, outcome.window,
                               outcome.displayLists,  outcome.state,      error,
                               outcome.windowPictures};
          withBeats.beats = &report;
          use(withBeats);
        });
    return;
  }
  charts::RecordingWindow window;
  for (std::size_t i = 0; i < options.parameters.size(); ++i) {
    window.setText(static_cast<analysis::TextBox>(i), options.parameters[i]);
  }
  window.setNextFile(std::string(file));
  analysis::AnalysisState state;
  std::optional<analysis::RunReport> error = runPanTompkins(beatOptions, state, window, report);
  if (!error) error = scoreIfAsked(beatOptions, file, report);
  std::array<const charts::DisplayList*, 5> lists{};
  for (std::size_t i = 0; i < lists.size(); ++i) {
    lists[i] = &window.displayList(static_cast<analysis::Picture>(i));
  }
  RunOutcome outcome{file, options.parameters, window, lists, state, error};
  outcome.beats = &report;
  use(outcome);
}

JsonLine correctionsObject(const beats::CorrectionCounts& counts) {
  return {{"extra", counts.extra},
          {"missed", counts.missed},
          {"ectopic", counts.ectopic},
          {"long_short", counts.longShort}};
}

JsonLine scoringObject(const beats::Scoring& s) {
  return {{"window_ms", jsonNumber(s.windowMs)},
          {"tp", s.truePositives},
          {"fn", s.falseNegatives},
          {"fp", s.falsePositives},
          {"sensitivity_pct", jsonNumber(s.sensitivityPct())},
          {"positive_predictivity_pct", jsonNumber(s.positivePredictivityPct())},
          {"mean_abs_error_ms", jsonNumber(s.meanAbsErrorMs)},
          {"max_abs_error_ms", jsonNumber(s.maxAbsErrorMs)}};
}

namespace {

// The stretches the detector could not read, in seconds, and what the HRV
// series leaves out because of them.
void addUnreadable(const BeatReport& report, JsonLine& line) {
  JsonLine stretches = JsonLine::array();
  double seconds = 0;
  for (const beats::SampleStretch& s : report.unreadable) {
    stretches.push_back({jsonNumber(s.begin / analysis::kSamplesPerSecond),
                         jsonNumber(s.end / analysis::kSamplesPerSecond)});
    seconds += (s.end - s.begin) / analysis::kSamplesPerSecond;
  }
  const pipeline::ReadableSeries series =
      pipeline::readableSeries(report.beats, report.unreadable, analysis::kSamplesPerSecond);
  line["unreadable"] = std::move(stretches);
  line["unreadable_s"] = jsonNumber(seconds);
  line["excluded_beats"] = series.excludedBeats;
  line["excluded_intervals"] = series.excludedIntervals;
}

}  // namespace

void addBeatKeys(const BeatOptions& options, const RunOutcome& outcome, JsonLine& line) {
  line["detector"] = options.detector == Detector::panTompkins ? "pan-tompkins" : "threshold";
  line["series"] = options.correct ? "NN" : "RR";
  const BeatReport* report = outcome.beats;
  if (report == nullptr) return;
  if (report->corrections) {
    line["corrections"] = correctionsObject(*report->corrections);
    line["pauses"] = report->corrections->pauses;
  }
  if (report->detector == Detector::panTompkins) addUnreadable(*report, line);
  if (options.peaks) {
    JsonLine peaks = JsonLine::array();
    for (const double beat : report->beats) peaks.push_back(jsonNumber(beat + 1));
    line["peaks"] = std::move(peaks);
  }
  if (report->scoring) line["scoring"] = scoringObject(*report->scoring);
}

namespace {

constexpr std::array<std::string_view, 4> kCorrectionKeys = {"extra", "missed", "ectopic",
                                                             "long_short"};
constexpr std::array<std::string_view, 8> kScoringKeys = {"window_ms",
                                                          "tp",
                                                          "fn",
                                                          "fp",
                                                          "sensitivity_pct",
                                                          "positive_predictivity_pct",
                                                          "mean_abs_error_ms",
                                                          "max_abs_error_ms"};

}  // namespace

std::string beatCsvHeaderColumns() {
  std::string out = ",detector,series";
  for (const std::string_view key : kCorrectionKeys) out += ",corrections_" + std::string(key);
  for (const std::string_view key : kScoringKeys) out += ",scoring_" + std::string(key);
  return out;
}

void appendBeatCsvFields(std::string& out, const JsonLine& line) {
  appendJsonCsvField(out, line.value("detector", JsonLine()));
  appendJsonCsvField(out, line.value("series", JsonLine()));
  appendJsonObjectCsvFields(out, line, "corrections", kCorrectionKeys);
  appendJsonObjectCsvFields(out, line, "scoring", kScoringKeys);
}

void appendBeatCsvFields(std::string& out, const BeatOptions& options, const RunOutcome& outcome) {
  BeatOptions withoutPeaks = options;
  withoutPeaks.peaks = false;
  JsonLine line = JsonLine::object();
  addBeatKeys(withoutPeaks, outcome, line);
  appendBeatCsvFields(out, line);
}

std::vector<double> analysedIntervalsMs(const RunOutcome& outcome) {
  const BeatReport* report = outcome.beats;
  if (report != nullptr && (report->detector == Detector::panTompkins || report->corrections)) {
    return pipeline::readableSeries(report->beats, report->unreadable, analysis::kSamplesPerSecond)
        .intervalsMs;
  }
  return analysis::rrSeriesMilliseconds(outcome.state);
}

}  // namespace rrscope::batch
