#include <algorithm>
#include <cmath>
#include <vector>

#include "hrv/beat_times.h"
#include "hrv/burg_density.h"
#include "hrv/lomb_scargle.h"
#include "hrv/measure_parts.h"
#include "hrv/not_a_knot_spline.h"
#include "hrv/sample_statistics.h"
#include "hrv/smoothness_priors.h"
#include "hrv/welch_density.h"

namespace rrscope::hrv {
namespace {

// The order of the autoregressive model: fixed, rather than chosen by a
// criterion, so that the spectra of different recordings compare.
constexpr std::size_t kArOrder = 16;
// The exact Lomb–Scargle sum costs N times the number of frequencies, both
// of which grow with the length: past an hour, windows are the way.
constexpr double kLongestLombScargleSeconds = 3600;
// Below this span the VLF band holds less than three of its cycles.
constexpr double kShortestSpectrumSeconds = 64;

// The nine measures of one spectral estimate, in the order of the Welch ones.
struct SpectralMeasures {
  Measure vlf, lf, hf, totalPower, lfHf, lfNu, hfNu, lfPeak, hfPeak;
};
constexpr SpectralMeasures kWelchMeasures{Measure::vlf,        Measure::lf,     Measure::hf,
                                          Measure::totalPower, Measure::lfHf,   Measure::lfNu,
                                          Measure::hfNu,       Measure::lfPeak, Measure::hfPeak};
constexpr SpectralMeasures kArMeasures{Measure::arVlf,        Measure::arLf,     Measure::arHf,
                                       Measure::arTotalPower, Measure::arLfHf,   Measure::arLfNu,
                                       Measure::arHfNu,       Measure::arLfPeak, Measure::arHfPeak};
constexpr SpectralMeasures kLsMeasures{Measure::lsVlf,        Measure::lsLf,     Measure::lsHf,
                                       Measure::lsTotalPower, Measure::lsLfHf,   Measure::lsLfNu,
                                       Measure::lsHfNu,       Measure::lsLfPeak, Measure::lsHfPeak};

// The grid 0, 1/4, 1/2, ... s strictly below the last beat time.
std::vector<double> resampleGrid(double lastTime) {
  const auto points = static_cast<std::size_t>(std::ceil(lastTime * kResampleHz));
  std::vector<double> grid(points);
  for (std::size_t j = 0; j < points; ++j) grid[j] = static_cast<double>(j) / kResampleHz;
  return grid;
}

// The intervals resampled on the grid, less their mean. A constant series
// leaves exactly zero, which rounding in the spline would otherwise blur.
std::vector<double> resampledSeries(std::span<const double> intervalsMs,
                                    std::span<const double> times, std::span<const double> grid) {
  const auto [lowest, highest] = std::minmax_element(intervalsMs.begin(), intervalsMs.end());
  if (*lowest == *highest) return std::vector<double>(grid.size(), 0.0);
  std::vector<double> series = NotAKnotSpline(times, intervalsMs).evaluateAscending(grid);
  const double mean = meanOf(series);
  for (double& value : series) value -= mean;
  return series;
}

struct BandResult {
  double power = 0;
  std::optional<double> peakHz;
};

// Trapezoid rule over the bins with lo <= f < hi; the peak is the first bin
// of highest density.
BandResult integrateBand(const Spectrum& spectrum, const Band& band) {
  BandResult result;
  double peakDensity = 0;
  std::optional<std::size_t> previous;
  const auto& f = spectrum.frequenciesHz;
  const auto& p = spectrum.densitiesMs2PerHz;
  for (std::size_t k = 0; k < f.size(); ++k) {
    if (f[k] < band.loHz || f[k] >= band.hiHz) continue;
    if (previous) result.power += (f[k] - f[*previous]) * (p[k] + p[*previous]) / 2;
    if (p[k] > peakDensity) peakDensity = p[k], result.peakHz = f[k];
    previous = k;
  }
  if (result.power == 0) result.peakHz.reset();
  return result;
}

MeasureValue ratio(double numerator, double denominator, double factor = 1) {
  if (denominator == 0) return MeasureValue::undefined(Undefined::zeroDenominator);
  return MeasureValue::of(factor * numerator / denominator);
}

MeasureValue peak(const BandResult& band) {
  if (!band.peakHz) return MeasureValue::undefined(Undefined::noPowerInBand);
  return MeasureValue::of(*band.peakHz);
}

void addBandMeasures(const Spectrum& spectrum, const SpectralMeasures& m, MeasureValues& values) {
  const BandResult vlf = integrateBand(spectrum, kVlfBand);
  const BandResult lf = integrateBand(spectrum, kLfBand);
  const BandResult hf = integrateBand(spectrum, kHfBand);
  setMeasure(values, m.vlf, MeasureValue::of(vlf.power));
  setMeasure(values, m.lf, MeasureValue::of(lf.power));
  setMeasure(values, m.hf, MeasureValue::of(hf.power));
  setMeasure(values, m.totalPower, MeasureValue::of(vlf.power + lf.power + hf.power));
  setMeasure(values, m.lfHf, ratio(lf.power, hf.power));
  setMeasure(values, m.lfNu, ratio(lf.power, lf.power + hf.power, 100));
  setMeasure(values, m.hfNu, ratio(hf.power, lf.power + hf.power, 100));
  setMeasure(values, m.lfPeak, peak(lf));
  setMeasure(values, m.hfPeak, peak(hf));
}

void setAllUndefined(const SpectralMeasures& m, MeasureValues& values, Undefined reason) {
  for (const Measure measure :
       {m.vlf, m.lf, m.hf, m.totalPower, m.lfHf, m.lfNu, m.hfNu, m.lfPeak, m.hfPeak}) {
    setMeasure(values, measure, MeasureValue::undefined(reason));
  }
}

void setGridSpectraUndefined(MeasureValues& values, Undefined reason) {
  setAllUndefined(kWelchMeasures, values, reason);
  setAllUndefined(kArMeasures, values, reason);
}

// A series without variation has no power anywhere; Burg's recursion would
// divide zero by zero.
Spectrum flatSpectrum(std::span<const double> frequenciesHz) {
  return {std::vector<double>(frequenciesHz.begin(), frequenciesHz.end()),
          std::vector<double>(frequenciesHz.size(), 0.0)};
}

// Welch's and the AR spectra, both of the 4 Hz grid.
void addGridSpectra(std::span<const double> intervalsMs, const MeasureOptions& options,
                    Measures& measures) {
  const std::vector<double> times = beatTimesFromFirst(intervalsMs);
  const std::vector<double> grid = resampleGrid(times.back());
  if (grid.size() < kWelchSegment) {
    return setGridSpectraUndefined(measures.values, Undefined::tooShortForSpectrum);
  }
  // A lambda beyond the range would leave the series NaN, or nothing of it.
  if (options.detrend == Detrend::smoothnessPriors && !isValidLambda(options.lambda)) {
    return setGridSpectraUndefined(measures.values, Undefined::lambdaOutOfRange);
  }
  std::vector<double> series = resampledSeries(intervalsMs, times, grid);
  if (options.detrend == Detrend::smoothnessPriors) {
    removeSmoothnessPriorsTrend(series, options.lambda);
  }
  measures.spectrum = welchSpectrum(series);
  addBandMeasures(measures.spectrum, kWelchMeasures, measures.values);
  measures.arSpectrum = std::all_of(series.begin(), series.end(), [](double x) { return x == 0; })
                            ? flatSpectrum(measures.spectrum.frequenciesHz)
                            : arSpectrum(burgModel(series, kArOrder), kResampleHz, kWelchFftLength);
  addBandMeasures(measures.arSpectrum, kArMeasures, measures.values);
}

void addLombScargle(std::span<const double> intervalsMs, Measures& measures) {
  double spanMs = 0;
  for (const double interval : intervalsMs.subspan(1)) spanMs += interval;
  if (spanMs / 1000 < kShortestSpectrumSeconds) {
    return setAllUndefined(kLsMeasures, measures.values, Undefined::tooShortForSpectrum);
  }
  if (spanMs / 1000 > kLongestLombScargleSeconds) {
    return setAllUndefined(kLsMeasures, measures.values, Undefined::longerThanAnHour);
  }
  measures.lsSpectrum = lombScargleSpectrum(intervalsMs);
  addBandMeasures(measures.lsSpectrum, kLsMeasures, measures.values);
}

}  // namespace

void addFrequencyDomain(std::span<const double> intervalsMs, const MeasureOptions& options,
                        Measures& measures) {
  if (intervalsMs.size() < 4) {
    for (const SpectralMeasures& m : {kWelchMeasures, kArMeasures, kLsMeasures}) {
      setAllUndefined(m, measures.values, Undefined::tooShortForSpectrum);
    }
    return;
  }
  addGridSpectra(intervalsMs, options, measures);
  addLombScargle(intervalsMs, measures);
}

}  // namespace rrscope::hrv
