#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <string>
#include <vector>

#include "beats/detected_beats.h"

namespace rrscope::python {

namespace py = pybind11;

// The stretches as a (k, 2) float64 array of [begin, end) sample positions.
py::array_t<double> stretchArray(const std::vector<beats::SampleStretch>& stretches);

// The (k, 2) stretches `name` of detect_beats(..., quality=True) or of a
// recording's invalid runs, in the order of time: each a finite [begin,
// end) with begin <= end; none for None. A ValueError naming `name` for
// anything else.
std::vector<beats::SampleStretch> sampleStretches(const py::object& object,
                                                  const std::string& name);

}  // namespace rrscope::python
