#include "beat_functions.h"

#include <pybind11/stl.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "beat_arguments.h"
#include "beats/artefact_correction.h"
#include "beats/beat_scoring.h"
#include "beats/sample_source.h"
#include "class_functions.h"
#include "editing/beat_list.h"
#include "interruptible.h"
#include "numpy_arrays.h"
#include "pipeline/lead_beats.h"
#include "pipeline/other_lead.h"
#include "pipeline/readable_series.h"
#include "pipeline/sample_stretches.h"
#include "stretch_arrays.h"

namespace rrscope::python {
namespace {

std::vector<NumberArray> leadArrays(const py::object& leads, std::size_t length) {
  std::vector<NumberArray> arrays;
  if (leads.is_none()) return arrays;
  std::size_t index = 0;
  for (const py::handle lead : leads) {
    const std::string name = "leads[" + std::to_string(index++) + "]";
    NumberArray& array = arrays.emplace_back(lead, name);
    requireFinite(array.values(), name);
    if (array.values().size() != length) {
      throw py::value_error(name + " holds " + std::to_string(array.values().size()) +
                            " samples and samples " + std::to_string(length) +
                            ": the leads of one recording are equally long");
    }
  }
  return arrays;
}

// The beats of `samples`, merged with those of the other leads as
// rrscope-batch --leads all merges them.
beats::DetectedBeats detectLeads(std::span<const double> samples,
                                 const std::vector<NumberArray>& others, double rateHz,
                                 const Checkpoint& checkpoint) {
  const pipeline::Progress eachBlock = [&checkpoint](double) { checkpoint(); };
  std::vector<pipeline::OtherLead> leads;
  for (const NumberArray& lead : others) {
    leads.push_back(pipeline::detectOtherLead({}, beats::SpanSamples(lead.values()), rateHz,
                                              static_cast<std::int64_t>(samples.size()),
                                              eachBlock));
  }
  return pipeline::detectWithOtherLeads(beats::SpanSamples(samples), rateHz, leads, eachBlock);
}

// The detectors the batch tool names for a recording: --detector pan-tompkins.
void requireDetector(const std::string& method) {
  if (method != "pan-tompkins") {
    throw py::value_error("method must be \"pan-tompkins\", the detector of recordings, not \"" +
                          method + "\"");
  }
}

py::object detectBeats(const py::object& samplesObject, double rateHz, const py::object& leads,
                       bool quality, const py::object& invalidObject, const std::string& method) {
  requireDetector(method);
  const NumberArray samples(samplesObject, "samples");
  if (samples.values().empty())
    throw py::value_error("samples is empty: there is nothing to detect");
  requireFinite(samples.values(), "samples");
  requireRate(rateHz);
  const std::vector<NumberArray> others = leadArrays(leads, samples.values().size());
  const std::vector<beats::SampleStretch> invalid = sampleStretches(invalidObject, "invalid");
  beats::DetectedBeats detected = runInterruptibly([&](const Checkpoint& checkpoint) {
    return detectLeads(samples.values(), others, rateHz, checkpoint);
  });
  py::array_t<double> beatArray = arrayOf(std::move(detected.beats));
  if (!quality) return beatArray;
  // Samples the file holds no value for are unreadable, as the batch tool
  // treats them.
  return py::make_tuple(beatArray,
                        stretchArray(pipeline::unitedStretches(detected.unreadable, invalid)));
}

// What correct_artefacts gives back.
struct Correction {
  py::array_t<double> beats;
  py::dict counts;
  py::array_t<std::int8_t> sources;
  py::array_t<double> removed;
};

Correction correctArtefacts(const py::object& beatsObject, double rateHz,
                            const py::object& samplesObject) {
  const NumberArray beats(beatsObject, "beats");
  requireRate(rateHz);
  std::optional<NumberArray> samples;
  if (!samplesObject.is_none()) {
    samples.emplace(samplesObject, "samples");
    requireFinite(samples->values(), "samples");
  }
  beats::CorrectedBeats corrected;
  {
    const py::gil_scoped_release released;
    corrected = samples ? pipeline::correctOnSamples(beats.values(),
                                                     beats::SpanSamples(samples->values()), rateHz)
                        : beats::correctArtefacts(beats.values());
  }
  Correction result;
  result.counts["extra"] = corrected.counts.extra;
  result.counts["missed"] = corrected.counts.missed;
  result.counts["ectopic"] = corrected.counts.ectopic;
  result.counts["long_short"] = corrected.counts.longShort;
  result.counts["pauses"] = corrected.counts.pauses;
  result.sources = py::array_t<std::int8_t>(static_cast<py::ssize_t>(corrected.origins.size()));
  auto view = result.sources.mutable_unchecked<1>();
  for (std::size_t i = 0; i < corrected.origins.size(); ++i) {
    view(i) = static_cast<std::int8_t>(editing::sourceOf(corrected.origins[i].change));
  }
  std::vector<double> removed;
  for (const std::size_t i : corrected.removed) removed.push_back(beats.values()[i]);
  result.beats = arrayOf(std::move(corrected.beats));
  result.removed = arrayOf(std::move(removed));
  return result;
}

py::dict scoreBeats(const py::object& detectedObject, const py::object& referenceObject,
                    double rateHz, double windowMs) {
  const NumberArray detected(detectedObject, "detected");
  const NumberArray reference(referenceObject, "reference");
  requireFinite(detected.values(), "detected");
  requireFinite(reference.values(), "reference");
  // The matching walks both in the order of time: beats out of order would
  // be matched to the wrong partners without a word.
  requireIncreasing(detected.values(), "detected");
  requireIncreasing(reference.values(), "reference");
  beats::Scoring scoring;
  {
    const py::gil_scoped_release released;
    scoring = beats::scoreBeats(detected.values(), reference.values(), rateHz, windowMs);
  }
  py::dict result;
  result["window_ms"] = scoring.windowMs;
  result["tp"] = scoring.truePositives;
  result["fn"] = scoring.falseNegatives;
  result["fp"] = scoring.falsePositives;
  result["sensitivity_pct"] = scoring.sensitivityPct();
  result["positive_predictivity_pct"] = scoring.positivePredictivityPct();
  result["mean_abs_error_ms"] = scoring.meanAbsErrorMs;
  result["max_abs_error_ms"] = scoring.maxAbsErrorMs;
  return result;
}

// The intervals in ms must be numbers: at a rate of 1e-300 per second even
// beats a sample apart would be infinitely far apart.
void requireFiniteIntervals(std::span<const double> beats, double rateHz) {
  if (beats.size() < 2 || std::isfinite((beats.back() - beats.front()) / rateHz * 1000)) return;
  throw py::value_error("rate_hz = " + py::str(py::float_(rateHz)).cast<std::string>() +
                        " is too low for these beats: their intervals in ms would be infinite");
}

py::object nnIntervals(const py::object& beatsObject, double rateHz,
                       const py::object& unreadableObject, const py::object& classes,
                       const std::string& ectopic, bool ends) {
  const NumberArray beats(beatsObject, "beats");
  requireFinite(beats.values(), "beats");
  requireRate(rateHz);
  const std::vector<beats::SampleStretch> unreadable =
      sampleStretches(unreadableObject, "unreadable");
  requireIncreasing(beats.values(), "beats");
  requireFiniteIntervals(beats.values(), rateHz);
  const std::vector<beats::BeatClass> beatClasses =
      classesOfLetters(classes, beats.values().size());
  const pipeline::EctopicHandling handling = ectopicHandlingOf(ectopic);
  pipeline::ReadableSeries series =
      pipeline::readableSeries(beats.values(), unreadable, rateHz, beatClasses, handling);
  if (!ends) return arrayOf(std::move(series.intervalsMs));
  std::vector<double> endsMs = pipeline::intervalEndsMs(beats.values(), series.ends, rateHz);
  return py::make_tuple(arrayOf(std::move(series.intervalsMs)), arrayOf(std::move(endsMs)));
}

constexpr const char* kNnDoc =
    R"doc(nn_intervals(beats, rate_hz, unreadable=None, *, classes=None, ectopic="exclude", ends=False)
--


The intervals between successive beats in ms, as rrscope-batch forms the
series it takes the measures of: beats inside an unreadable stretch and
every interval that touches one are left out. With the beats' classes, the
series is the NN series of rrscope-batch --correct: an interval that does
not join two N beats is left out (ectopic="exclude") or replaced by the
median of up to 5 NN intervals on each side (ectopic="interpolate", as
--ectopic=interpolate).

beats: increasing sample positions; rate_hz: their rate, high enough for
the intervals in ms to be finite; unreadable: the (k, 2) finite [begin,
end) stretches, begin <= end, that detect_beats(..., quality=True) gives;
classes: a str of one letter N, S, V, F or Q per beat, as classify_beats
gives it; ends: also return when each interval ends.

Returns the intervals (float64, ms); with ends=True a tuple (intervals_ms,
ends_ms), ends_ms the time each interval's last beat comes after the first
beat of the series, in ms. The intervals left out leave gaps in ends_ms, and
hrv(intervals_ms, windows=..., ends_ms=ends_ms) lays the windows on that
clock, as rrscope-batch --windows does.
)doc";

constexpr const char* kDetectDoc =
    R"doc(detect_beats(samples, rate_hz, *, leads=None, quality=False, invalid=None, method="pan-tompkins")
--


The R peaks of one ECG lead by the detector of rrscope-batch (Pan-Tompkins
with the Hamilton-Tompkins decisions, run in ten-minute blocks over the
cores, each beat placed on its QRS template's fiducial point).

samples: the lead in any units (mV as read_recording gives them), 1-D,
    finite. A C-contiguous float64 array is used without a copy.
rate_hz: its sampling rate, 60 to 100000 Hz.
leads: other leads of the same recording (equally long, same rate): their
    beats are merged as by `rrscope-batch --leads all`.
quality: also return the unreadable stretches.
invalid: the (k, 2) [first, end) sample runs that hold no value, such as
    Recording.invalid: they are unreadable too, as rrscope-batch treats them.
method: the detector, as rrscope-batch --detector names it: "pan-tompkins".
    qrs_signal(samples, rate_hz) returns the band-passed lead it sees.

Returns the beats as a float64 array of 0-based sample positions between
samples; with quality=True a tuple (beats, unreadable), unreadable a (k, 2)
float64 array of [begin, end) sample positions where the lead is too noisy
for its beats to be trusted, and the invalid runs. Raises ValueError for bad
input, KeyboardInterrupt on Ctrl+C within a block's detection.
)doc";

constexpr const char* kCorrectDoc =
    R"doc(correct_artefacts(beats, rate_hz, samples=None)
--

Returns a Correction.

The artefact correction of rrscope-batch --correct (Lipponen and Tarvainen
2019): extra beats removed, missed ones inserted, ectopic and long or short
ones moved to the midpoint of their neighbours. With the samples at hand a
beat is inserted only where they show a QRS-like complex; where they show
none, the long interval is a pause of the heart, counted and kept.

beats: increasing sample positions (detect_beats gives them).
rate_hz: the sampling rate of the positions.
samples: the lead the beats come from, for the search of missed beats.

Returns an object with `beats` (float64), `counts` (a dict: extra, missed,
ectopic, long_short, pauses), `sources` (int8 per beat: DETECTED, MOVED or
INSERTED) and `removed` (the positions of the beats taken out).
)doc";

