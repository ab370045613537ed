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
#include "beats/class_scoring.h"
#include "beats/correction_level.h"
#include "pipeline/file_named_errors.h"
#include "pipeline/lead_reading.h"
#include "pipeline/recording_reading.h"
#include "recordings/csv_export.h"
#include "recordings/read_recording.h"
#include "recordings/recording_error.h"
#include "recordings/text_export.h"
#include "recordings/wfdb_annotations.h"

namespace rrscope::batch {
namespace {

using recordings::RecordingError;
using recordings::RecordingKind;

recordings::LabelledBeats annotatedBeats(const std::string& file, recordings::SamplingRate rate,
                                         std::string_view why) {
  if (recordings::recordingKindOf(file) != RecordingKind::wfdb) {
    throw RecordingError(file, std::string(why) + " needs a WFDB record with its .atr file");
  }
  return recordings::readWfdbLabelledBeats(file, rate);
}

// The expert annotations of a record, and the beats the recording window
// saves beside it (annotator rrscope), are MIT annotation files.
bool isAnnotationFile(const std::string& path) {
  const std::filesystem::path extension = std::filesystem::path(path).extension();
  return extension == ".atr" || extension == ".rrscope";
}

// The beats a recording is scored against, at its rate, with the MIT label
// of each when the file gives labels.
struct Reference {
  std::vector<double> beats;
  std::string labels;  // empty for a file of positions alone
};

Reference referenceOf(recordings::LabelledBeats annotated) {
  std::vector<double> beats(annotated.samples.begin(), annotated.samples.end());
  annotated.samples = {};
  return {std::move(beats), std::move(annotated.labels)};
}

// The beats of an MIT annotation file at the recording's rate.
recordings::LabelledBeats annotationFileBeats(const std::string& path,
                                              const recordings::Recording& recording) {
  recordings::BeatAnnotations beats =
      pipeline::readNamingFile(path, [&path] { return recordings::readBeatAnnotations(path); });
  recordings::convertBeatTicks(beats.ticks, beats.timeResolution.value_or(recording.rate),
                               recording.rate);
  return {std::move(beats.ticks), std::move(beats.labels)};
}

// The reference beats at the recording's rate: the record's own .atr for
// --reference=atr, any MIT annotation file (.atr, .rrscope) counted at the
// recording's rate or at the resolution its note states, or a file of
// 1-based positions.
std::optional<Reference> referenceBeats(const std::string& file,
                                        const recordings::Recording& recording,
                                        const BeatOptions& options) {
  if (!options.scores()) return std::nullopt;
  if (options.reference == "atr") {
    return referenceOf(annotatedBeats(file, recording.rate, "--reference=atr"));
  }
  const std::string path = referenceFileFor(options, file);
  if (isAnnotationFile(path)) return referenceOf(annotationFileBeats(path, recording));
  try {
    return Reference{beats::readBeatFile(path), {}};
  } catch (const beats::BeatFileError& error) {
    const std::string where = error.line() == 0 ? "" : ", line " + std::to_string(error.line());
    throw RecordingError(path + where, error.what());
  }
}

// The Se and +P of each class, when the beats are classed and the reference
// labels its beats.
std::optional<beats::ClassScoring> classScoring(const Reference& reference,
                                                const pipeline::RecordingAnalysis& analysis,
                                                const BeatOptions& options) {
  if (!options.classifies() || reference.labels.empty()) return std::nullopt;
  return beats::scoreClasses(analysis.detected, analysis.detectedClasses, reference.beats,
                             beats::aamiClassesOfLabels(reference.labels), analysis.rate,
                             options.matchWindowMs);
}

// The text parts may not replace files of an earlier export unless forced.
// How many parts this export makes is known only once it runs, so every
// name an export of STEM can take counts: STEM.txt, STEM-beats.txt,
// STEM-N.txt and STEM-N-beats.txt; nothing is written when one exists.
void checkTextOutputs(const std::filesystem::path& dir, std::string_view stem, bool force) {
  if (force) return;
  const auto isPartNumber = [](std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
  };
  const auto isExportName = [&](std::string_view name) {
    if (!name.starts_with(stem) || !name.ends_with(".txt")) return false;
    name = name.substr(stem.size(), name.size() - stem.size() - 4);
    if (name.ends_with("-beats")) name.remove_suffix(6);
    return name.empty() || (name.starts_with('-') && isPartNumber(name.substr(1)));
  };
  std::error_code error;
  for (std::filesystem::directory_iterator entry(dir, error), end; !error && entry != end;
       entry.increment(error)) {
    const std::string name = entry->path().filename().string();
    if (isExportName(name)) {
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
  if (withBeats) beats = annotatedBeats(file, {recordings::kTextRate, 1}, "--beats").samples;
  try {
    return recordings::exportTextFiles(recording, beats, withBeats, dir, stem);
  } catch (const std::exception& error) {
    throw OutputError(error.what());
  }
}

// `--signal all` asks the export for every signal; the beats still come
// from the lead chosen as without --signal.
std::optional<std::string> analysedSignal(const RecordingOptions& options) {
  return options.signal == "all" ? std::nullopt : options.signal;
}

// DIR/STEM.csv, which an earlier export keeps unless forced.
std::filesystem::path writeCsv(const std::string& file, const recordings::Recording& recording,
                               const BatchOptions& options) {
  const std::filesystem::path path =
      std::filesystem::path(*options.recording.csvExportDir) / (outputStem(file) + ".csv");
  if (!options.force && std::filesystem::exists(path)) {
    throw OutputError("\"" + path.string() + "\" exists already; use --force to overwrite it");
  }
  try {
    if (options.recording.signal == "all") {
      recordings::writeCsvExport(pipeline::readEveryChannel(file), path);
    } else {
      recordings::writeCsvExport(std::span(&recording, 1), path);
    }
  } catch (const std::exception& error) {
    throw OutputError(error.what());
  }
  return path;
}

// What the analysis of a recording does for these options.
pipeline::RecordingAnalysisOptions analysisOptions(const BatchOptions& options) {
  pipeline::RecordingAnalysisOptions analysis;
  analysis.correct = options.beats.correct;
  analysis.hrv = options.withHrv || options.windows || options.recording.reportDir.has_value();
  analysis.classify = options.beats.classifies();
  analysis.ectopic = options.beats.ectopicHandling();
  analysis.measureOptions = options.measures;
  analysis.matchWindowMs = options.beats.matchWindowMs;
  return analysis;
}

// --correct=LEVEL with a threshold: the NN series of the automatic
// correction, each interval then held to its neighbours, and the measures
// of that series.
void applyCorrectionThreshold(pipeline::RecordingAnalysis& analysis, const BatchOptions& options) {
  const std::optional<double> seconds = beats::thresholdSeconds(options.beats.correctionLevel);
  if (!options.beats.correct || !seconds) return;
  analysis.nnMs = beats::correctByThreshold(analysis.nnMs, *seconds).intervalsMs;
  if (analysis.measures) analysis.measures = hrv::computeMeasures(analysis.nnMs, options.measures);
}

// A file's outputs are all written or none: the sets written before one
// that failed go again.
void removeOutputs(std::vector<std::filesystem::path>& written) {
  for (const std::filesystem::path& path : written) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
  }
  written.clear();
}

}  // namespace

RecordingRunResult runRecording(std::string_view fileName, const BatchOptions& options,
                                const ReportWriter* reports) {
  const std::string file(fileName);
  const RecordingOptions& wanted = options.recording;
  RecordingRunResult result;
  std::optional<recordings::Recording> recording;
  std::optional<pipeline::RecordingAnalysis> analysis;
  std::optional<beats::ClassScoring> classScores;
  std::vector<std::filesystem::path> written;
  std::optional<std::string> error;
  // The step under way, which names where the run stopped.
  std::string_view stage = "readRecording";
  try {
    pipeline::PrimaryLead primary =
        pipeline::readPrimaryLead(file, {analysedSignal(wanted)}, wanted.allLeads);
    recording = std::move(primary.recording);
    stage = "readReference";
    const auto reference = referenceBeats(file, *recording, options.beats);
    stage = "detectBeats";
    const std::vector<pipeline::OtherLead> otherLeads =
        pipeline::detectOtherLeads(file, primary.otherLeads, *recording);
    analysis = pipeline::analyseRecording(
        *recording, analysisOptions(options),
        reference ? std::optional<std::span<const double>>(reference->beats) : std::nullopt,
        otherLeads);
    applyCorrectionThreshold(*analysis, options);
    if (reference) classScores = classScoring(*reference, *analysis, options.beats);
    stage = "exportText";
    if (wanted.toTextDir) {
      for (auto& path : writeText(file, *recording, options)) written.push_back(std::move(path));
    }
    stage = "exportCsv";
    if (wanted.csvExportDir) written.push_back(writeCsv(file, *recording, options));
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
    removeOutputs(written);
    result.unwritten = true;
    result.outputFailure = failure.what();
    stage = "writeOutputs";
  } catch (const std::exception& failure) {
    // Unreadable recordings and detector limits alike end this file only.
    result.stopped = true;
    error = pipeline::namingFile(file, failure.what());
  }
  const RecordingLineContent content{
      file,
      recording ? &*recording : nullptr,
      analysis ? &*analysis : nullptr,
      options,
      written,
      error,
      stage,
      result.unwritten ? std::optional(result.outputFailure) : std::nullopt,
      classScores};
  result.line = options.csv ? recordingCsvRow(content) : recordingLine(content);
  return result;
}

}  // namespace rrscope::batch
