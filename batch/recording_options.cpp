#include <CLI/CLI.hpp>
#include <algorithm>

#include "batch/batch_options.h"
#include "recordings/read_recording.h"

namespace rrscope::batch {

void addRecordingOptions(CLI::App& app, BatchOptions& options) {
  const auto group = "EDF, BDF and WFDB recordings";
  RecordingOptions& recording = options.recording;
  app.add_option("--signal", recording.signal,
                 "the channel, by number from 0 or by label; by default\n"
                 "the first whose label looks like ECG")
      ->type_name("N|LABEL")
      ->group(group);
  app.add_flag("--correct", recording.correct,
               "correct extra, missed and ectopic beats before the\nmeasures")
      ->group(group);
  app.add_flag("--hrv", recording.hrv, "add \"hrv\", the variability measures of the NN series")
      ->group(group);
  app.add_flag("--peaks", recording.peaks, "add \"peaks\", the detected R peaks as 1-based samples")
      ->group(group);
  app.add_option("--reference", recording.reference,
                 "score the detections against reference beats: atr\n"
                 "(the record's .atr) or a file of 1-based samples")
      ->type_name("atr|FILE")
      ->group(group);
  app.add_option("--to-text", recording.toTextDir,
                 "DIR/STEM.txt, the channel at 6000 samples/s for the\n"
                 "window; STEM-1.txt, STEM-2.txt ... above 10,000,000 lines")
      ->type_name("DIR")
      ->group(group);
  app.add_flag("--beats", recording.beats,
               "with --to-text: the record's .atr beats beside each\npart, as STEM-beats.txt")
      ->group(group);
  app.add_option("--report", recording.reportDir,
                 "DIR/STEM.pdf and DIR/STEM.png, a one-page report")
      ->type_name("DIR")
      ->group(group);
}

std::string checkRecordingOptions(const BatchOptions& options) {
  const RecordingOptions& recording = options.recording;
  if (recording.beats && !recording.toTextDir) return "--beats goes with --to-text";
  for (const auto& [name, folder] :
       {std::pair{"--to-text", recording.toTextDir}, std::pair{"--report", recording.reportDir}}) {
    if (folder && folder->empty()) return std::string(name) + " needs a folder name";
  }
  const bool anyRecording = std::ranges::any_of(options.files, [](const std::string& file) {
    return recordings::recordingKindOf(file) != recordings::RecordingKind::text;
  });
  const bool anyText = std::ranges::any_of(options.files, [](const std::string& file) {
    return recordings::recordingKindOf(file) == recordings::RecordingKind::text;
  });
  const bool recordingOnly = recording.signal || recording.correct || recording.hrv ||
                             recording.peaks || recording.reference || recording.toTextDir ||
                             recording.reportDir;
  if (anyText && recordingOnly) {
    return "--signal, --correct, --hrv, --peaks, --reference, --to-text and --report are for "
           "EDF, BDF and WFDB recordings (.edf, .bdf, .hea), not text files";
  }
  if (anyRecording && options.csv) {
    return "EDF and WFDB recordings give JSON lines; --csv is for text files";
  }
  if (anyRecording && options.withRR) {
    return "--rr is for text files; EDF and WFDB recordings give their beats with --peaks";
  }
  return {};
}

}  // namespace rrscope::batch
