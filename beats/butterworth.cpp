#include "beats/butterworth.h"

#include <cmath>
#include <numbers>

namespace rrscope::beats {
namespace {

// Q of a second-order Butterworth section: the maximally flat pass band.
constexpr double kButterworthQ = std::numbers::sqrt2 / 2;

struct Prewarped {
  double k, norm;
};

Prewarped prewarp(double cutoffHz, double rate) {
  const double k = std::tan(std::numbers::pi * cutoffHz / rate);
  return {k, 1.0 / (1.0 + k / kButterworthQ + k * k)};
}

Biquad withPoles(double b0, double b1, double b2, const Prewarped& p) {
  return {b0, b1, b2, 2.0 * (p.k * p.k - 1.0) * p.norm,
          (1.0 - p.k / kButterworthQ + p.k * p.k) * p.norm};
}

// The last two inputs and outputs of a direct form I section. Its output
// waits on only one multiply-add of the output before it, where the
// transposed form II waits on two, so a pass over a long lead runs nearly
// twice as fast; in double precision the two forms agree to the rounding.
struct State {
  double x1, x2, y1, y2;
};

// The state of a section that has seen `input` for ever: its output is then
// the section's gain at 0 Hz times the input.
State steadyState(const Biquad& s, double input) {
  const double output = input * (s.b0 + s.b1 + s.b2) / (1.0 + s.a1 + s.a2);
  return {input, input, output, output};
}

// One step of the section; the terms that do not wait on the last output
// are summed first.
inline double step(const Biquad& s, State& state, double x) {
  const double ahead = s.b0 * x + s.b1 * state.x1 + s.b2 * state.x2 - s.a2 * state.y2;
  const double y = ahead - s.a1 * state.y1;
  state.x2 = state.x1;
  state.x1 = x;
  state.y2 = state.y1;
  state.y1 = y;
  return y;
}

template <class Iterator>
void filterPass(const Biquad& s, Iterator begin, Iterator end) {
  if (begin == end) return;
  State state = steadyState(s, *begin);
  for (auto it = begin; it != end; ++it) *it = step(s, state, *it);
}

}  // namespace

Biquad butterworthLowPass(double cutoffHz, double rate) {
  const Prewarped p = prewarp(cutoffHz, rate);
  const double b0 = p.k * p.k * p.norm;
  return withPoles(b0, 2.0 * b0, b0, p);
}

Biquad butterworthHighPass(double cutoffHz, double rate) {
  const Prewarped p = prewarp(cutoffHz, rate);
  return withPoles(p.norm, -2.0 * p.norm, p.norm, p);
}

void filterZeroPhase(const Biquad& section, std::span<double> signal) {
  filterPass(section, signal.begin(), signal.end());
  filterPass(section, signal.rbegin(), signal.rend());
}

void filterZeroPhaseCascade(const Biquad& first, std::span<double> signal, const Biquad& second,
                            std::span<double> out) {
  if (signal.empty()) return;
  filterPass(first, signal.begin(), signal.end());
  const std::size_t n = signal.size();
  State back = steadyState(first, signal[n - 1]);
  State secondBack{};
  for (std::size_t k = n; k-- > 0;) {
    const double y = step(first, back, signal[k]);
    signal[k] = y;
    if (k == n - 1) secondBack = steadyState(second, y);
    out[k] = step(second, secondBack, y);
  }
  filterPass(second, out.begin(), out.end());
}

}  // namespace rrscope::beats
