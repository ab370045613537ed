#pragma once

#include <array>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/run_window.h"
#include "batch/beat_options.h"
#include "hrv/hrv_measures.h"

namespace CLI {
class App;
}

namespace rrscope::batch {

// The nine parameter texts, in the order Text1 to Text9.
using ParameterTexts = std::array<std::string, 9>;

// What the options ask of EDF and WFDB recordings alone; the beat options
// and --hrv apply to them as to text files.
struct RecordingOptions {
  std::optional<std::string> signal;        // a channel number or label
  bool allLeads = false;                    // merge the beats of every ECG lead with the chosen one
  std::optional<std::string> toTextDir;     // the chosen channel as 6000/s text
  bool textBeats = false;                   // reference beats beside each text part
  std::optional<std::string> reportDir;     // DIR/STEM.pdf and DIR/STEM.png
  std::optional<std::string> csvExportDir;  // DIR/STEM.csv, the samples as they are
};

// What one invocation of the batch tool asks for.
struct BatchOptions {
  ParameterTexts parameters;  // the window's initial texts unless an option set one
  std::vector<std::string> files;
  bool withRR = false;
  bool csv = false;
  bool force = false;
  std::optional<std::string> displayListDir;
  std::optional<std::string> svgDir;
  std::optional<std::string> pngDir;
  BeatOptions beats;
  RecordingOptions recording;
  bool withHrv = false;                    // add the variability measures of the run's RR series
  bool rrInput = false;                    // the files hold RR intervals in ms, not samples
  hrv::MeasureOptions measures;            // detrending of the spectra
  std::optional<hrv::WindowSpec> windows;  // the measures of each window as well
  std::optional<std::string> windowText;   // --windows as given, read into `windows`

  bool writesCharts() const { return displayListDir || svgDir || pngDir; }
};

// The command line as options, or the one-line reason why it is no valid use.
struct ParsedOptions {
  BatchOptions options;
  std::string usageError;  // empty when the command line is valid
  std::string help;        // the text to print instead of running, when asked for
};

// Each group of options declares itself on the command line here and stores
// what it reads into `options`; a new group adds one such function and calls
// it from parseBatchOptions.
void addParameterOptions(CLI::App& app, BatchOptions& options);
void addOutputOptions(CLI::App& app, BatchOptions& options);
void addRecordingOptions(CLI::App& app, BatchOptions& options);

// True for an EDF, BDF or WFDB recording, false for a text file.
bool isRecordingFile(const std::string& file);

// An option that names a folder, with the folder given, if any.
struct FolderOption {
  std::string_view name;
  const std::optional<std::string>& folder;
};

// "NAME needs a folder name" for the first option given an empty name, or
// an empty text.
std::string checkFolderNames(std::initializer_list<FolderOption> options);

// Why the recording options cannot go together, or an empty text.
std::string checkRecordingOptions(const BatchOptions& options);

void addHrvOptions(CLI::App& app, BatchOptions& options);

// Reads the texts of the variability options into their values; why one
// cannot be read, or empty.
std::string readHrvTexts(BatchOptions& options);

// Tells on standard error that --windows would cut the series of `file` into
// more windows than one series may have, naming the file and the option.
void reportWindowLimit(const BatchOptions& options, std::string_view file,
                       const hrv::TooManyWindows& error);

// Why the variability options do not go with the others given, or empty.
std::string checkHrvCombination(const BatchOptions& options);

// Reads the arguments that follow the program name.
ParsedOptions parseBatchOptions(std::span<const std::string_view> arguments);

}  // namespace rrscope::batch
