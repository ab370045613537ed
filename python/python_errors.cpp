#include "python_errors.h"

#include <exception>

#include "analysis/error_sentence.h"
#include "analysis/run_error.h"
#include "interruptible.h"
#include "recordings/recording_error.h"

namespace rrscope::python {

void registerErrors(pybind11::module_&) {
  pybind11::register_exception_translator([](std::exception_ptr thrown) {
    try {
      if (thrown) std::rethrow_exception(thrown);
    } catch (const recordings::RecordingError& error) {
      PyErr_SetString(PyExc_OSError, error.what());
    } catch (const analysis::RunError& error) {
      // The batch tool's sentence, which names the file and the reason.
      PyErr_SetString(PyExc_OSError, errorMessage(error.facts()).c_str());
    } catch (const Interrupted&) {
      PyErr_SetNone(PyExc_KeyboardInterrupt);
    }
  });
}

}  // namespace rrscope::python
