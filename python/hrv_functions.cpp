#include "hrv_functions.h"

#include <pybind11/stl.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "hrv/hrv_measures.h"
#include "numpy_arrays.h"

namespace rrscope::python {
namespace {

// The measures as the batch tool's JSON line gives them: every key, None
// where undefined, and `undefined` mapping those keys to the reason.
py::dict measureDict(const hrv::Measures& measures) {
  py::dict values;
  py::dict reasons;
  for (const hrv::Measure measure : hrv::allMeasures()) {
    const std::string key(hrv::measureKey(measure));
    const hrv::MeasureValue& value = measures[measure];
    if (value.defined()) {
      values[key.c_str()] = value.value();
    } else {
      values[key.c_str()] = py::none();
      reasons[key.c_str()] = std::string(hrv::undefinedText(value.reason()));
    }
  }
  values["undefined"] = reasons;
  return values;
}

// The intervals as the batch tool takes them from an RR file: each a
// finite number of milliseconds within the range of a heart.
void requireIntervals(std::span<const double> intervals) {
  requireFinite(intervals, "intervals_ms");
  for (std::size_t i = 0; i < intervals.size(); ++i) {
    if (!hrv::isValidInterval(intervals[i])) {
      throw py::value_error("intervals_ms[" + std::to_string(i) +
                            "] = " + py::str(py::float_(intervals[i])).cast<std::string>() +
                            " is outside 10 ms to 3600000 ms, the intervals of a heart");
    }
  }
}

hrv::MeasureOptions measureOptions(const std::optional<std::string>& detrend, double lambda) {
  hrv::MeasureOptions options;
  if (!detrend || *detrend == "none") return options;
  if (*detrend != "smoothness-priors") {
    throw py::value_error("detrend must be None, \"none\" or \"smoothness-priors\", not \"" +
                          *detrend + "\"");
  }
  if (!hrv::isValidLambda(lambda)) {
    throw py::value_error("lambda_ = " + py::str(py::float_(lambda)).cast<std::string>() + " " +
                          std::string(hrv::kLambdaRangeReason));
  }
  options.detrend = hrv::Detrend::smoothnessPriors;
  options.lambda = lambda;
  return options;
}

constexpr const char* kWindowsWanted =
    "windows must be (width_s, step_s), both positive numbers of seconds";

hrv::WindowSpec windowSpec(const py::object& windows) {
  std::pair<double, double> pair;
  try {
    pair = windows.cast<std::pair<double, double>>();
  } catch (const py::cast_error&) {
    throw py::value_error(kWindowsWanted);
  }
  if (!std::isfinite(pair.first) || !std::isfinite(pair.second) || pair.first <= 0 ||
      pair.second <= 0) {
    throw py::value_error(kWindowsWanted);
  }
  if (pair.second < hrv::kMinWindowStepSeconds) {
    throw py::value_error("windows step_s " + std::string(hrv::kWindowStepReason));
  }
  return {pair.first, pair.second};
}

// The windows of the intervals, or a ValueError naming `windows` when they
// would be more than one series may be cut into.
std::vector<hrv::WindowMeasures> measuredWindows(std::span<const double> intervals,
                                                 const hrv::WindowSpec& layout,
                                                 const hrv::MeasureOptions& options) {
  std::optional<std::string> tooMany;
  std::vector<hrv::WindowMeasures> list;
  {
    const py::gil_scoped_release released;
    try {
      list = hrv::windowedMeasures(intervals, layout, options);
    } catch (const hrv::TooManyWindows& error) {
      tooMany = error.what();
    }
  }
  if (tooMany) {
    throw py::value_error("windows cut the intervals into " + *tooMany + "; give a longer step_s");
  }
  return list;
}

py::object measuresOf(const py::object& intervalsObject, const std::optional<std::string>& detrend,
                      const py::object& windows, double lambda) {
  const NumberArray intervals(intervalsObject, "intervals_ms");
  requireIntervals(intervals.values());
  const hrv::MeasureOptions options = measureOptions(detrend, lambda);
  if (windows.is_none()) {
    hrv::Measures measures;
    {
      const py::gil_scoped_release released;
      measures = hrv::computeMeasures(intervals.values(), options);
    }
    return measureDict(measures);
  }
  const std::vector<hrv::WindowMeasures> list =
      measuredWindows(intervals.values(), windowSpec(windows), options);
  py::list result;
  for (const hrv::WindowMeasures& window : list) {
    py::dict item = measureDict(window.measures);
    item["start_s"] = window.startSeconds;
    item["end_s"] = window.endSeconds;
    item["intervals"] = window.intervals;
    result.append(item);
  }
  return result;
}

constexpr const char* kHrvDoc =
    R"doc(hrv(intervals_ms, detrend=None, windows=None, *, lambda_=500.0)

Every heart rate variability measure of rrscope-batch --hrv: time domain,
geometric, Poincare, Welch, AR and Lomb-Scargle spectra, entropies and DFA,
the same values to the last bit.

intervals_ms: the NN intervals in ms, in the order of their beats; each
    within 10 ms to 1 hour.
detrend: None or "smoothness-priors" (the trend of Tarvainen et al. 2002,
    lambda_ from 10 to 1000000, removed from the 4 Hz series before the
    Welch and AR spectra).
windows: (width_s, step_s), e.g. (300, 30): the measures of each window
    instead, as rrscope-batch --windows gives them; step_s at least 1 s, and
    at most 50,000 windows.

Returns a dict of every measure under the keys of the batch tool's JSON
line ("mean_nn_ms", "rmssd_ms", ...), None where a measure is undefined,
and "undefined" mapping those keys to the reason. With windows, a list of
such dicts, each also with start_s, end_s and intervals.
)doc";

}  // namespace

void addHrvFunctions(py::module_& module) {
  module.def("hrv", &measuresOf, py::arg("intervals_ms"), py::arg("detrend") = py::none(),
             py::arg("windows") = py::none(), py::kw_only(), py::arg("lambda_") = 500.0, kHrvDoc);
}

}  // namespace rrscope::python
