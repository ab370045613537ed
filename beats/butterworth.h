#pragma once

#include <span>

namespace rrscope::beats {

// One second-order section, y = (b0 + b1 z^-1 + b2 z^-2) / (1 + a1 z^-1 + a2 z^-2).
struct Biquad {
  double b0, b1, b2, a1, a2;
};

// Second-order Butterworth sections by the bilinear transform, the cut-off
// pre-warped so that it lands exactly at `cutoffHz`.
Biquad butterworthLowPass(double cutoffHz, double rate);
Biquad butterworthHighPass(double cutoffHz, double rate);

// Runs the section over `signal` in place, forward and then backward, so the
// result has no phase shift: a peak stays where it was. Each pass starts in
// the steady state of its first value, so a baseline offset causes no
// start-up transient.
void filterZeroPhase(const Biquad& section, std::span<double> signal);

}  // namespace rrscope::beats
