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

// Two sections in cascade, each without phase shift: `signal` becomes
// `first` applied forward and backward, and `out` (as long as `signal`) that
// result with `second` applied backward and forward. The two backward passes
// run in one loop, so that the processor works on both at once.
void filterZeroPhaseCascade(const Biquad& first, std::span<double> signal, const Biquad& second,
                            std::span<double> out);

}  // namespace rrscope::beats
