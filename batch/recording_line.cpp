#include "batch/recording_line.h"

#include "batch/json_line.h"
#include "recordings/read_recording.h"

namespace rrscope::batch {
namespace {

std::string formatName(const std::string& file) {
  return recordings::recordingKindOf(file) == recordings::RecordingKind::edf ? "edf" : "wfdb";
}

void addRecording(const recordings::Recording& recording, JsonLine& line) {
  line["channel"] = recording.channel;
  line["units"] = recording.units;
  line["rate_hz"] = jsonNumber(recording.rate.hertz());
  line["duration_s"] = jsonNumber(recording.durationSeconds());
  line["samples"] = recording.sampleCount();
}

JsonLine correctionsObject(const beats::CorrectionCounts& counts) {
  return {{"extra", counts.extra},
          {"missed", counts.missed},
          {"ectopic", counts.ectopic},
          {"long_short", counts.longShort},
          {"total", counts.total()}};
}

JsonLine measuresObject(const hrv::Measures& measures) {
  JsonLine object = JsonLine::object();
  for (const hrv::Measure measure : hrv::allMeasures()) {
    const hrv::MeasureValue& value = measures[measure];
    object[std::string(hrv::measureKey(measure))] =
        value.defined() ? jsonNumber(value.value()) : JsonLine(nullptr);
  }
  return object;
}

JsonLine scoringObject(const beats::Scoring& scoring, const std::string& reference) {
  return {{"reference", reference},
          {"window_ms", jsonNumber(scoring.windowMs)},
          {"tp", scoring.truePositives},
          {"fn", scoring.falseNegatives},
          {"fp", scoring.falsePositives},
          {"se_pct", jsonNumber(scoring.sensitivityPct())},
          {"ppv_pct", jsonNumber(scoring.positivePredictivityPct())},
          {"mean_abs_error_ms", jsonNumber(scoring.meanAbsErrorMs)}};
}

void addAnalysis(const RecordingAnalysis& analysis, const RecordingOptions& options,
                 JsonLine& line) {
  line["beats"] = analysis.detected.size();
  if (analysis.corrections) line["corrections"] = correctionsObject(*analysis.corrections);
  line["nn_intervals"] = analysis.nnMs.size();
  if (options.hrv && analysis.measures) line["hrv"] = measuresObject(*analysis.measures);
  if (analysis.scoring) line["scoring"] = scoringObject(*analysis.scoring, *options.reference);
  if (options.peaks) {
    JsonLine peaks = JsonLine::array();
    for (const double peak : analysis.detected) peaks.push_back(jsonNumber(peak + 1.0));
    line["peaks"] = std::move(peaks);
  }
}

}  // namespace

std::string recordingLine(const RecordingLineContent& content) {
  JsonLine line = JsonLine::object();
  line["file"] = content.file;
  line["format"] = formatName(content.file);
  if (content.recording != nullptr) addRecording(*content.recording, line);
  line["detector"] = "pan-tompkins";
  if (content.analysis != nullptr) addAnalysis(*content.analysis, content.options, line);
  JsonLine outputs = JsonLine::array();
  for (const auto& path : content.outputs) outputs.push_back(path.string());
  line["outputs"] = std::move(outputs);
  if (content.error) {
    line["error"] = {{"kind", "recording"}, {"message", *content.error}};
  } else if (content.outputFailure) {
    line["error"] = {{"kind", "cannot-write"}, {"message", *content.outputFailure}};
  } else {
    line["error"] = nullptr;
  }
  return jsonLineText(line);
}

}  // namespace rrscope::batch
