#pragma once

#include <pybind11/pybind11.h>

namespace rrscope::python {

// hrv: the measures of an interval series, whole or in windows.
void addHrvFunctions(pybind11::module_& module);

}  // namespace rrscope::python
