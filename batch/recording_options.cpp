#include <algorithm>

#include "batch/batch_options.h"
#include "batch/option_group.h"
#include "recordings/read_recording.h"

namespace rrscope::batch {

bool isRecordingFile(const std::string& file) {
  return recordings::recordingKindOf(file) != recordings::RecordingKind::text;
}

void addRecordingOptions(CLI::App& app, BatchOptions& options) {
  OptionGroup group(app, "Recordings: EDF, BDF, WFDB, ISHNE Holter and GDF");
  RecordingOptions& recording = options.recording;
  group.text("--signal", recording.signal, "N|LABEL",
             "the channel, by number from 0 or by label; by default\n"
             "the first whose label looks like ECG; \"all\" with\n"
             "--export-csv exports every signal");
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
  group.text("--export-csv", recording.csvExportDir, "DIR",
             "DIR/STEM.csv, the channel's samples at their own rate:\n"
             "sample, time_s and the physical value, exactly;\n"
             "invalid samples are left empty");
}

std::string checkRecordingOptions(const BatchOptions& options) {
  const RecordingOptions& recording = options.recording;
  if (recording.textBeats && !recording.toTextDir) return "--beats goes with --to-text";
  if (recording.signal == "all" && !recording.csvExportDir) {
    return "--signal all goes with --export-csv: the analysis takes one lead (see --leads all)";
  }
  if (std::string problem = checkFolderNames({{"--to-text", recording.toTextDir},
                                              {"--report", recording.reportDir},
                                              {"--export-csv", recording.csvExportDir}});
      !problem.empty()) {
    return problem;
  }
  const bool anyRecording = std::ranges::any_of(options.files, isRecordingFile);
  const bool anyText = !std::ranges::all_of(options.files, isRecordingFile);
  if (anyText && (recording.signal || recording.allLeads || recording.toTextDir ||
                  recording.reportDir || recording.csvExportDir)) {
    return "--signal, --leads all, --to-text, --report and --export-csv are for EDF, BDF, WFDB, "
           "ISHNE and GDF recordings (.edf, .bdf, .hea, .ecg, .gdf), not text files";
  }
  if (anyText && (options.beats.classes || options.beats.ectopic)) {
    return "--classes and --ectopic are for EDF, BDF, WFDB, ISHNE and GDF recordings: the beats of "
           "text files are not classed";
  }
  if (anyRecording && (options.withRR || options.rrInput || options.writesCharts())) {
    return "--rr, --input, --display-list, --svg and --png are for text files, not EDF, BDF, "
           "WFDB, ISHNE and GDF recordings";
  }
  if (anyRecording && anyText && options.csv) {
    return "--csv writes one table of text files or one of recordings, whose columns differ; give "
           "each kind a run of its own";
  }
  return {};
}

}  // namespace rrscope::batch
