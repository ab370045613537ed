// rrscope-batch: the analysis of the window's "Нажми меня" button, run on
// many files without a window, with figures on standard output and charts
// as files.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "batch/batch_options.h"
#include "batch/beat_run.h"
#include "batch/csv_rows.h"
#include "batch/figures_text.h"
#include "batch/file_runs.h"
#include "batch/hrv_fields.h"
#include "batch/json_line.h"
#include "batch/numeric_figures.h"
#include "batch/output_files.h"
#include "batch/recording_csv.h"
#include "batch/recording_run.h"
#include "batch/report_files.h"
#include "batch/rr_input.h"
#include "batch/svg_surface.h"
#include "batch/whole_file.h"
#include "charts/display_list_json.h"
#include "programs/memory_reuse.h"

namespace rrscope::batch {
namespace {

constexpr int kAllCompleted = 0;
constexpr int kSomeStopped = 1;
constexpr int kBadUsage = 2;  // or an output that cannot be written

int failUsage(std::string_view reason) {
  std::fprintf(stderr, "rrscope-batch: %.*s (see --help)\n", static_cast<int>(reason.size()),
               reason.data());
  return kBadUsage;
}

// Writes a line with as few calls as the system allows, so that the lines
// of processes sharing one output, as under xargs -P, do not mix.
void writeStandardOutput(std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(STDOUT_FILENO, text.data(), text.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      throw std::runtime_error("cannot write to standard output");
    }
    text.remove_prefix(static_cast<std::size_t>(written));
  }
}

// Shows which file is being analysed, for people watching a long batch.
class Progress {
 public:
  explicit Progress(std::size_t total)
      : total_(total), shown_(total > 1 && ::isatty(STDERR_FILENO)) {}

  void starting(std::size_t index, std::string_view file) const {
    if (!shown_) return;
    std::fprintf(stderr, "\r\033[K[%zu/%zu] %.*s", index + 1, total_, static_cast<int>(file.size()),
                 file.data());
    std::fflush(stderr);
  }
  void finished() const {
    if (shown_) std::fprintf(stderr, "\r\033[K");
  }

 private:
  std::size_t total_;
  bool shown_;
};

// The keys of each file's JSON line, in order, as the options ask for them.
std::vector<LinePart> lineParts(const BatchOptions& options) {
  std::vector<LinePart> parts = {addFigures, addNumericFigures, addRunError};
  if (options.withRR) parts.emplace_back(addSeries);
  if (options.beats.active()) {
    parts.emplace_back([&beats = options.beats](const RunOutcome& outcome, JsonLine& line) {
      addBeatKeys(beats, outcome, line);
    });
  }
  if (options.withHrv || options.windows) {
    parts.emplace_back([&options](const RunOutcome& outcome, JsonLine& line) {
      addRunHrv(options, outcome, line);
    });
  }
  return parts;
}

std::string jsonLine(const RunOutcome& outcome, const std::vector<LinePart>& parts) {
  JsonLine line = JsonLine::object();
  for (const LinePart& part : parts) part(outcome, line);
  return jsonLineText(line);
}

// Writes everything that the options ask for about one run.
class OutcomeWriter {
 public:
  explicit OutcomeWriter(const BatchOptions& options)
      : options_(options), parts_(lineParts(options)) {}

  // The file's outputs first, then its line, so that the line can tell
  // whether they were written.
  void write(const RunOutcome& outcome) {
    RunOutcome reported = outcome;
    try {
      writeOutputs(outcome);
    } catch (const OutputError& error) {
      reported.outputFailure = error.what();
      anyUnwritten_ = true;
    } catch (const std::bad_alloc&) {
      reported.outputFailure =
          "not enough memory to write the outputs of \"" + std::string(outcome.file) + "\"";
      anyUnwritten_ = true;
    }
    if (outcome.error) anyStopped_ = true;
    writeStandardOutput(options_.csv ? csvRow(reported, options_) : jsonLine(reported, parts_));
    if (reported.outputFailure) {
      std::fprintf(stderr, "rrscope-batch: %s\n", reported.outputFailure->c_str());
    }
  }

  void writeRecording(const RecordingRunResult& result) {
    anyStopped_ = anyStopped_ || result.stopped;
    anyUnwritten_ = anyUnwritten_ || result.unwritten;
    writeStandardOutput(result.line);
    if (result.unwritten) std::fprintf(stderr, "rrscope-batch: %s\n", result.outputFailure.c_str());
  }

