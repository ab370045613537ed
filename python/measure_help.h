#pragma once

#include <string>

namespace rrscope::python {

// Every key of the dict hrv() returns, one a line, with its unit and the
// convention it follows: the part of hrv's help that names the keys.
std::string measureKeysHelp();

}  // namespace rrscope::python
