#include "analysis_functions.h"

#include <pybind11/stl.h>

#include <optional>
#include <string>
#include <vector>

#include "beat_arguments.h"
#include "beats/beat_class.h"
#include "class_functions.h"
#include "interruptible.h"
#include "numpy_arrays.h"
#include "pipeline/recording_analysis.h"
#include "pipeline/recording_reading.h"
#include "recording_paths.h"
#include "recordings/read_recording.h"
#include "stretch_arrays.h"

namespace rrscope::python {
namespace {

// What analyse gives back: the batch tool's analysis of one lead.
struct Analysis {
  double rateHz = 0;
  py::array_t<double> detected;
  py::array_t<double> unreadable;
  std::size_t invalidSamples = 0;
  py::array_t<double> nnBeats;
  std::string classes;
  std::optional<py::dict> corrections;
  py::array_t<double> nnMs;
  py::array_t<double> nnEndsMs;
  std::size_t excludedBeats = 0;
  std::size_t excludedIntervals = 0;
  std::size_t ectopicIntervals = 0;
  std::size_t interpolatedIntervals = 0;
};

py::dict correctionCounts(const beats::CorrectionCounts& counts) {
  py::dict dict;
  dict["extra"] = counts.extra;
  dict["missed"] = counts.missed;
  dict["ectopic"] = counts.ectopic;
  dict["long_short"] = counts.longShort;
  dict["pauses"] = counts.pauses;
  return dict;
}

Analysis analysisOf(pipeline::RecordingAnalysis&& analysis) {
  Analysis result;
  result.rateHz = analysis.rate;
  result.unreadable = stretchArray(analysis.unreadable);
  result.invalidSamples = analysis.invalidSamples;
  result.classes = beats::beatClassLetters(analysis.nnClasses);
  if (analysis.corrections) result.corrections = correctionCounts(*analysis.corrections);
  result.nnEndsMs = arrayOf(analysis.nnEndsMs());
  result.excludedBeats = analysis.excludedBeats;
  result.excludedIntervals = analysis.excludedIntervals;
  result.ectopicIntervals = analysis.ectopicIntervals;
  result.interpolatedIntervals = analysis.interpolatedIntervals;
  result.detected = arrayOf(std::move(analysis.detected));
  result.nnBeats = arrayOf(std::move(analysis.nnBeats));
  result.nnMs = arrayOf(std::move(analysis.nnMs));
  return result;
}

// A Recording brings its own rate and invalid runs.
bool isRecording(const py::object& object) {
  return py::hasattr(object, "samples") && py::hasattr(object, "rate_hz") &&
         py::hasattr(object, "invalid");
}

pipeline::RecordingAnalysisOptions analysisOptions(bool correct, bool classify,
                                                   const std::string& ectopic) {
  pipeline::RecordingAnalysisOptions options;
  options.correct = correct;
  options.classify = classify;
  options.ectopic = ectopicHandlingOf(ectopic);
  return options;
}

// A recording named by its path is analysed as the batch tool analyses
// it, from the converter's values, without a float64 copy of its samples
// (a day's 250 MB). Text files hold no recording to analyse so.
bool isRecordingFile(const py::object& object) {
  if (!py::isinstance<py::str>(object) && !py::hasattr(object, "__fspath__")) return false;
  return recordings::recordingKindOf(recordingPath(object)) != recordings::RecordingKind::text;
}

Analysis analyseFile(const std::string& path, pipeline::RecordingAnalysisOptions options) {
  pipeline::RecordingAnalysis analysis = runInterruptibly([&](const Checkpoint& checkpoint) {
    const recordings::Recording recording = pipeline::readRecordingChannel(path, {});
    options.progress = [&checkpoint](double) { checkpoint(); };
    return pipeline::analyseRecording(recording, options, std::nullopt);
  });
  return analysisOf(std::move(analysis));
}

Analysis analyse(const py::object& given, const py::object& rateObject,
                 const py::object& invalidObject, bool correct, bool classify,
                 const std::string& ectopic) {
  pipeline::RecordingAnalysisOptions options = analysisOptions(correct, classify, ectopic);
  if (isRecordingFile(given) && rateObject.is_none() && invalidObject.is_none()) {
    return analyseFile(recordingPath(given), options);
  }
  const bool isPath = py::isinstance<py::str>(given) || py::hasattr(given, "__fspath__");
  const py::object source =
      isPath ? py::module_::import("rrscope").attr("read_recording")(given) : given;
  const bool recording = isRecording(source);
  const NumberArray samples(recording ? source.attr("samples") : source, "samples");
  if (samples.values().empty())
    throw py::value_error("samples is empty: there is nothing to analyse");
  requireFinite(samples.values(), "samples");
  if (rateObject.is_none() && !recording) {
    throw py::value_error("rate_hz is needed for samples that are no Recording");
  }
  const double rateHz = (rateObject.is_none() ? source.attr("rate_hz") : rateObject).cast<double>();
  requireRate(rateHz);
  const std::vector<beats::SampleStretch> invalid = sampleStretches(
      invalidObject.is_none() && recording ? source.attr("invalid") : invalidObject, "invalid");
  pipeline::RecordingAnalysis analysis = runInterruptibly([&](const Checkpoint& checkpoint) {
    options.progress = [&checkpoint](double) { checkpoint(); };
    return pipeline::analyseSamples(samples.values(), rateHz, invalid, options);
  });
  return analysisOf(std::move(analysis));
}

constexpr const char* kAnalyseDoc =
    R"doc(analyse(samples, rate_hz=None, *, invalid=None, correct=False, classify=False, ectopic="exclude")
--

Returns an Analysis.

The analysis of rrscope-batch on one lead, by the batch tool's own code:
detection block by block, the invalid runs and the pauses over which the
lead is disturbed marked unreadable, with correct=True the artefact
correction and the classes (--correct), and the NN series with the times
its intervals end. hrv(analysis, windows=...) then gives rrscope-batch
--windows's windows to the last bit.

samples: a path or record name (the recording is then read and analysed
    from its converter's values, as rrscope-batch does, without a float64
    copy of its samples: the channel rrscope-batch chooses), a Recording
    (its rate and invalid runs are then used), or the
    lead's samples, 1-D and finite, with rate_hz.
invalid: the (k, 2) [first, end) runs that hold no value, when samples is
    an array.
classify: classify the beats without correcting them (--classes).
ectopic: "exclude" or "interpolate" the intervals that touch a beat other
    than N (--ectopic), for a classified series.

Ctrl+C stops it with KeyboardInterrupt.
)doc";

constexpr const char* kAnalysisDoc = R"doc(The analysis of one lead, as rrscope-batch makes it.

Attributes:
    rate_hz: the rate of every sample position below.
    detected: the detected beats, float64 0-based sample positions.
    unreadable: (k, 2) float64 [begin, end) sample positions where the beats
        cannot be trusted: noise, invalid runs and disturbed pauses.
    invalid_samples: how many samples hold no value.
    nn_beats: the corrected beats (the detected ones without correct=True).
    classes: one letter N, S, V, F or Q per nn_beats, "" when not classified.
    corrections: the correction's counts (extra, missed, ectopic,
        long_short, pauses), None without correct=True.
    nn_ms: the NN series in ms, as hrv takes it.
    nn_ends_ms: when each of nn_ms ends, in ms after the first beat of the
        series: the left-out intervals leave gaps in it.
    excluded_beats, excluded_intervals: beats and intervals left out for
        unreadable stretches.
    ectopic_intervals, interpolated_intervals: intervals touching a beat
        other than N, and those of them replaced by a median.
)doc";

}  // namespace

