#include "stretch_arrays.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace rrscope::python {

py::array_t<double> stretchArray(const std::vector<beats::SampleStretch>& stretches) {
  py::array_t<double> array({static_cast<py::ssize_t>(stretches.size()), py::ssize_t{2}});
  auto view = array.mutable_unchecked<2>();
  for (std::size_t i = 0; i < stretches.size(); ++i) {
    view(i, 0) = stretches[i].begin;
    view(i, 1) = stretches[i].end;
  }
  return array;
}

std::vector<beats::SampleStretch> sampleStretches(const py::object& object,
                                                  const std::string& name) {
  std::vector<beats::SampleStretch> unreadable;
  if (object.is_none()) return unreadable;
  const py::array_t<double> stretches = py::array_t<double>::ensure(object);
  if (!stretches || stretches.ndim() != 2 || stretches.shape(1) != 2) {
    throw py::value_error(name + " must be a (k, 2) array of [begin, end) sample positions");
  }
  const auto view = stretches.unchecked<2>();
  for (py::ssize_t i = 0; i < view.shape(0); ++i) {
    const beats::SampleStretch stretch{view(i, 0), view(i, 1)};
    if (!std::isfinite(stretch.begin) || !std::isfinite(stretch.end) ||
        stretch.begin > stretch.end) {
      throw py::value_error(name + "[" + std::to_string(i) +
                            "] is no stretch: [begin, end) must be finite sample positions "
                            "with begin <= end");
    }
    unreadable.push_back(stretch);
  }
  std::ranges::sort(unreadable, {}, &beats::SampleStretch::begin);
  return unreadable;
}

}  // namespace rrscope::python
