#include "batch/hrv_fields.h"

#include <charconv>

#include "batch/beat_run.h"
#include "batch/figures_text.h"
#include "pipeline/measure_csv.h"
#include "recordings/shortest_text.h"

namespace rrscope::batch {
namespace {

std::string keyText(hrv::Measure measure) {
  return std::string(hrv::measureKey(measure));
}

using recordings::appendShortest;

}  // namespace

void addHrvMeasures(const hrv::Measures& measures, JsonLine& line) {
  JsonLine values = JsonLine::object();
  JsonLine reasons = JsonLine::object();
  for (const hrv::Measure measure : hrv::allMeasures()) {
    const hrv::MeasureValue& value = measures[measure];
    if (value.defined()) {
      values[keyText(measure)] = jsonNumber(value.value());
    } else {
      values[keyText(measure)] = nullptr;
      reasons[keyText(measure)] = std::string(hrv::undefinedText(value.reason()));
    }
  }
  line["hrv"] = std::move(values);
  line["hrv_undefined"] = std::move(reasons);
}

void addRunHrv(const BatchOptions& options, const RunOutcome& outcome, JsonLine& line) {
  const std::vector<double> intervals = analysedIntervalsMs(outcome);
  if (options.withHrv) addHrvMeasures(hrv::computeMeasures(intervals, options.measures), line);
  if (options.windows) addWindows(optionWindows(options, intervals), line);
  addDetrendFields(options.measures, line);
}

void addDetrendFields(const hrv::MeasureOptions& measures, JsonLine& line) {
  if (measures.detrend != hrv::Detrend::smoothnessPriors) return;
  line["detrend"] = "smoothness-priors";
  line["lambda"] = jsonNumber(measures.lambda);
}

void addWindows(std::span<const hrv::WindowMeasures> windows, JsonLine& line) {
  JsonLine list = JsonLine::array();
  for (const hrv::WindowMeasures& window : windows) {
    JsonLine item = JsonLine::object();
    item["start_s"] = jsonNumber(window.startSeconds);
    item["end_s"] = jsonNumber(window.endSeconds);
    item["intervals"] = window.intervals;
    addHrvMeasures(window.measures, item);
    list.push_back(std::move(item));
  }
  line["windows"] = std::move(list);
}

std::vector<hrv::WindowMeasures> optionWindows(const BatchOptions& options,
                                               std::span<const double> intervalsMs) {
  if (!options.windows) return {};
  return hrv::windowedMeasures(intervalsMs, *options.windows, options.measures);
}

std::vector<hrv::WindowMeasures> recordingWindows(const pipeline::RecordingAnalysis& analysis,
                                                  const BatchOptions& options) {
  if (!options.windows || analysis.nnMs.empty()) return {};
  const std::vector<double> endsMs = analysis.nnEndsMs();
  return hrv::windowedMeasures(analysis.nnMs, endsMs, endsMs.back(), *options.windows,
                               options.measures);
}

std::string detrendCsvHeaderColumns(const hrv::MeasureOptions& measures) {
  return measures.detrend == hrv::Detrend::smoothnessPriors ? ",detrend,lambda" : "";
}

void appendDetrendCsvFields(std::string& out, const hrv::MeasureOptions& measures) {
  if (measures.detrend != hrv::Detrend::smoothnessPriors) return;
  out += ",smoothness-priors,";
  appendShortest(out, measures.lambda);
}

std::string windowCsvHeader(const BatchOptions& options) {
  return "file,start_s,end_s,intervals" + pipeline::measureCsvColumns() +
         detrendCsvHeaderColumns(options.measures) + '\n';
}

std::string windowCsvRows(std::string_view file, std::span<const hrv::WindowMeasures> windows,
                          const BatchOptions& options) {
  std::string out;
  for (const hrv::WindowMeasures& window : windows) {
    appendCsvField(out, file);
    out += ',';
    appendShortest(out, window.startSeconds);
    out += ',';
    appendShortest(out, window.endSeconds);
    out += ',';
    out += std::to_string(window.intervals);
    pipeline::appendMeasureCsvFields(out, window.measures);
    appendDetrendCsvFields(out, options.measures);
    out += '\n';
  }
  return out;
}

void appendNoHrvCsvFields(std::string& out) {
  out.append(hrv::allMeasures().size() + 1, ',');
}

}  // namespace rrscope::batch