void addAnalysisFunctions(py::module_& module) {
  py::class_<Analysis>(module, "Analysis", kAnalysisDoc)
      .def_readonly("rate_hz", &Analysis::rateHz)
      .def_readonly("detected", &Analysis::detected)
      .def_readonly("unreadable", &Analysis::unreadable)
      .def_readonly("invalid_samples", &Analysis::invalidSamples)
      .def_readonly("nn_beats", &Analysis::nnBeats)
      .def_readonly("classes", &Analysis::classes)
      .def_readonly("corrections", &Analysis::corrections)
      .def_readonly("nn_ms", &Analysis::nnMs)
      .def_readonly("nn_ends_ms", &Analysis::nnEndsMs)
      .def_readonly("excluded_beats", &Analysis::excludedBeats)
      .def_readonly("excluded_intervals", &Analysis::excludedIntervals)
      .def_readonly("ectopic_intervals", &Analysis::ectopicIntervals)
      .def_readonly("interpolated_intervals", &Analysis::interpolatedIntervals)
      .def(py::pickle(
          [](const Analysis& a) {
            return py::make_tuple(a.rateHz, a.detected, a.unreadable, a.invalidSamples, a.nnBeats,
                                  a.classes, a.corrections, a.nnMs, a.nnEndsMs, a.excludedBeats,
                                  a.excludedIntervals, a.ectopicIntervals, a.interpolatedIntervals);
          },
          [](const py::tuple& state) {
            return Analysis{state[0].cast<double>(),
                            state[1].cast<py::array_t<double>>(),
                            state[2].cast<py::array_t<double>>(),
                            state[3].cast<std::size_t>(),
                            state[4].cast<py::array_t<double>>(),
                            state[5].cast<std::string>(),
                            state[6].cast<std::optional<py::dict>>(),
                            state[7].cast<py::array_t<double>>(),
                            state[8].cast<py::array_t<double>>(),
                            state[9].cast<std::size_t>(),
                            state[10].cast<std::size_t>(),
                            state[11].cast<std::size_t>(),
                            state[12].cast<std::size_t>()};
          }))
      .def("__repr__", [](const Analysis& analysis) {
        return "<rrscope.Analysis " + std::to_string(analysis.detected.size()) + " beats, " +
               std::to_string(analysis.nnMs.size()) + " NN intervals, " +
               std::to_string(analysis.unreadable.shape(0)) + " unreadable stretches>";
      });
  module.def("analyse", &analyse, py::arg("samples"), py::arg("rate_hz") = py::none(),
             py::kw_only(), py::arg("invalid") = py::none(), py::arg("correct") = false,
             py::arg("classify") = false, py::arg("ectopic") = "exclude", kAnalyseDoc);
}

}  // namespace rrscope::python
