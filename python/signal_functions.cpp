#include "signal_functions.h"

#include <vector>

#include "beat_arguments.h"
#include "beats/qrs_signals.h"
#include "beats/r_peak_detector.h"
#include "beats/sample_source.h"
#include "numpy_arrays.h"

namespace rrscope::python {
namespace {

// The full-rate sample position each reduced sample stands for.
std::vector<double> fullRatePositions(const beats::ReducedSignal& reduced, std::size_t count) {
  std::vector<double> positions(count);
  for (std::size_t k = 0; k < count; ++k) {
    positions[k] = static_cast<double>(k) * static_cast<double>(reduced.factor) + reduced.offset;
  }
  return positions;
}

py::dict qrsSignal(const py::object& samplesObject, double rateHz) {
  const NumberArray samples(samplesObject, "samples");
  if (samples.values().empty())
    throw py::value_error("samples is empty: there is nothing to filter");
  requireFinite(samples.values(), "samples");
  requireRate(rateHz);
  beats::checkDetectionRate(rateHz);
  beats::ReducedSignal reduced;
  beats::ShapeAndQrsSignals signals;
  {
    const py::gil_scoped_release released;
    reduced = beats::reduceRate(beats::SpanSamples(samples.values()), rateHz);
    signals = beats::computeShapeAndQrsSignals(reduced.samples, reduced.rate);
  }
  py::dict result;
  result["rate_hz"] = reduced.rate;
  result["positions"] = arrayOf(fullRatePositions(reduced, reduced.samples.size()));
  result["band_passed"] = arrayOf(std::move(signals.qrs.bandPassed));
  result["integrated"] = arrayOf(std::move(signals.qrs.integrated));
  result["low_passed"] = arrayOf(std::move(signals.lowPassed));
  return result;
}

constexpr const char* kQrsSignalDoc = R"doc(qrs_signal(samples, rate_hz)
--

What the detector's decisions see of a lead: the lead at the decision
rate (block means above it), without pacing spikes, band-passed to the QRS
frequencies (5-30 Hz, forward and backward, so nothing is delayed), and
the moving integration of its squared slope over 150 ms on which the
thresholds are set. detect_beats filters ten-minute blocks with margins of
20 s; this filters the whole lead at once, which differs only within a
second or so of the ends.

Returns a dict: rate_hz (the decision rate), positions (the full-rate
sample position each value stands for), band_passed, integrated, and
low_passed (the lead below 30 Hz, on which beats are placed).
)doc";

}  // namespace

void addSignalFunctions(py::module_& module) {
  module.def("qrs_signal", &qrsSignal, py::arg("samples"), py::arg("rate_hz"), kQrsSignalDoc);
}

}  // namespace rrscope::python
