#include "batch/beat_options.h"

#include <cmath>
#include <filesystem>

#include "batch/option_group.h"
#include "beats/beat_scoring.h"

namespace rrscope::batch {

void addBeatOptions(CLI::App& app, BeatOptions& options) {
  OptionGroup group(app, "Beats");
  group.choice("--detector", {"threshold", "pan-tompkins"}, "NAME",
               "threshold: the window's run (default); pan-tompkins:\n"
               "a validated R-peak detector whose intervals give the\n"
               "figures, without charts",
               [&options](const std::string& name) {
                 options.detector =
                     name == "pan-tompkins" ? Detector::panTompkins : Detector::threshold;
               });
  group.flag("--correct", options.correct,
             "correct extra, missed, ectopic and long or short beats;\n"
             "adds \"corrections\", and the series becomes NN");
  group.flag("--peaks", options.peaks,
             "add \"peaks\", the 1-based sample positions of the beats used");
  group.text("--reference", options.reference, "FILE",
             "score the beats against FILE, 1-based positions one a line");
  group.text("--reference-suffix", options.referenceSuffix, "EXT",
             "score each input against the file of its name with this\n"
             "extension, such as .beats");
  group.text("--match-window", options.matchWindowMs, "MS",
             "largest distance of a matched beat in ms (default 150,\n"
             "at most 1000)");
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
  if (options.matchWindowMs > beats::kMaxMatchWindowMs) {
    return "--match-window must be at most 1000 ms: a beat is never that far from itself";
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
