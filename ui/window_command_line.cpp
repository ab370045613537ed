#include "ui/window_command_line.h"

namespace rrscope::ui {
namespace {

WindowCommandLine badUsage(std::string problem) {
  return {WindowCommandLine::Request::badUsage, std::nullopt, std::move(problem)};
}

}  // namespace

WindowCommandLine readWindowCommandLine(std::span<const std::string_view> arguments) {
  WindowCommandLine line;
  bool onlyFiles = false;
  for (const std::string_view argument : arguments) {
    const bool isOption = !onlyFiles && argument.size() > 1 && argument.front() == '-';
    if (isOption && argument == "--") {
      onlyFiles = true;
    } else if (isOption && (argument == "--version" || argument == "-v")) {
      line.request = WindowCommandLine::Request::version;
    } else if (isOption && (argument == "--help" || argument == "-h")) {
      line.request = WindowCommandLine::Request::help;
    } else if (isOption) {
      return badUsage("unknown option " + std::string(argument));
    } else if (line.file) {
      return badUsage("one FILE at most: the window analyses one recording at a time");
    } else {
      line.file = std::string(argument);
    }
  }
  return line;
}

std::string_view windowUsageText() {
  return R"usage(Usage: rrscope [FILE]

Opens the heart rate variability window. With FILE, the window analyses it at
once, as if it had been chosen in the dialog of "Нажми меня".

An EDF, BDF, WFDB, ISHNE Holter or GDF recording (.edf, .bdf, .hea, .ecg,
.gdf) or a file of RR intervals in ms (.rr) opens instead in the window "Запись ЭКГ": its beats found and
corrected as by rrscope-batch --correct --hrv, shown over the ECG for
checking and editing, with the measures of a chosen stretch.

  -h, --help     show this text
  -v, --version  show the version
  --             what follows is FILE, even when it begins with "-"

Qt's own options, such as -platform, are accepted as well.
)usage";
}

}  // namespace rrscope::ui
