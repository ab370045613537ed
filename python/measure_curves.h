#pragma once

#include <pybind11/pybind11.h>

#include <span>

#include "hrv/hrv_measures.h"

namespace rrscope::python {

// What the measures were read from, as numpy arrays for a plot: the
// histogram with the TINN triangle, the Welch, AR and Lomb-Scargle
// densities, the DFA fluctuation curve with its fits, and the Poincare
// points of `intervalsMs`.
pybind11::dict measureCurves(const hrv::Measures& measures, std::span<const double> intervalsMs);

// `rows` (dicts of hrv()) as a pandas DataFrame, one row each; the reason
// of each undefined value in a column of its own, "<key>_undefined". An
// ImportError that names the package where pandas is not installed.
pybind11::object measureFrame(const pybind11::list& rows);

}  // namespace rrscope::python
