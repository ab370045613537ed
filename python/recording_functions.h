#pragma once

#include <pybind11/pybind11.h>

namespace rrscope::python {

// read_recording, the Recording class and read_annotations.
void addRecordingFunctions(pybind11::module_& module);

}  // namespace rrscope::python
