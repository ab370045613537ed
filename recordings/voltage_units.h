#pragma once

#include <string>

namespace rrscope::recordings {

// Millivolts per unit for the units of ECG: V, mV, uV and µV (in UTF-8 or
// Latin-1); 0 for any other unit. Every reader gives ECG in millivolts, so
// that the same lead stored in any of them yields the same figures.
double millivoltsPer(const std::string& units);

}  // namespace rrscope::recordings
