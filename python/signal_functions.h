#pragma once

#include <pybind11/pybind11.h>

namespace rrscope::python {

// qrs_signal: what the detector's decisions see of a lead.
void addSignalFunctions(pybind11::module_& module);

}  // namespace rrscope::python
