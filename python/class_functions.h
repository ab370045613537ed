#pragma once

#include <pybind11/pybind11.h>

#include <cstddef>
#include <string>
#include <vector>

#include "beats/beat_class.h"
#include "pipeline/readable_series.h"

namespace rrscope::python {

// classify_beats.
void addClassFunctions(pybind11::module_& module);

// The classes a str of one letter N, S, V, F or Q per beat names; nothing,
// every beat counting as N, for None. A ValueError for anything else, or a
// str of another length than `beatCount`.
std::vector<beats::BeatClass> classesOfLetters(const pybind11::object& letters,
                                               std::size_t beatCount);

// "exclude" or "interpolate", as rrscope-batch --ectopic takes them; a
// ValueError for anything else.
pipeline::EctopicHandling ectopicHandlingOf(const std::string& name);

}  // namespace rrscope::python
