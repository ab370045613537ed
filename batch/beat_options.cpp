#include "batch/beat_options.h"

#include <cmath>
#include <filesystem>
#include <vector>

#include "batch/option_group.h"
#include "beats/beat_scoring.h"
#include "pipeline/ectopic_names.h"

namespace rrscope::batch {
namespace {

std::vector<std::string> ectopicHandlingNames() {
  std::vector<std::string> names;
  for (const pipeline::EctopicHandling handling : pipeline::kEctopicHandlings) {
    names.emplace_back(pipeline::ectopicHandlingName(handling));
  }
  return names;
}

}  // namespace

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
  std::vector<std::string> levels;
  for (const beats::CorrectionLevel level : beats::kCorrectionLevels) {
    levels.emplace_back(beats::correctionLevelWord(level));
  }
  group.switchOrChoice("--correct", "auto", levels, options.correctionText, "LEVEL",
                       "correct extra, missed, ectopic and long or short beats;\n"
                       "adds \"corrections\", and the series becomes NN: for a\n"
                       "recording, the intervals between two N beats, its\n"
                       "beats classed as by --classes. --correct=LEVEL: off,\n"
                       "auto (as --correct alone), or auto and then a threshold\n"
                       "on each NN interval's distance from the median of the 5\n"
                       "each side: very-low 0.45 s, low 0.35, medium 0.25,\n"
                       "strong 0.15, very-strong 0.05, at 60 beats a minute and\n"
                       "scaled by the mean heart rate; an interval beyond it\n"
                       "becomes that median, unless it is a pause (over 1.5 times\n"
                       "it), which stays",
                       [&options](const std::string& word) {
                         options.correctionLevel = beats::correctionLevelNamed(word).value_or(
                             beats::CorrectionLevel::automatic);
                         options.correct = options.correctionLevel != beats::CorrectionLevel::off;
                       });
  group.flag("--classes", options.classes,
             "recordings: class every beat N, S, V, F or Q (EC57);\n"
             "adds \"classes\", one letter per entry of \"peaks\",\n"
             "which comes with it. Classed beats, here or with\n"
             "--correct, add \"ectopic\", \"classes_count\" and\n"
             "\"burden\" of the beats used, \"ectopic_intervals\" and\n"
             "\"interpolated_intervals\"; scored against MIT\n"
             "annotations, the Se and +P of each class in \"scoring\"");
  group.choice("--ectopic", ectopicHandlingNames(), "HOW",
               "with --correct: what becomes of an interval touching a\n"
               "beat other than N: exclude (default) leaves it out of\n"
               "the NN series, interpolate puts the median of up to 5\n"
               "NN intervals each side in its place",
               [&options](const std::string& how) {
                 options.ectopic = pipeline::ectopicHandlingNamed(how);
               });
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
  if (options.ectopic && !options.correct) {
    return "--ectopic goes with --correct: only the corrected NN series leaves out the intervals "
           "around ectopic beats";
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
