#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "hrv/hrv_measures.h"

namespace rrscope::hrv {

// An autoregressive model x_t = -sum_k a_k x_{t-k} + e_t.
struct ArModel {
  std::vector<double> coefficients;  // a_1 ... a_p
  double errorPower = 0;             // the variance of e, E_p
};

// Burg's method of order `order` on `series` (its mean already removed):
// E_0 = mean(x^2); k_p = -2 sum f b / (sum f^2 + sum b^2); Levinson update
// of the coefficients; E_p = E_{p-1} (1 - k_p^2). Once the errors are all
// 0 (a series of zeros) the further k_p are 0. Needs more values than the
// order.
ArModel burgModel(std::span<const double> series, std::size_t order);

// The model's one-sided density in (units of x)^2 per Hz at f = j * rate /
// fftLength, j = 0 ... fftLength / 2: P(f) = 2 E / (rate |A(e^{-i 2 pi f /
// rate})|^2) with A(z) = 1 + sum a_k z^-k, not doubled at 0 and at rate / 2.
Spectrum arSpectrum(const ArModel& model, double rateHz, std::size_t fftLength);

}  // namespace rrscope::hrv
