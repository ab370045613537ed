#include <algorithm>

#include "batch/batch_options.h"
#include "batch/option_group.h"
#include "recordings/read_recording.h"

namespace rrscope::batch {

bool isRecordingFile(const std::string& file) {
  return recordings::recordingKindOf(file) != recordings::RecordingKind::text;
}

void addRecordingOptions(CLI::App& app, BatchOptions& options) {
  OptionGroup group(app, "EDF, BDF and WFDB recordings");
  RecordingOptions& recording = options.recording;
  group.text("--signal", recording.signal, "N|LABEL",
             "the channel, by number from 0 or by label; by default\n"
             "the first whose label looks like ECG");
  group.choice("--leads", {"one", "all"}, "WHICH",
               "one: the beats of the --signal channel only (default);\n"
               "all: also those of every other ECG lead at its rate,\n"
               "merged into one series: a beat within 100 ms in\n"
               "several leads is one, a beat stands where at least\n"
               "half the readable leads see it (the --signal lead\n"
               "breaking ties), so a noisy stretch of one lead is\n"
               "read in another; reads the file once per lead",
               [&recording](const std::string& leads) { recording.allLeads = leads == "all"; });
  group.text("--to-text", recording.toTextDir, "DIR",
             "DIR/STEM.txt, the channel at 6000 samples/s for the\n"
             "window; STEM-1.txt, STEM-2.txt ... above 10,000,000 lines");
  group.flag("--beats", recording.textBeats,
             "with --to-text: the record's .atr beats beside each\npart, as STEM-beats.txt");
  group.text("--report", recording.reportDir, "DIR",
             "DIR/STEM.pdf and DIR/STEM.png, a one-page report");
}

std::string checkRecordingOptions(const BatchOptions& options) {
  const RecordingOptions& recording = options.recording;
  if (recording.textBeats && !recording.toTextDir) return "--beats goes with --to-text";
  if (std::string problem =
          checkFolderNames({{"--to-text", recording.toTextDir}, {"--report", recording.reportDir}});
      !problem.empty()) {
    return problem;
  }
  const bool anyRecording = std::ranges::any_of(options.files, isRecordingFile);
  const bool anyText = !std::ranges::all_of(options.files, isRecordingFile);
  if (anyText &&
      (recording.signal || recording.allLeads || recording.toTextDir || recording.reportDir)) {
    return "--signal, --leads all, --to-text and --report are for EDF, BDF and WFDB recordings "
           "(.edf, .bdf, .hea), not text files";
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
