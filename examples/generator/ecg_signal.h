#pragma once

#include <cstdint>
#include <iosfwd>

namespace rrscope {

// Writes an ECG-like signal at 6000 samples per second, one value in mV with
// three decimals per line (LF line ends): P, QRS and T waves of about 1.1 mV
// at 60 to 80 beats per minute with breathing-like variability, baseline
// wander and a little noise. The same seed gives the same file.
void writeEcgSignal(std::ostream& out, std::int64_t lines, std::uint32_t seed = 1);

}  // namespace rrscope