constexpr const char* kCorrectionDoc = R"doc(The beats after the artefact correction.

Attributes:
    beats: the corrected beats, float64 0-based sample positions.
    counts: a dict of how many beats were extra (removed), missed
        (inserted), ectopic and long_short (moved), and the pauses kept.
    sources: int8 per beat of `beats`: DETECTED, MOVED or INSERTED.
    removed: the positions of the beats taken out as extra.
)doc";

constexpr const char* kScoreDoc =
    R"doc(score_beats(detected, reference, rate_hz, window_ms=150)
--

Returns a dict.

Scores detections against reference beats as rrscope-batch --reference
does: each reference beat is matched to at most one detection within
window_ms, closest pairs first. Both are sample positions in increasing
order; beats out of order are a ValueError. Returns a dict with the keys of the
batch tool's "scoring": window_ms, tp, fn, fp, sensitivity_pct,
positive_predictivity_pct, mean_abs_error_ms, max_abs_error_ms.
)doc";

}  // namespace

void addBeatFunctions(py::module_& module) {
  module.attr("DETECTED") = static_cast<int>(editing::BeatSource::detected);
  module.attr("MOVED") = static_cast<int>(editing::BeatSource::moved);
  module.attr("INSERTED") = static_cast<int>(editing::BeatSource::inserted);

  py::class_<Correction>(module, "Correction", kCorrectionDoc)
      .def_readonly("beats", &Correction::beats)
      .def_readonly("counts", &Correction::counts)
      .def_readonly("sources", &Correction::sources)
      .def_readonly("removed", &Correction::removed)
      .def(py::pickle(
          [](const Correction& correction) {
            return py::make_tuple(correction.beats, correction.counts, correction.sources,
                                  correction.removed);
          },
          [](const py::tuple& state) {
            return Correction{state[0].cast<py::array_t<double>>(), state[1].cast<py::dict>(),
                              state[2].cast<py::array_t<std::int8_t>>(),
                              state[3].cast<py::array_t<double>>()};
          }))
      .def("__repr__", [](const Correction& correction) {
        return "<rrscope.Correction " + std::to_string(correction.beats.size()) + " beats, " +
               py::repr(correction.counts).cast<std::string>() + ">";
      });

  module.def("detect_beats", &detectBeats, py::arg("samples"), py::arg("rate_hz"), py::kw_only(),
             py::arg("leads") = py::none(), py::arg("quality") = false,
             py::arg("invalid") = py::none(), py::arg("method") = "pan-tompkins", kDetectDoc);
  module.def("correct_artefacts", &correctArtefacts, py::arg("beats"), py::arg("rate_hz"),
             py::arg("samples") = py::none(), kCorrectDoc);
  module.def("nn_intervals", &nnIntervals, py::arg("beats"), py::arg("rate_hz"),
             py::arg("unreadable") = py::none(), py::kw_only(), py::arg("classes") = py::none(),
             py::arg("ectopic") = "exclude", py::arg("ends") = false, kNnDoc);
  module.def("score_beats", &scoreBeats, py::arg("detected"), py::arg("reference"),
             py::arg("rate_hz"), py::arg("window_ms") = beats::kDefaultMatchWindowMs, kScoreDoc);
}

}  // namespace rrscope::python