  // A file whose series --windows would cut into too many windows has no
  // line: the reason, naming it, goes to standard error.
  void refuseWindows(std::string_view file, const hrv::TooManyWindows& error) {
    anyStopped_ = true;
    reportWindowLimit(options_, file, error);
  }

  int exitStatus() const {
    if (anyUnwritten_) return kBadUsage;
    return anyStopped_ ? kSomeStopped : kAllCompleted;
  }

 private:
  void writeOutputs(const RunOutcome& outcome) const {
    const std::string stem = outputStem(outcome.file);
    if (options_.displayListDir) {
      writeWholeFile(displayListPath(*options_.displayListDir, stem),
                     charts::displayListsJson(outcome.displayLists) + "\n");
    }
    if (options_.svgDir) {
      for (const analysis::Picture picture : kPictures) {
        const charts::DisplayList& list = *outcome.displayLists[static_cast<std::size_t>(picture)];
        writeWholeFile(svgPath(*options_.svgDir, stem, picture), pictureSvg(list, picture));
      }
    }
    for (const OutputFile& picture : outcome.windowPictures) {
      writeWholeFile(picture.path, picture.content);
    }
  }

  const BatchOptions& options_;
  std::vector<LinePart> parts_;
  bool anyStopped_ = false;
  bool anyUnwritten_ = false;
};

int analyseFiles(const BatchOptions& options, int& argc, char** argv) {
  if (options.rrInput)
    return analyseRrFiles(options, writeStandardOutput) ? kSomeStopped : kAllCompleted;
  OutcomeWriter writer(options);
  const auto use = [&writer](const RunOutcome& outcome) { writer.write(outcome); };
  // A table holds one kind of file only, so its first file tells which.
  if (options.csv && options.windows) {
    writeStandardOutput(windowCsvHeader(options));
  } else if (options.csv) {
    writeStandardOutput(isRecordingFile(options.files.front()) ? recordingCsvHeader(options)
                                                               : csvHeader(options));
  }

  // The window and its Qt application are made only for pictures of it:
  // without them the tool starts at once.
  std::unique_ptr<WindowRunner> window;
  if (options.pngDir) window = std::make_unique<WindowRunner>(argc, argv);
  std::unique_ptr<ReportWriter> reports;
  if (options.recording.reportDir) reports = std::make_unique<ReportWriter>(argc, argv);

  const Progress progress(options.files.size());
  for (std::size_t i = 0; i < options.files.size(); ++i) {
    const std::string& file = options.files[i];
    progress.starting(i, file);
    try {
      if (isRecordingFile(file)) {
        writer.writeRecording(runRecording(file, options, reports.get()));
      } else if (window) {
        window->run(file, options.parameters, *options.pngDir, use);
      } else if (options.beats.active()) {
        runWithBeats(file, options, use);
      } else {
        runWithoutWindow(file, options.parameters, options.writesCharts(), use);
      }
    } catch (const hrv::TooManyWindows& error) {
      writer.refuseWindows(file, error);
    }
  }
  progress.finished();
  return writer.exitStatus();
}

int runBatch(int argc, char** argv) {
  const std::vector<std::string_view> arguments(argv + 1, argv + argc);
  const ParsedOptions parsed = parseBatchOptions(arguments);
  if (!parsed.usageError.empty()) return failUsage(parsed.usageError);
  const BatchOptions& options = parsed.options;
  if (!parsed.help.empty()) {
    writeStandardOutput(parsed.help);
    return kAllCompleted;
  }
  if (options.pngDir && !WindowRunner::available()) {
    return failUsage("--png is not available: this build has no window");
  }
  if (options.recording.reportDir && !ReportWriter::available()) {
    return failUsage("--report is not available: this build has no Qt");
  }
  if (const std::string problem = prepareOutputs(options); !problem.empty()) {
    return failUsage(problem);
  }
  try {
    return analyseFiles(options, argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "rrscope-batch: %s\n", error.what());
    return kBadUsage;
  }
}

}  // namespace
}  // namespace rrscope::batch

int main(int argc, char** argv) {
  rrscope::programs::keepFreedMemoryForReuse();
  return rrscope::batch::runBatch(argc, argv);
}
