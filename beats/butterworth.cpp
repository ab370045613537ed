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

// The state of a transposed direct form II section that has seen `input`
// for ever: its output is then the section's gain at 0 Hz times the input.
struct State {
  double z1, z2;
};

State steadyState(const Biquad& s, double input) {
  const double output = input * (s.b0 + s.b1 + s.b2) / (1.0 + s.a1 + s.a2);
  const double z2 = s.b2 * input - s.a2 * output;
  return {s.b1 * input - s.a1 * output + z2, z2};
}

// One step of a transposed direct form II section.
inline double step(const Biquad& s, State& state, double x) {
  const double y = s.b0 * x + state.z1;
  state.z1 = s.b1 * x - s.a1 * y + state.z2;
  state.z2 = s.b2 * x - s.a2 * y;
  return y;
}

template <class Iterator>
void filterPass(const Biquad& s, Iterator begin, Iterator end) {
  if (begin == end) return;
  State state = steadyState(s, *begin);
  for (auto it = begin; it != end; ++it) {
    const double x = *it;
    const double y = s.b0 * x + state.z1;
    state.z1 = s.b1 * x - s.a1 * y + state.z2;
    state.z2 = s.b2 * x - s.a2 * y;
    *it = y;
  }
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
