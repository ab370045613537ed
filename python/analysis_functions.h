#pragma once

#include <pybind11/pybind11.h>

namespace rrscope::python {

// analyse and the Analysis it returns.
void addAnalysisFunctions(pybind11::module_& module);

}  // namespace rrscope::python
