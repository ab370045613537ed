// Built when the program is configured without the window: --png is then
// refused before anything runs, so a WindowRunner is never made.
#include <stdexcept>

#include "batch/file_runs.h"

namespace rrscope::batch {

struct WindowRunner::Application {};

bool WindowRunner::available() {
  return false;
}

WindowRunner::WindowRunner(int&, char**) {
  throw std::logic_error("the window is not part of this build");
}

WindowRunner::~WindowRunner() = default;

void WindowRunner::run(std::string_view, const ParameterTexts&, const std::string&,
                       const OutcomeUse&) {
  throw std::logic_error("the window is not part of this build");
}

}  // namespace rrscope::batch
