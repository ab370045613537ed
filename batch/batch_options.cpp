#include "batch/batch_options.h"

#include <algorithm>

#include "analysis/window_defaults.h"

namespace rrscope::batch {
namespace {

struct ParameterOption {
  std::string_view name;
  TextBox box;
};

constexpr std::array<ParameterOption, 9> kParameterOptions = {{
    {"--threshold", TextBox::Text1},
    {"--guard", TextBox::Text2},
    {"--rhythm-x", TextBox::Text3},
    {"--rhythm-y", TextBox::Text4},
    {"--scatter-y", TextBox::Text5},
    {"--scatter-x", TextBox::Text6},
    {"--pulse-gain", TextBox::Text7},
    {"--pulse-x", TextBox::Text8},
    {"--tau", TextBox::Text9},
}};

struct FolderOption {
  std::string_view name;
  std::optional<std::string> BatchOptions::*folder;
};

constexpr std::array<FolderOption, 3> kFolderOptions = {{
    {"--display-list", &BatchOptions::displayListDir},
    {"--svg", &BatchOptions::svgDir},
    {"--png", &BatchOptions::pngDir},
}};

struct FlagOption {
  std::string_view name;
  bool BatchOptions::*flag;
};

constexpr std::array<FlagOption, 5> kFlagOptions = {{
    {"--rr", &BatchOptions::withRR},
    {"--csv", &BatchOptions::csv},
    {"--force", &BatchOptions::force},
    {"--help", &BatchOptions::help},
    {"-h", &BatchOptions::help},
}};

// Walks the arguments; an option that takes a text finds it either after "="
// or in the next argument.
class ArgumentReader {
 public:
  explicit ArgumentReader(std::span<const std::string_view> arguments) : arguments_(arguments) {}

  bool done() const { return next_ >= arguments_.size(); }
  std::string_view take() { return arguments_[next_++]; }

  // The text of option `name`, whose argument `argument` was just taken.
  std::optional<std::string> valueOf(std::string_view name, std::string_view argument,
                                     std::string& error) {
    if (argument.size() > name.size()) return std::string(argument.substr(name.size() + 1));
    if (done()) {
      error = std::string(name) + " needs a text";
      return std::nullopt;
    }
    const std::string_view value = take();
    // A text after a blank that looks like an option is more likely a missing
    // text than a value; such texts are written with "=".
    if (value.size() > 1 && value.front() == '-') {
      error = std::string(name) + " needs a text; write " + std::string(name) + "=" +
              std::string(value) + " for a text that begins with \"-\"";
      return std::nullopt;
    }
    return std::string(value);
  }

 private:
  std::span<const std::string_view> arguments_;
  std::size_t next_ = 0;
};

// True when `argument` is option `name`, alone or followed by "=TEXT".
bool namesOption(std::string_view argument, std::string_view name) {
  return argument.starts_with(name) &&
         (argument.size() == name.size() || argument[name.size()] == '=');
}

// Reads one argument that begins with "-". Returns false with `error` set
// when it is no valid option.
bool readOption(std::string_view argument, ArgumentReader& reader, BatchOptions& options,
                std::string& error) {
  for (const ParameterOption& option : kParameterOptions) {
    if (!namesOption(argument, option.name)) continue;
    const auto value = reader.valueOf(option.name, argument, error);
    if (value) options.parameters[static_cast<std::size_t>(option.box)] = *value;
    return value.has_value();
  }
  for (const FolderOption& option : kFolderOptions) {
    if (!namesOption(argument, option.name)) continue;
    auto value = reader.valueOf(option.name, argument, error);
    if (value && value->empty()) error = std::string(option.name) + " needs a folder name";
    if (!error.empty()) return false;
    options.*option.folder = std::move(value);
    return true;
  }
  for (const FlagOption& option : kFlagOptions) {
    if (argument == option.name) {
      options.*option.flag = true;
      return true;
    }
    if (namesOption(argument, option.name)) {
      error = std::string(option.name) + " takes no text";
      return false;
    }
  }
  error = "unknown option " + std::string(argument);
  return false;
}

std::string checkCombination(const BatchOptions& options) {
  if (options.help) return {};
  if (options.files.empty()) return "no FILE given";
  if (options.csv && options.withRR) return "--rr adds to the JSON lines and cannot go with --csv";
  return {};
}

}  // namespace

ParsedOptions parseBatchOptions(std::span<const std::string_view> arguments) {
  ParsedOptions parsed;
  BatchOptions& options = parsed.options;
  std::copy(kInitialTexts.begin(), kInitialTexts.end(), options.parameters.begin());

  ArgumentReader reader(arguments);
  bool onlyFiles = false;
  while (!reader.done()) {
    const std::string_view argument = reader.take();
    if (onlyFiles || argument.size() < 2 || argument.front() != '-') {
      options.files.emplace_back(argument);
    } else if (argument == "--") {
      onlyFiles = true;
    } else if (!readOption(argument, reader, options, parsed.usageError)) {
      return parsed;
    }
  }
  parsed.usageError = checkCombination(options);
  return parsed;
}

std::string_view usageText() {
  return R"usage(Usage: rrscope-batch [options] FILE...

Analyses each sample file exactly as the window's "Нажми меня" button does on a
freshly opened window, and prints one line of figures per file.

Parameters (each the text a user would type into its box; defaults as the
window opens; write --name=TEXT for a text that begins with "-"):
  --threshold TEXT    Text1, detection threshold (0.4)
  --guard TEXT        Text2, guard interval in seconds (0.4)
  --rhythm-x TEXT     Text3, horizontal scale of the rhythmogram (0.03)
  --rhythm-y TEXT     Text4, vertical scale of the rhythmogram (0.4)
  --scatter-y TEXT    Text5, vertical scale of the scattergram (0.5)
  --scatter-x TEXT    Text6, horizontal scale of the scattergram (0.5)
  --pulse-gain TEXT   Text7, gain of the pulse chart (500)
  --pulse-x TEXT      Text8, horizontal scale of the pulse chart (0.05)
  --tau TEXT          Text9, shift tau of the scattergram (1)

Output:
  (default)           one JSON object per file and line: file, parameters,
                      captions after the run, error (null or kind, stage, message)
  --rr                add "rr", the analysed RR series in samples
  --csv               a header line and one CSV row of the figures per file
  --display-list DIR  DIR/STEM.json, the drawing operations of the five charts
  --svg DIR           DIR/STEM-Picture1.svg .. -Picture5.svg, in twips
  --png DIR           DIR/STEM.png, the whole window after the run, and
                      DIR/STEM-Picture1.png .. -Picture5.png
  --force             overwrite existing output files (otherwise nothing runs)
  -h, --help          show this text

Exit status: 0 when every run completed, 1 when any run stopped with an error
(reported in its line), 2 for bad usage or an output that cannot be
written.

No display is needed: --png renders offscreen by itself. Files are analysed
independently, so xargs -P spreads many of them over the cores, for example:
  ls *.txt | xargs -P "$(nproc)" -n 8 rrscope-batch > figures.jsonl
)usage";
}

}  // namespace rrscope::batch
