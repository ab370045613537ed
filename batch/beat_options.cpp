#include "batch/beat_options.h"

#include <CLI/CLI.hpp>
#include <cmath>
#include <filesystem>

namespace rrscope::batch {

void addBeatOptions(CLI::App& app, BeatOptions& options) {
  const auto group = "Beats";
  app.add_option_function<std::string>(
         "--detector",
         [&options](const std::string& name) {
           options.detector = name == "pan-tompkins" ? Detector::panTompkins : Detector::threshold;
         },
         "threshold: the window's run (default); pan-tompkins:\n"
         "a validated R-peak detector whose intervals give the\n"
         "figures, without charts")
      ->check(CLI::IsMember({"threshold", "pan-tompkins"}))
      ->type_name("NAME")
      ->group(group);
  app.add_flag("--correct", options.correct,
               "correct extra, missed, ectopic and long or short beats;\n"
               "adds \"corrections\", and the series becomes NN")
      ->group(group);
  app.add_flag("--peaks", options.peaks,
               "add \"peaks\", the 1-based sample positions of the beats used")
      ->group(group);
  app.add_option("--reference", options.reference,
                 "score the beats against FILE, 1-based positions one a line")
      ->type_name("FILE")
      ->group(group);
  app.add_option("--reference-suffix", options.referenceSuffix,
                 "score each input against the file of its name with this\n"
                 "extension, such as .beats")
      ->type_name("EXT")
      ->group(group);
  app.add_option("--match-window", options.matchWindowMs,
                 "largest distance of a matched beat in ms (default 150)")
      ->type_name("MS")
      ->group(group);
}

std::string checkBeatOptions(const BeatOptions& options, const OtherOutputs& other) {
  if (options.reference && options.referenceSuffix) {
    return "--reference and --reference-suffix cannot go together";
  }
  if (options.reference && options.reference->empty()) return "--reference needs a file name";
  if (options.referenceSuffix && options.referenceSuffix->empty()) {
    return "--reference-suffix needs an extension";
  }
  if (!(options.matchWindowMs > 0) || !std::isfinite(options.matchWindowMs)) {
    return "--match-window needs a positive number of milliseconds";
  }
  if (options.peaks && other.csv) {
    return "--peaks adds a list of positions to the JSON lines and cannot go with --csv";
  }
  if (options.detector == Detector::panTompkins && other.charts) {
    return "the charts belong to the threshold detector's run; --detector=pan-tompkins draws "
           "none";
  }
  if (options.active() && other.window) {
    return "--png shows the window's own run; the beat options go without it";
  }
  return {};
}

std::string referenceFileFor(const BeatOptions& options, std::string_view input) {
  if (options.reference) return *options.reference;
  std::filesystem::path path{std::string(input)};
  path.replace_extension(*options.referenceSuffix);
  return path.string();
}

}  // namespace rrscope::batch
