#include "numpy_arrays.h"

#include <cmath>
#include <string>

namespace rrscope::python {
namespace {

std::string typeNameOf(const py::handle& object) {
  return py::str(py::type::handle_of(object).attr("__name__")).cast<std::string>();
}

py::array asNumpyArray(const py::handle& object, std::string_view name) {
  if (py::isinstance<py::array>(object)) return py::reinterpret_borrow<py::array>(object);
  // Lists and tuples of numbers are welcome; numpy decides what they hold.
  const py::module_ numpy = py::module_::import("numpy");
  try {
    return numpy.attr("asarray")(object);
  } catch (const py::error_already_set&) {
    throw py::value_error(std::string(name) + " must be an array of numbers, not " +
                          typeNameOf(object));
  }
}

}  // namespace

NumberArray::NumberArray(const py::handle& object, std::string_view name) {
  const py::array array = asNumpyArray(object, name);
  const char kind = array.dtype().kind();
  if (kind != 'f' && kind != 'i' && kind != 'u') {
    throw py::value_error(std::string(name) + " must hold real numbers, not dtype " +
                          py::str(array.dtype()).cast<std::string>());
  }
  if (array.ndim() != 1) {
    throw py::value_error(std::string(name) + " must be one-dimensional, not of shape " +
                          py::str(py::tuple(array.attr("shape"))).cast<std::string>());
  }
  // Only contiguous native doubles are used where they lie: float64 of the
  // other byte order ('>f8' on this machine) holds the same bits in
  // reverse, and a strided view (a column of a 2-D array, as wfdb's
  // p_signal[:, 0]) is copied once into a contiguous array, as integers and
  // float32 are converted.
  if (py::array_t<double>::check_(array) && (array.flags() & py::array::c_style)) {
    array_ = py::reinterpret_borrow<py::array_t<double>>(array);
  } else {
    array_ = py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(array);
  }
  values_ = std::span<const double>(array_.data(), static_cast<std::size_t>(array_.size()));
}

void requireFinite(std::span<const double> values, std::string_view name) {
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (!std::isfinite(values[i])) {
      throw py::value_error(std::string(name) + "[" + std::to_string(i) + "] is " +
                            (std::isnan(values[i]) ? "nan" : "infinite") +
                            ": every value must be a finite number");
    }
  }
}

py::array_t<double> arrayOf(std::vector<double>&& values) {
  auto* owned = new std::vector<double>(std::move(values));
  const py::capsule release(owned,
                            [](void* vector) { delete static_cast<std::vector<double>*>(vector); });
  return py::array_t<double>(static_cast<py::ssize_t>(owned->size()), owned->data(), release);
}

}  // namespace rrscope::python
