#include "hrv/lomb_scargle.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "hrv/beat_times.h"
#include "hrv/lomb_periodogram.h"
#include "hrv/sample_statistics.h"

namespace rrscope::hrv {
namespace {

constexpr double kHighestHz = 0.5;
constexpr std::size_t kOversampling = 4;

std::vector<double> deviationsFromMean(std::span<const double> intervalsMs) {
  const double mean = meanOf(intervalsMs);
  std::vector<double> deviations(intervalsMs.begin(), intervalsMs.end());
  for (double& deviation : deviations) deviation -= mean;
  return deviations;
}

// The last k of the grid k / (4 span): that of 0.5 Hz or of the mean Nyquist
// frequency (N - 1) / (2 span), whichever is lower. Both bounds are counted
// in whole steps so that a frequency lying exactly on one is kept.
std::size_t highestStep(std::size_t count, double span) {
  const auto belowHalfHz = static_cast<std::size_t>(std::floor(kOversampling * kHighestHz * span));
  const std::size_t belowNyquist = kOversampling * (count - 1) / 2;
  return std::min(belowHalfHz, belowNyquist);
}

}  // namespace

Spectrum lombScargleSpectrum(std::span<const double> intervalsMs) {
  const std::vector<double> times = beatTimesFromFirst(intervalsMs);
  const double span = times.back();
  const double period = kOversampling * span;
  const std::size_t harmonics = highestStep(times.size(), span);
  Spectrum result;
  result.densitiesMs2PerHz =
      lombPeriodogram(times, deviationsFromMean(intervalsMs), period, harmonics);
  // L divided by the mean sampling rate (N - 1) / span.
  const double densityScale = span / static_cast<double>(times.size() - 1);
  for (double& density : result.densitiesMs2PerHz) density *= densityScale;
  result.frequenciesHz.resize(harmonics);
  for (std::size_t k = 1; k <= harmonics; ++k)
    result.frequenciesHz[k - 1] = static_cast<double>(k) / period;
  return result;
}

}  // namespace rrscope::hrv
