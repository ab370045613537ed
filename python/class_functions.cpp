#include "class_functions.h"

#include <string_view>

#include "beat_arguments.h"
#include "beats/beat_classification.h"
#include "beats/sample_source.h"
#include "numpy_arrays.h"
#include "pipeline/ectopic_names.h"

namespace rrscope::python {
namespace {

// Every beat a sample position inside the lead, as the classifier reads
// the samples around it.
void requireInside(std::span<const double> beats, std::size_t sampleCount) {
  for (std::size_t i = 0; i < beats.size(); ++i) {
    if (beats[i] < 0 || beats[i] >= static_cast<double>(sampleCount)) {
      throw py::value_error("beats[" + std::to_string(i) +
                            "] lies outside the samples: beats are 0-based positions in them");
    }
  }
}

std::string classifyBeats(const py::object& samplesObject, double rateHz,
                          const py::object& beatsObject) {
  const NumberArray samples(samplesObject, "samples");
  requireFinite(samples.values(), "samples");
  requireRate(rateHz);
  const NumberArray beats(beatsObject, "beats");
  requireFinite(beats.values(), "beats");
  requireIncreasing(beats.values(), "beats");
  requireInside(beats.values(), samples.values().size());
  std::vector<beats::BeatClass> classes;
  {
    const py::gil_scoped_release released;
    classes = beats::classifyBeats(beats::SpanSamples(samples.values()), rateHz, beats.values());
  }
  return beats::beatClassLetters(classes);
}

constexpr const char* kClassifyDoc = R"doc(classify_beats(samples, rate_hz, beats)
--

Returns a str.

The class of every beat as rrscope-batch --classes gives it, one letter per
beat in the ANSI/AAMI EC57 groups: N normal, S supraventricular ectopic, V
ventricular ectopic, F fusion, Q paced or unclassifiable.

samples: the lead the beats come from, 1-D, finite; rate_hz: its rate;
beats: increasing 0-based sample positions in it (detect_beats, or
correct_artefacts(...).beats, gives them).

Returns a str as long as beats, such as "NNNVNN"; nn_intervals takes it as
`classes`. Raises ValueError for bad input.
)doc";

}  // namespace

std::vector<beats::BeatClass> classesOfLetters(const py::object& letters, std::size_t beatCount) {
  if (letters.is_none()) return {};
  if (!py::isinstance<py::str>(letters)) {
    throw py::value_error("classes must be a str of one letter N, S, V, F or Q per beat");
  }
  const std::string text = letters.cast<std::string>();
  if (text.size() != beatCount) {
    throw py::value_error("classes holds " + std::to_string(text.size()) + " letters for " +
                          std::to_string(beatCount) + " beats: one letter per beat");
  }
  std::vector<beats::BeatClass> classes;
  classes.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::optional<beats::BeatClass> beatClass = beats::beatClassOfLetter(text[i]);
    if (!beatClass) {
      throw py::value_error("classes[" + std::to_string(i) + "] is no class: N, S, V, F or Q");
    }
    classes.push_back(*beatClass);
  }
  return classes;
}

pipeline::EctopicHandling ectopicHandlingOf(const std::string& name) {
  const std::optional<pipeline::EctopicHandling> handling = pipeline::ectopicHandlingNamed(name);
  if (!handling) throw py::value_error("ectopic must be \"exclude\" or \"interpolate\"");
  return *handling;
}

void addClassFunctions(py::module_& module) {
  module.def("classify_beats", &classifyBeats, py::arg("samples"), py::arg("rate_hz"),
             py::arg("beats"), kClassifyDoc);
}

}  // namespace rrscope::python
