#include "batch/batch_options.h"

#include <CLI/CLI.hpp>
#include <algorithm>

#include "analysis/window_defaults.h"
#include "batch/option_group.h"
#include "rrscope/version.h"

namespace rrscope::batch {
namespace {

struct ParameterOption {
  const char* name;
  analysis::TextBox box;
  const char* description;
};

constexpr std::array<ParameterOption, 9> kParameterOptions = {{
    {"--threshold", analysis::TextBox::Text1, "Text1, detection threshold"},
    {"--guard", analysis::TextBox::Text2, "Text2, guard interval in seconds"},
    {"--rhythm-x", analysis::TextBox::Text3, "Text3, horizontal scale of the rhythmogram"},
    {"--rhythm-y", analysis::TextBox::Text4, "Text4, vertical scale of the rhythmogram"},
    {"--scatter-y", analysis::TextBox::Text5, "Text5, vertical scale of the scattergram"},
    {"--scatter-x", analysis::TextBox::Text6, "Text6, horizontal scale of the scattergram"},
    {"--pulse-gain", analysis::TextBox::Text7, "Text7, gain of the pulse chart"},
    {"--pulse-x", analysis::TextBox::Text8, "Text8, horizontal scale of the pulse chart"},
    {"--tau", analysis::TextBox::Text9, "Text9, shift tau of the scattergram"},
}};

constexpr std::string_view kDescription =
    R"text(Analyses each sample file exactly as the window's "Нажми меня" button does on a
freshly opened window, and prints one line of figures per file.

Each parameter is the text a user would type into its box, with the window's
initial text as default; write --name=TEXT for a text that begins with "-".
)text";

constexpr std::string_view kFooter = R"text(
Output, by default: one JSON object per file and line: file, parameters,
captions after the run, their figures as numbers (samples, recording_s,
observation_s, window_mean_hr_bpm, intervals), error (null or kind, stage,
message). Bytes of file names or texts that are not UTF-8 are written as
U+FFFD, the replacement character, in the JSON lines and the CSV rows alike.

--csv: one header line, then one row per file, an error in the columns
error_kind, error_stage and error_message. Text files give the captions,
the numeric figures and, as asked, the beat and --hrv columns. EDF, BDF and
WFDB recordings give file, format, channel, units, rate_hz, duration_s,
samples, beats, intervals, detector, series, corrections_*, scoring_*, with
classed beats (--classes or --correct) ectopic, classes_count_*, burden_*,
ectopic_intervals and interpolated_intervals, and, with --hrv, the measures. The two tables have other columns, so one --csv
run takes either text files or recordings, not both.

Exit status: 0 when every run completed, 1 when any run stopped with an error
(reported in its line), 2 for bad usage or an output that cannot be
written.

No display is needed: --png renders offscreen by itself. Files are analysed
independently, so xargs -P spreads many of them over the cores, for example:
  ls *.txt | xargs -P "$(nproc)" -n 8 rrscope-batch > figures.jsonl)text";

// The option that `argument` names, "--name" alone or "--name=TEXT", split
// into the name and, after "=", the text.
struct NamedArgument {
  std::string name;
  std::optional<std::string> text;
};

NamedArgument splitArgument(std::string_view argument) {
  const std::size_t equals = argument.find('=');
  if (equals == std::string_view::npos) return {std::string(argument), std::nullopt};
  return {std::string(argument.substr(0, equals)), std::string(argument.substr(equals + 1))};
}

// The help as the library writes it, with the files in the usage line.
class BatchFormatter final : public CLI::Formatter {
 public:
  std::string make_usage(const CLI::App*, std::string) const override {
    return "Usage: rrscope-batch [OPTIONS] FILE...\n";
  }
};

bool looksLikeOption(std::string_view argument) {
  return argument.size() > 1 && argument.front() == '-';
}

// The arguments with every option's text as the argument after it, checked
// by the tool's own rules: a text after a blank that looks like an option is
// more likely a missing text than a value, so such texts are written with
// "="; and a switch takes no text, unless it may name a choice with "=". Writing "--name" "TEXT"
// also keeps an empty
// "--name=" an empty text rather than taking the next argument.
std::vector<std::string> spellOutTexts(const CLI::App& app,
                                       std::span<const std::string_view> arguments,
                                       std::string& error) {
  std::vector<std::string> spelled;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    if (argument == "--") {
      spelled.insert(spelled.end(), arguments.begin() + static_cast<std::ptrdiff_t>(i),
                     arguments.end());
      break;
    }
    if (!looksLikeOption(argument)) {
      spelled.emplace_back(argument);
      continue;
    }
    NamedArgument named = splitArgument(argument);
    const CLI::Option* option = app.get_option_no_throw(named.name);
    if (option == nullptr) {
      error = "unknown option " + std::string(argument);
      return {};
    }
    const bool takesText = option->get_items_expected_max() > 0;
    if (!takesText) {
      // A switch that may name a choice says so by the name of its text.
      const bool mayName = !option->get_type_name().empty();
      if (named.text && !mayName) {
        error = named.name + " takes no text";
        return {};
      }
      spelled.push_back(named.text ? named.name + "=" + *named.text : std::move(named.name));
      continue;
    }
    if (!named.text) {
      if (i + 1 == arguments.size()) {
        error = named.name + " needs a text";
        return {};
      }
      const std::string_view next = arguments[++i];
      if (looksLikeOption(next)) {
        error = named.name + " needs a text; write " + named.name + "=" + std::string(next) +
                " for a text that begins with \"-\"";
        return {};
      }
      named.text = std::string(next);
    }
    spelled.push_back(std::move(named.name));
    spelled.push_back(std::move(*named.text));
  }
  return spelled;
}

