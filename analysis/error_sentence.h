#pragma once

#include <string>
#include <string_view>

#include "analysis/run_error.h"

namespace rrscope::analysis {

// The option that sets a parameter box: "--threshold" for Text1, ...
std::string_view parameterOption(TextBox box);

// The report of an error as the batch tool and the Python module give it: one English sentence
// that names options, files and lines, never the window's controls.
std::string errorMessage(const ErrorFacts& facts);

}  // namespace rrscope::analysis
