#include <CLI/CLI.hpp>
#include <algorithm>

#include "batch/batch_options.h"
#include "recordings/read_recording.h"

namespace rrscope::batch {

bool isRecordingFile(const std::string& file) {
  return recordings::recordingKindOf(file) != recordings::RecordingKind::text;
}

void addRecordingOptions(CLI::App& app, BatchOptions& options) {
  const auto group = "EDF, BDF and WFDB recordings";
  RecordingOptions& recording = options.recording;
  app.add_option("--signal", recording.signal,
                 "the channel, by number from 0 or by label; by default\n"
                 "the first whose label looks like ECG")
      ->type_name("N|LABEL")
      ->group(group);
  app.add_option("--to-text", recording.toTextDir,
                 "DIR/STEM.txt, the channel at 6000 samples/s for the\n"
                 "window; STEM-1.txt, STEM-2.txt ... above 10,000,000 lines")
      ->type_name("DIR")
      ->group(group);
  app.add_flag("--beats", recording.textBeats,
               "with --to-text: the record's .atr beats beside each\npart, as STEM-beats.txt")
      ->group(group);
  app.add_option("--report", recording.reportDir,
                 "DIR/STEM.pdf and DIR/STEM.png, a one-page report")
      ->type_name("DIR")
      ->group(group);
}

std::string checkRecordingOptions(const BatchOptions& options) {
  const RecordingOptions& recording = options.recording;
  if (recording.textBeats && !recording.toTextDir) return "--beats goes with --to-text";
  for (const auto& [name, folder] :
       {std::pair{"--to-text", recording.toTextDir}, std::pair{"--report", recording.reportDir}}) {
    if (folder && folder->empty()) return std::string(name) + " needs a folder name";
  }
  const bool anyRecording = std::ranges::any_of(options.files, isRecordingFile);
  const bool anyText = !std::ranges::all_of(options.files, isRecordingFile);
  if (anyText && (recording.signal || recording.toTextDir || recording.reportDir)) {
    return "--signal, --to-text and --report are for EDF, BDF and WFDB recordings (.edf, .bdf, "
           ".hea), not text files";
  }
  if (anyRecording && (options.withRR || options.rrInput || options.writesCharts())) {
    return "--rr, --input, --display-list, --svg and --png are for text files, not EDF, BDF and "
           "WFDB recordings";
  }
  if (anyRecording && anyText && options.csv) {
    return "--csv writes one table of text files or one of EDF, BDF and WFDB recordings, whose "
           "columns differ; give each kind a run of its own";
  }
  return {};
}

}  // namespace rrscope::batch
