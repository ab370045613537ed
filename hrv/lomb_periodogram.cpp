#include "hrv/lomb_periodogram.h"

#include <array>
#include <cmath>
#include <numbers>

namespace rrscope::hrv {
namespace {

// Angle addition carries cos and sin of w t from one frequency to the next;
// each step adds a rounding of about 1e-16, so after this many steps they
// are taken afresh from std::cos and std::sin.
constexpr std::size_t kReseedSteps = 128;

// Frequencies stepped through in one pass over the samples: each sample's
// phasor stays in registers across them, which saves loads and stores, and
// their sums are independent chains the processor can overlap.
constexpr std::size_t kFrequenciesPerPass = 4;
static_assert(kReseedSteps % kFrequenciesPerPass == 0);

// The sums over the samples at one frequency that L needs.
struct Sums {
  double yCos = 0;       // sum y cos wt
  double ySin = 0;       // sum y sin wt
  double doubleCos = 0;  // sum cos 2wt
  double doubleSin = 0;  // sum sin 2wt
};

using PassSums = std::array<Sums, kFrequenciesPerPass>;

// cos and sin of w t_i at every time, taken at one frequency and advanced
// from there, stepHz at a time, by rotations through 2 pi stepHz t_i.
class Phasors {
 public:
  Phasors(std::span<const double> times, double stepHz)
      : times_(times),
        cos_(times.size()),
        sin_(times.size()),
        stepCos_(times.size()),
        stepSin_(times.size()) {
    for (std::size_t i = 0; i < times.size(); ++i) {
      const double stepAngle = 2 * std::numbers::pi * stepHz * times[i];
      stepCos_[i] = std::cos(stepAngle);
      stepSin_[i] = std::sin(stepAngle);
    }
  }

  void seed(double hz) {
    for (std::size_t i = 0; i < times_.size(); ++i) {
      const double angle = 2 * std::numbers::pi * hz * times_[i];
      cos_[i] = std::cos(angle);
      sin_[i] = std::sin(angle);
    }
  }

  // Steps through the next kFrequenciesPerPass frequencies and returns the
  // sums at each; cos 2wt and sin 2wt come from the double-angle formulas.
  PassSums advance(std::span<const double> y) {
    std::array<double, kFrequenciesPerPass> yCos{}, ySin{}, doubleCos{}, doubleSin{};
    for (std::size_t i = 0; i < y.size(); ++i) {
      double c = cos_[i];
      double s = sin_[i];
      for (std::size_t f = 0; f < kFrequenciesPerPass; ++f) {
        const double rotatedCos = c * stepCos_[i] - s * stepSin_[i];
        s = s * stepCos_[i] + c * stepSin_[i];
        c = rotatedCos;
        yCos[f] += y[i] * c;
        ySin[f] += y[i] * s;
        doubleCos[f] += (c - s) * (c + s);
        doubleSin[f] += 2 * c * s;
      }
      cos_[i] = c;
      sin_[i] = s;
    }
    PassSums sums;
    for (std::size_t f = 0; f < kFrequenciesPerPass; ++f)
      sums[f] = {yCos[f], ySin[f], doubleCos[f], doubleSin[f]};
    return sums;
  }

 private:
  std::span<const double> times_;
  std::vector<double> cos_;
  std::vector<double> sin_;
  std::vector<double> stepCos_;
  std::vector<double> stepSin_;
};

// A term of L whose denominator vanishes is taken as 0. That happens only
// when all 2wt_i agree modulo 2 pi, as for evenly spaced samples at their
// Nyquist frequency; then every factor of its numerator vanishes as well,
// and L there is the undoubled periodogram, like a one-sided density's
// Nyquist bin. The denominators carry rounding of about N 1e-12 for an hour
// of beats; one below N 1e-10 counts as vanished.
double term(double numerator, double denominator, double count) {
  return denominator <= count * 1e-10 ? 0 : numerator * numerator / denominator;
}

// L from the sums, with 2 w tau = atan2(sum sin 2wt, sum cos 2wt). Any other
// tau with the same tangent shifts w tau by a multiple of pi / 2, which
// swaps or negates the two numerators together with their denominators and
// leaves L unchanged. With R = |sum e^{2iwt}|, that tau makes
//   sum cos^2 w(t - tau) = (N + R) / 2,  sum sin^2 w(t - tau) = (N - R) / 2,
// and turns the numerators into rotations of sum y cos wt and sum y sin wt.
double lombValue(const Sums& sums, double count) {
  const double shift = std::atan2(sums.doubleSin, sums.doubleCos) / 2;
  const double c = std::cos(shift);
  const double s = std::sin(shift);
  const double r = std::hypot(sums.doubleCos, sums.doubleSin);
  const double cosNumerator = sums.yCos * c + sums.ySin * s;
  const double sinNumerator = sums.ySin * c - sums.yCos * s;
  return term(cosNumerator, (count + r) / 2, count) + term(sinNumerator, (count - r) / 2, count);
}

}  // namespace

std::vector<double> lombPeriodogram(std::span<const double> times, std::span<const double> values,
                                    double periodS, std::size_t harmonics) {
  const auto count = static_cast<double>(times.size());
  std::vector<double> periodogram;
  periodogram.reserve(harmonics);
  Phasors phasors(times, 1 / periodS);
  // A pass starts one step below its first frequency; a run between
  // re-seeds is a whole number of passes.
  for (std::size_t first = 1; first <= harmonics; first += kFrequenciesPerPass) {
    if ((first - 1) % kReseedSteps == 0) phasors.seed(static_cast<double>(first - 1) / periodS);
    const PassSums sums = phasors.advance(values);
    for (std::size_t f = 0; f < kFrequenciesPerPass && first + f <= harmonics; ++f)
      periodogram.push_back(lombValue(sums[f], count));
  }
  return periodogram;
}

}  // namespace rrscope::hrv
