#pragma once

#include <optional>
#include <string>

#include "beats/correction_level.h"
#include "pipeline/readable_series.h"

namespace CLI {
class App;
}

namespace rrscope::batch {

// Which detector finds the beats of a file.
enum class Detector { threshold, panTompkins };

// The beat options of the batch tool: the detector, the artefact correction,
// the classes of the beats, the beats in the line and the scoring against
// reference beats.
struct BeatOptions {
  Detector detector = Detector::threshold;
  bool correct = false;
  // How far the correction goes, with `correct`: the automatic correction
  // of the beats, or it and a threshold on the NN intervals.
  beats::CorrectionLevel correctionLevel = beats::CorrectionLevel::automatic;
  std::string correctionText;  // as the command line names it
  bool classes = false;        // one class letter per beat of "peaks", which comes along
  // What becomes of the intervals around beats other than N, when given.
  std::optional<pipeline::EctopicHandling> ectopic;
  bool peaks = false;
  std::optional<std::string> reference;        // one reference file for every input
  std::optional<std::string> referenceSuffix;  // or the input's name with this extension
  double matchWindowMs = 150.0;

  bool scores() const { return reference || referenceSuffix; }
  // The correction classifies the beats too: its NN series needs their classes.
  bool classifies() const { return classes || correct; }
  bool listsPeaks() const { return peaks || classes; }
  pipeline::EctopicHandling ectopicHandling() const {
    return ectopic.value_or(pipeline::EctopicHandling::exclude);
  }
  // True when the line reports beats: the window's run alone leaves it as it was.
  bool active() const {
    return detector != Detector::threshold || correct || classes || peaks || scores();
  }
};

void addBeatOptions(CLI::App& app, BeatOptions& options);

// What else the command line asks for, as far as the beat options care.
struct OtherOutputs {
  bool csv = false;     // CSV rows instead of JSON lines
  bool charts = false;  // chart files of any kind
  bool window = false;  // pictures of the window
};

// Why these beat options cannot go with the rest of the command line, or
// nothing.
std::string checkBeatOptions(const BeatOptions& options, const OtherOutputs& other);

// The reference file of `input`: --reference as given, or the input's name
// with its extension replaced by the --reference-suffix (appended when it
// has none).
std::string referenceFileFor(const BeatOptions& options, std::string_view input);

}  // namespace rrscope::batch
