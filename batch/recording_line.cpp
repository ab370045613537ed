#include "batch/recording_line.h"

#include "batch/beat_run.h"
#include "batch/class_fields.h"
#include "batch/hrv_fields.h"
#include "batch/json_line.h"
#include "recordings/read_recording.h"

namespace rrscope::batch {
namespace {

std::string formatName(const std::string& file) {
  switch (recordings::recordingKindOf(file)) {
    case recordings::RecordingKind::edf:
      return "edf";
    case recordings::RecordingKind::ishne:
      return "ishne";
    case recordings::RecordingKind::gdf:
      return "gdf";
    default:
      return "wfdb";
  }
}

void addRecording(const recordings::Recording& recording, JsonLine& line) {
  line["channel"] = recording.channel;
  line["units"] = recording.units;
  line["rate_hz"] = jsonNumber(recording.rate.hertz());
  line["duration_s"] = jsonNumber(recording.durationSeconds());
  line["samples"] = recording.sampleCount();
  line["warnings"] = recording.warnings;
}

// The stretches the detector could not read, in seconds, and what the HRV
// series left out because of them.
void addUnreadable(const pipeline::RecordingAnalysis& analysis, double rate, JsonLine& line) {
  JsonLine stretches = JsonLine::array();
  double seconds = 0;
  for (const beats::SampleStretch& stretch : analysis.unreadable) {
    stretches.push_back({jsonNumber(stretch.begin / rate), jsonNumber(stretch.end / rate)});
    seconds += (stretch.end - stretch.begin) / rate;
  }
  line["unreadable"] = std::move(stretches);
  line["unreadable_s"] = jsonNumber(seconds);
  line["invalid_samples"] = analysis.invalidSamples;
  line["excluded_beats"] = analysis.excludedBeats;
  line["excluded_intervals"] = analysis.excludedIntervals;
}

void addScoring(const RecordingLineContent& content, JsonLine& line) {
  const pipeline::RecordingAnalysis& analysis = *content.analysis;
  if (!analysis.scoring) return;
  JsonLine scoring = scoringObject(*analysis.scoring);
  if (content.classScoring) scoring["classes"] = classScoringObject(*content.classScoring);
  line["scoring"] = std::move(scoring);
}

void addAnalysis(const RecordingLineContent& content, double rate, JsonLine& line) {
  const pipeline::RecordingAnalysis& analysis = *content.analysis;
  const BatchOptions& options = content.options;
  line["leads"] = analysis.leads;
  line["beats"] = analysis.detected.size();
  line["intervals"] = analysis.nnMs.size();
  if (analysis.corrections) {
    line["corrections"] = correctionsObject(*analysis.corrections);
    line["pauses"] = analysis.corrections->pauses;
  }
  if (options.beats.classifies()) addClassFields(analysis, options.beats, line);
  addUnreadable(analysis, rate, line);
  addScoring(content, line);
  if (options.withHrv && analysis.measures) addHrvMeasures(*analysis.measures, line);
  if (options.windows) addWindows(recordingWindows(analysis, options), line);
  if (options.withHrv || options.windows) addDetrendFields(options.measures, line);
  if (options.beats.listsPeaks()) {
    JsonLine peaks = JsonLine::array();
    for (const double peak : analysis.detected) peaks.push_back(jsonNumber(peak + 1.0));
    line["peaks"] = std::move(peaks);
  }
  if (options.beats.classes) addClassLetters(analysis, line);
}

}  // namespace

JsonLine recordingObject(const RecordingLineContent& content) {
  JsonLine line = JsonLine::object();
  line["file"] = content.file;
  line["format"] = formatName(content.file);
  if (content.recording != nullptr) addRecording(*content.recording, line);
  line["detector"] = "pan-tompkins";
  line["series"] = content.options.beats.correct ? "NN" : "RR";
  if (content.analysis != nullptr) {
    const double rate = content.recording != nullptr ? content.recording->rate.hertz() : 1.0;
    addAnalysis(content, rate, line);
  }
  JsonLine outputs = JsonLine::array();
  for (const auto& path : content.outputs) outputs.push_back(path.string());
  line["outputs"] = std::move(outputs);
  if (content.error) {
    line["error"] = {
        {"kind", "recording"}, {"stage", std::string(content.stage)}, {"message", *content.error}};
  } else if (content.outputFailure) {
    line["error"] = {{"kind", "cannot-write"},
                     {"stage", std::string(content.stage)},
                     {"message", *content.outputFailure}};
  } else {
    line["error"] = nullptr;
  }
  return line;
}

std::string recordingLine(const RecordingLineContent& content) {
  return jsonLineText(recordingObject(content));
}

}  // namespace rrscope::batch
