#pragma once

#include <pybind11/pybind11.h>

namespace rrscope::python {

// detect_beats, correct_artefacts and score_beats.
void addBeatFunctions(pybind11::module_& module);

}  // namespace rrscope::python