std::string checkCombination(const BatchOptions& options) {
  if (options.files.empty()) return "no FILE given";
  if (options.csv && options.withRR) return "--rr adds to the JSON lines and cannot go with --csv";
  if (std::string problem = checkHrvCombination(options); !problem.empty()) return problem;
  if (std::string problem = checkFolderNames({{"--display-list", options.displayListDir},
                                              {"--svg", options.svgDir},
                                              {"--png", options.pngDir}});
      !problem.empty()) {
    return problem;
  }
  if (std::string problem = checkBeatOptions(
          options.beats, {options.csv, options.writesCharts(), options.pngDir.has_value()});
      !problem.empty()) {
    return problem;
  }
  return checkRecordingOptions(options);
}

}  // namespace

std::string checkFolderNames(std::initializer_list<FolderOption> options) {
  for (const FolderOption& option : options) {
    if (option.folder && option.folder->empty()) {
      return std::string(option.name) + " needs a folder name";
    }
  }
  return {};
}

void addParameterOptions(CLI::App& app, BatchOptions& options) {
  OptionGroup group(app, "Parameters");
  for (const ParameterOption& option : kParameterOptions) {
    std::string& text = options.parameters[static_cast<std::size_t>(option.box)];
    text = std::string(analysis::initialText(option.box));
    group.text(option.name, text, "TEXT", option.description)->default_str(text);
  }
}

void addOutputOptions(CLI::App& app, BatchOptions& options) {
  OptionGroup group(app, "Output");
  group.flag("--rr", options.withRR, "add \"rr\", the analysed RR series in samples");
  group.flag("--csv", options.csv,
             "a header line and one CSV row of the figures per file;\n"
             "text files or recordings, not both (see below)");
  group.text("--display-list", options.displayListDir, "DIR",
             "DIR/STEM.json, the drawing operations of the five charts");
  group.text("--svg", options.svgDir, "DIR", "DIR/STEM-Picture1.svg .. -Picture5.svg, in twips");
  group.text("--png", options.pngDir, "DIR",
             "DIR/STEM.png, the window after the run, and\n"
             "DIR/STEM-Picture1.png .. -Picture5.png");
  group.flag("--force", options.force, "overwrite existing output files (otherwise nothing\nruns)");
}

ParsedOptions parseBatchOptions(std::span<const std::string_view> arguments) {
  ParsedOptions parsed;
  BatchOptions& options = parsed.options;

  CLI::App app(std::string(kDescription), "rrscope-batch");
  app.footer(std::string(kFooter));
  app.set_help_flag("-h,--help", "show this text");
  const std::string version = "rrscope-batch " + std::string(kVersion) + "\n";
  app.set_version_flag("--version", version, "show the version");
  // The files are what is left once the options are read: the library
  // would read a name such as "[a,b]" as two names if it took them itself.
  app.allow_extras();
  const auto formatter = std::make_shared<BatchFormatter>();
  formatter->column_width(24);
  app.formatter(formatter);
  addParameterOptions(app, options);
  addOutputOptions(app, options);
  addBeatOptions(app, options.beats);
  addRecordingOptions(app, options);
  addHrvOptions(app, options);

  std::vector<std::string> spelled = spellOutTexts(app, arguments, parsed.usageError);
  if (!parsed.usageError.empty()) return parsed;
  // The library reads the arguments from the back.
  std::reverse(spelled.begin(), spelled.end());
  try {
    app.parse(spelled);
  } catch (const CLI::CallForHelp&) {
    parsed.help = app.help();
    return parsed;
  } catch (const CLI::CallForVersion&) {
    parsed.help = version;
    return parsed;
  } catch (const CLI::ParseError& error) {
    parsed.usageError = error.what();
    return parsed;
  }
  options.files = app.remaining();
  // Every argument after "--" is a file; the mark itself is not.
  const auto mark = std::find(options.files.begin(), options.files.end(), "--");
  if (mark != options.files.end()) options.files.erase(mark);
  parsed.usageError = readHrvTexts(options);
  if (parsed.usageError.empty()) parsed.usageError = checkCombination(options);
  return parsed;
}

}  // namespace rrscope::batch
