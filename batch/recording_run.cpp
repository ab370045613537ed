#include "batch/recording_run.h"

#include <cmath>
#include <optional>
#include <stdexcept>

#include "batch/beat_options.h"
#include "batch/json_line.h"
#include "batch/output_files.h"
#include "batch/recording_csv.h"
#include "batch/recording_line.h"
#include "batch/whole_file.h"
#include "beats/beat_file.h"
#include "pipeline/recording_reading.h"
#include "recordings/read_recording.h"
#include "recordings/recording_error.h"
#include "recordings/text_export.h"
#include "recordings/wfdb_annotations.h"

namespace rrscope::batch {
namespace {

using recordings::RecordingError;
using recordings::RecordingKind;

std::vector<std::int64_t> annotatedBeats(const std::string& file, recordings::SamplingRate rate,
                                         std::string_view why) {
  if (recordings::recordingKindOf(file) != RecordingKind::wfdb) {
    throw RecordingError(file, std::string(why) + " needs a WFDB record with its .atr file");
  }
  return recordings::readWfdbReferenceBeats(file, rate);
}

// The expert annotations of a record, and the beats the recording window
// saves beside it (annotator rrscope), are MIT annotation files.
bool isAnnotationFile(const std::string& path) {
  const std::filesystem::path extension = std::filesystem::path(path).extension();
  return extension == ".atr" || extension == ".rrscope";
}

// The reference beats at the recording's rate: the record's own .atr for
// --reference=atr, any MIT annotation file (.atr, .rrscope) counted at the
// recording's rate or at the resolution its note states, or a file of
// 1-based positions.
std::optional<std::vector<double>> referenceBeats(const std::string& file,
                                                  const recordings::Recording& recording,
                                                  const BeatOptions& options) {
  if (!options.scores()) return std::nullopt;
  std::vector<std::int64_t> annotated;
  if (options.reference == "atr") {
    annotated = annotatedBeats(file, recording.rate, "--reference=atr");
  } else if (const std::string path = referenceFileFor(options, file); isAnnotationFile(path)) {
    annotated =
        recordings::beatSamples(recordings::readAnnotations(path), recording.rate, recording.rate);
  } else {
    try {
      return beats::readBeatFile(path);
    } catch (const beats::BeatFileError& error) {
      const std::string where = error.line() == 0 ? "" : ", line " + std::to_string(error.line());
      throw RecordingError(path + where, error.what());
    }
  }
  return std::vector<double>(annotated.begin(), annotated.end());
}

// The text parts may not replace files of an earlier export unless forced.
void checkTextOutputs(const std::filesystem::path& dir, std::string_view stem, bool force) {
  if (force) return;
  for (const std::string& name : {std::string(stem) + ".txt", std::string(stem) + "-1.txt"}) {
    if (std::filesystem::exists(dir / name)) {
      throw OutputError("\"" + (dir / name).string() +
                        "\" exists already; use --force to overwrite it");
    }
  }
}

std::vector<std::filesystem::path> writeText(const std::string& file,
                                             const recordings::Recording& recording,
                                             const BatchOptions& options) {
  const std::filesystem::path dir(*options.recording.toTextDir);
  const std::string stem = outputStem(file);
  checkTextOutputs(dir, stem, options.force);
  const bool withBeats = options.recording.textBeats;
  std::vector<std::int64_t> beats;
  if (withBeats) beats = annotatedBeats(file, {recordings::kTextRate, 1}, "--beats");
  try {
    return recordings::exportTextFiles(recording, beats, withBeats, dir, stem);
  } catch (const std::exception& error) {
    throw OutputError(error.what());
  }
}

}  // namespace

RecordingRunResult runRecording(std::string_view fileName, const BatchOptions& options,
                                const ReportWriter* reports) {
  const std::string file(fileName);
  const RecordingOptions& wanted = options.recording;
  RecordingRunResult result;
  std::optional<recordings::Recording> recording;
  std::optional<pipeline::RecordingAnalysis> analysis;
  std::vector<std::filesystem::path> written;
  std::optional<std::string> error;
  // The step under way, which names where the run stopped.
  std::string_view stage = "readRecording";
  try {
    pipeline::PrimaryLead primary =
        pipeline::readPrimaryLead(file, {wanted.signal}, wanted.allLeads);
    recording = std::move(primary.recording);
    stage = "readReference";
    const auto reference = referenceBeats(file, *recording, options.beats);
    stage = "detectBeats";
    const std::vector<pipeline::OtherLead> otherLeads =
        pipeline::detectOtherLeads(file, primary.otherLeads, *recording);
    const pipeline::RecordingAnalysisOptions analysisOptions{
        options.beats.correct,
        options.withHrv || options.windows || wanted.reportDir.has_value(),
        options.measures,
        options.beats.matchWindowMs,
        {}};
    analysis = pipeline::analyseRecording(
        *recording, analysisOptions,
        reference ? std::optional<std::span<const double>>(*reference) : std::nullopt, otherLeads);
    stage = "exportText";
    if (wanted.toTextDir) {
      for (auto& path : writeText(file, *recording, options)) written.push_back(std::move(path));
    }
    stage = "writeReport";
    if (reports != nullptr && wanted.reportDir) {
      const std::string compared =
          options.beats.scores() ? referenceFileFor(options.beats, file) : std::string();
      for (auto& path : reports->write(*recording, *analysis, *wanted.reportDir, outputStem(file),
                                       compared, options.measures)) {
        written.push_back(std::move(path));
      }
    }
  } catch (const OutputError& failure) {
    result.unwritten = true;
    result.outputFailure = failure.what();
    stage = "writeOutputs";
  } catch (const std::exception& failure) {
    // Unreadable recordings and detector limits alike end this file only.
    result.stopped = true;
    error = failure.what();
  }
  const RecordingLineContent content{
      file,
      recording ? &*recording : nullptr,
      analysis ? &*analysis : nullptr,
      options,
      written,
      error,
      stage,
      result.unwritten ? std::optional(result.outputFailure) : std::nullopt};
  result.line = options.csv ? recordingCsvRow(content) : recordingLine(content);
  return result;
}

}  // namespace rrscope::batch
