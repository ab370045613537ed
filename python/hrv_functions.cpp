#include "hrv_functions.h"

#include <pybind11/stl.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "hrv/hrv_measures.h"
#include "interruptible.h"
#include "measure_curves.h"
#include "measure_help.h"
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
    "windows must be (width_s, step_s) or \"WIDTH:STEP\", both positive numbers of seconds, "
    "such as (300, 30) or \"300:30\"";

// "300:30" as rrscope-batch --windows takes it, or a pair of numbers.
std::pair<double, double> windowNumbers(const py::object& windows) {
  py::object pair = windows;
  if (py::isinstance<py::str>(windows)) pair = windows.attr("split")(":");
  if (py::isinstance<py::str>(pair) || py::len(pair) != 2) throw py::value_error(kWindowsWanted);
  const py::sequence items = pair.cast<py::sequence>();
  for (const py::handle item : items) {
    if (py::isinstance<py::bool_>(item)) throw py::value_error(kWindowsWanted);
  }
  return {py::float_(items[0]).cast<double>(), py::float_(items[1]).cast<double>()};
}

hrv::WindowSpec windowSpec(const py::object& windows) {
  std::pair<double, double> pair;
  try {
    pair = windowNumbers(windows);
  } catch (const py::error_already_set&) {
    throw py::value_error(std::string(kWindowsWanted) + ", not " +
                          py::repr(windows).cast<std::string>());
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
                                                 std::span<const double> endsMs,
                                                 const hrv::WindowSpec& layout,
                                                 const hrv::MeasureOptions& options) {
  std::optional<std::string> tooMany;
  std::vector<hrv::WindowMeasures> list =
      runInterruptibly([&](const Checkpoint& checkpoint) -> std::vector<hrv::WindowMeasures> {
        try {
          if (endsMs.empty()) return hrv::windowedMeasures(intervals, layout, options, checkpoint);
          return hrv::windowedMeasures(intervals, endsMs, endsMs.back(), layout, options,
                                       checkpoint);
        } catch (const hrv::TooManyWindows& error) {
          tooMany = error.what();
          return {};
        }
      });
  if (tooMany) {
    throw py::value_error("windows cut the intervals into " + *tooMany + "; give a longer step_s");
  }
  return list;
}

// The end times of the intervals, as nn_intervals(..., ends=True) gives
// them: one per interval, finite and increasing.
std::optional<NumberArray> intervalEnds(const py::object& endsObject, std::size_t intervals) {
  if (endsObject.is_none()) return std::nullopt;
  NumberArray ends(endsObject, "ends_ms");
  requireFinite(ends.values(), "ends_ms");
  if (ends.values().size() != intervals) {
    throw py::value_error("ends_ms holds " + std::to_string(ends.values().size()) + " ends for " +
                          std::to_string(intervals) +
                          " intervals: one end per interval, as nn_intervals(..., ends=True) "
                          "gives them");
  }
  if (std::ranges::adjacent_find(ends.values(), std::greater_equal<>()) != ends.values().end()) {
    throw py::value_error("ends_ms must be increasing");
  }
  return ends;
}

// An Analysis brings its NN series and the times its intervals end.
bool isAnalysis(const py::object& object) {
  return py::hasattr(object, "nn_ms") && py::hasattr(object, "nn_ends_ms");
}

py::object measuresOf(const py::object& series, const std::optional<std::string>& detrend,
                      const py::object& windows, double lambda, const py::object& givenEnds,
                      bool curves, bool asFrame) {
  const bool analysis = isAnalysis(series);
  const py::object intervalsObject = analysis ? series.attr("nn_ms") : series;
  const py::object endsObject =
      analysis && givenEnds.is_none() ? series.attr("nn_ends_ms") : givenEnds;
  const NumberArray intervals(intervalsObject, "intervals_ms");
  requireIntervals(intervals.values());
  const std::optional<NumberArray> ends = intervalEnds(endsObject, intervals.values().size());
  const hrv::MeasureOptions options = measureOptions(detrend, lambda);
  if (windows.is_none()) {
    hrv::Measures measures;
    {
      const py::gil_scoped_release released;
      measures = hrv::computeMeasures(intervals.values(), options);
    }
    py::dict values = measureDict(measures);
    if (curves) values["curves"] = measureCurves(measures, intervals.values());
    if (!asFrame) return values;
    values.attr("pop")("curves", py::none());
    py::list rows;
    rows.append(values);
    return measureFrame(rows);
  }
  if (curves) {
    throw py::value_error(
        "curves are those of one series: hrv(..., windows=...) keeps the "
        "values of each window only");
  }
  const std::vector<hrv::WindowMeasures> list =
      measuredWindows(intervals.values(), ends ? ends->values() : std::span<const double>(),
                      windowSpec(windows), options);
  py::list result;
  for (const hrv::WindowMeasures& window : list) {
    py::dict item = measureDict(window.measures);
    item["start_s"] = window.startSeconds;
    item["end_s"] = window.endSeconds;
    item["intervals"] = window.intervals;
    result.append(item);
  }
  if (asFrame) return measureFrame(result);
  return result;
}

constexpr const char* kHrvDoc =
    R"doc(hrv(intervals_ms, detrend=None, windows=None, *, lambda_=500.0, ends_ms=None, curves=False, as_frame=False)
--


Every heart rate variability measure of rrscope-batch --hrv: time domain,
geometric, Poincare, Welch, AR and Lomb-Scargle spectra, entropies and DFA,
the same values to the last bit.

intervals_ms: the NN intervals in ms, in the order of their beats; each
    within 10 ms to 1 hour. An Analysis stands for its nn_ms and nn_ends_ms.
detrend: None or "smoothness-priors" (the trend of Tarvainen et al. 2002,
    lambda_ from 10 to 1000000, removed from the 4 Hz series before the
    Welch and AR spectra).
windows: (width_s, step_s) or "WIDTH:STEP", e.g. (300, 30) or "300:30":
    the measures of each window instead, as rrscope-batch --windows gives
    them; step_s at least 1 s, and at most 50,000 windows.
ends_ms: when each interval ends, as nn_intervals(..., ends=True) gives
    it: the windows then follow the recording's clock across the gaps the
    left-out intervals leave, as rrscope-batch --windows lays them. Without
    it, the running sum of the intervals is the clock.

Returns a dict of every measure under the keys of the batch tool's JSON
line ("mean_nn_ms", "rmssd_ms", ...), None where a measure is undefined,
and "undefined" mapping those keys to the reason. With windows, a list of
such dicts, each also with start_s, end_s and intervals. Ctrl+C stops a
long run of windows with KeyboardInterrupt.

curves: also "curves", what the measures of one series were read from:
    "histogram" (left_edges_ms, counts, bin_width_ms), "triangle" (the TINN
    corners n_ms, x_ms, m_ms and height y, or None), "welch", "ar" and
    "lomb_scargle" (frequencies_hz, density_ms2_per_hz), "dfa" (box_sizes,
    fluctuation, and the alpha1 and alpha2 lines of log10 F on log10 n) and
    "poincare" (x_ms, y_ms: each interval against the next).
as_frame: a pandas DataFrame instead, one row per window (one for a
    series), the reason of each undefined value in "<key>_undefined".
    Needs pandas, which rrscope otherwise does without.

The keys, their units and conventions (README: the conventions table):

)doc";

}  // namespace

void addHrvFunctions(py::module_& module) {
  module.def("hrv", &measuresOf, py::arg("intervals_ms"), py::arg("detrend") = py::none(),
             py::arg("windows") = py::none(), py::kw_only(), py::arg("lambda_") = 500.0,
             py::arg("ends_ms") = py::none(), py::arg("curves") = false,
             py::arg("as_frame") = false, (kHrvDoc + measureKeysHelp()).c_str());
}

}  // namespace rrscope::python
