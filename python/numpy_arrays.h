#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <span>
#include <string_view>
#include <vector>

namespace rrscope::python {

namespace py = pybind11;

// A one-dimensional array of numbers as doubles. A C-contiguous float64
// array in the machine's byte order is used where it lies, without a copy;
// an array of integers, of float32, of the other byte order or a strided
// view is converted once. Anything else is a ValueError naming `name`:
// another kind of data (text, complex, objects, booleans) or more than one
// dimension.
class NumberArray {
 public:
  NumberArray(const py::handle& object, std::string_view name);
  std::span<const double> values() const { return values_; }

 private:
  py::array_t<double> array_;  // keeps the numbers alive
  std::span<const double> values_;
};

// A ValueError when `values` hold NaN or an infinity, naming the first.
void requireFinite(std::span<const double> values, std::string_view name);

// Hands `values` to numpy without a copy: the array owns the vector.
py::array_t<double> arrayOf(std::vector<double>&& values);

}  // namespace rrscope::python
