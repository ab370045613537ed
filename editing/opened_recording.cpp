#include "editing/opened_recording.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "pipeline/recording_reading.h"
#include "recordings/read_recording.h"
#include "recordings/recording_error.h"
#include "recordings/rr_file.h"

namespace rrscope::editing {
namespace {

// The beats of an RR file are counted in ms: a "sample" is a millisecond.
constexpr double kRrFileRate = 1000.0;

bool isRrFile(const std::string& file) {
  std::string extension = std::filesystem::path(file).extension().string();
  std::ranges::transform(extension, extension.begin(),
                         [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == ".rr";
}

OpenedRecording openRrFile(const std::string& file) {
  const recordings::RrSeries series = recordings::readRrFile(file);
  if (series.error) throw recordings::RecordingError(file, series.error->message);
  std::vector<double> positions{0.0};
  for (const double interval : series.intervalsMs) positions.push_back(positions.back() + interval);
  const auto length = static_cast<std::int64_t>(std::ceil(positions.back())) + 1;
  pipeline::RecordingAnalysis analysis;
  analysis.rate = kRrFileRate;
  analysis.detected = positions;
  analysis.nnBeats = positions;
  analysis.nnOrigins = beats::keptOrigins(positions.size());
  analysis.nnMs = series.intervalsMs;
  std::vector<BeatSource> sources(positions.size(), BeatSource::detected);
  BeatList beats(std::move(positions), std::move(sources), {}, kRrFileRate, length);
  return {file, std::nullopt, std::move(analysis), std::move(beats)};
}

}  // namespace

bool isRecordingFile(const std::string& file) {
  return isRrFile(file) || recordings::recordingKindOf(file) != recordings::RecordingKind::text;
}

OpenedRecording openRecording(const std::string& file, const pipeline::Progress& progress) {
  if (isRrFile(file)) return openRrFile(file);
  recordings::Recording recording = pipeline::readRecordingChannel(file, {});
  pipeline::RecordingAnalysisOptions options;
  options.correct = true;
  // The window computes the measures from its beat list, for the whole
  // recording at first: the same series, so the same figures.
  options.hrv = false;
  options.progress = progress;
  pipeline::RecordingAnalysis analysis =
      pipeline::analyseRecording(recording, options, std::nullopt);
  std::vector<BeatSource> sources;
  for (const beats::BeatOrigin& origin : analysis.nnOrigins)
    sources.push_back(sourceOf(origin.change));
  BeatList beats(analysis.nnBeats, std::move(sources), analysis.unreadable, recording.rate.hertz(),
                 static_cast<std::int64_t>(recording.sampleCount()), analysis.nnClasses);
  return {file, std::move(recording), std::move(analysis), std::move(beats)};
}

}  // namespace rrscope::editing
