#pragma once

#include <pybind11/pybind11.h>

namespace rrscope::python {

// Turns the errors of the layers into Python's: a file that cannot be read
// is an OSError, with the batch tool's message; bad input a ValueError.
void registerErrors(pybind11::module_& module);

}  // namespace rrscope::python
