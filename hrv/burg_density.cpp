#include "hrv/burg_density.h"

#include <cmath>
#include <numbers>

namespace rrscope::hrv {
namespace {

// The stage's reflection coefficient from the forward errors f_t and the
// backward errors b_{t-1} of the previous stage, t = stage ... N - 1. With
// no error left (a series of zeros) the model needs no further term.
double reflectionCoefficient(std::span<const double> forward, std::span<const double> backward,
                             std::size_t stage) {
  double cross = 0;
  double energy = 0;
  for (std::size_t t = stage; t < forward.size(); ++t) {
    cross += forward[t] * backward[t - 1];
    energy += forward[t] * forward[t] + backward[t - 1] * backward[t - 1];
  }
  return energy == 0 ? 0 : -2 * cross / energy;
}

// f_t <- f_t + k b_{t-1} and b_t <- b_{t-1} + k f_t for t = stage ... N - 1.
// Descending t reads b_{t-1} before its own update overwrites it.
void updateErrors(std::span<double> forward, std::span<double> backward, std::size_t stage,
                  double k) {
  for (std::size_t t = forward.size() - 1; t >= stage; --t) {
    const double f = forward[t];
    const double b = backward[t - 1];
    forward[t] = f + k * b;
    backward[t] = b + k * f;
  }
}

// Levinson's step: a_i <- a_i + k a_{p-i} for i < p, and a_p = k.
void levinsonUpdate(std::vector<double>& coefficients, double k) {
  const std::size_t p = coefficients.size() + 1;
  for (std::size_t i = 1; i <= p / 2; ++i) {
    const double low = coefficients[i - 1];
    const double high = coefficients[p - i - 1];
    coefficients[i - 1] = low + k * high;
    if (p - i != i) coefficients[p - i - 1] = high + k * low;
  }
  coefficients.push_back(k);
}

// |A(e^{-i w})|^2 at w = 2 pi j / fftLength: each term's angle is reduced in
// integers to 2 pi ((j k) mod fftLength) / fftLength and looked up in a table
// of exact cosines and sines, so no angle is rounded by its size.
class TransferMagnitude {
 public:
  TransferMagnitude(std::span<const double> coefficients, std::size_t fftLength)
      : coefficients_(coefficients), fftLength_(fftLength), cosines_(fftLength), sines_(fftLength) {
    for (std::size_t m = 0; m < fftLength; ++m) {
      const double angle =
          2 * std::numbers::pi * static_cast<double>(m) / static_cast<double>(fftLength);
      cosines_[m] = std::cos(angle);
      sines_[m] = std::sin(angle);
    }
  }

  double squaredAt(std::size_t j) const {
    double real = 1;
    double imaginary = 0;
    for (std::size_t k = 1; k <= coefficients_.size(); ++k) {
      const std::size_t m = (j * k) % fftLength_;
      real += coefficients_[k - 1] * cosines_[m];
      imaginary -= coefficients_[k - 1] * sines_[m];
    }
    return real * real + imaginary * imaginary;
  }

 private:
  std::span<const double> coefficients_;
  std::size_t fftLength_;
  std::vector<double> cosines_;
  std::vector<double> sines_;
};

}  // namespace

ArModel burgModel(std::span<const double> series, std::size_t order) {
  std::vector<double> forward(series.begin(), series.end());
  std::vector<double> backward(series.begin(), series.end());
  ArModel model;
  model.coefficients.reserve(order);
  for (const double x : series) model.errorPower += x * x;
  model.errorPower /= static_cast<double>(series.size());
  for (std::size_t stage = 1; stage <= order; ++stage) {
    const double k = reflectionCoefficient(forward, backward, stage);
    updateErrors(forward, backward, stage, k);
    levinsonUpdate(model.coefficients, k);
    model.errorPower *= 1 - k * k;
  }
  return model;
}

Spectrum arSpectrum(const ArModel& model, double rateHz, std::size_t fftLength) {
  const TransferMagnitude transfer(model.coefficients, fftLength);
  const std::size_t bins = fftLength / 2 + 1;
  Spectrum result;
  result.frequenciesHz.resize(bins);
  result.densitiesMs2PerHz.resize(bins);
  for (std::size_t j = 0; j < bins; ++j) {
    // The bins at 0 and at rate / 2 have no mirror image to fold in.
    const bool unpaired = j == 0 || 2 * j == fftLength;
    result.frequenciesHz[j] = static_cast<double>(j) * rateHz / static_cast<double>(fftLength);
    result.densitiesMs2PerHz[j] =
        (unpaired ? 1 : 2) * model.errorPower / (rateHz * transfer.squaredAt(j));
  }
  return result;
}

}  // namespace rrscope::hrv
