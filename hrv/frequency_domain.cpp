#include <algorithm>
#include <cmath>
#include <vector>

#include "hrv/measure_parts.h"
#include "hrv/not_a_knot_spline.h"
#include "hrv/sample_statistics.h"
#include "hrv/welch_density.h"

namespace rrscope::hrv {
namespace {

constexpr Measure kFrequencyMeasures[] = {Measure::vlf,        Measure::lf,     Measure::hf,
                                          Measure::totalPower, Measure::lfHf,   Measure::lfNu,
                                          Measure::hfNu,       Measure::lfPeak, Measure::hfPeak};

// The end of each interval in seconds, less that of the first.
std::vector<double> beatTimes(std::span<const double> intervalsMs) {
  std::vector<double> times;
  times.reserve(intervalsMs.size());
  double endMs = 0;
  for (const double interval : intervalsMs) {
    endMs += interval;
    times.push_back(endMs / 1000);
  }
  const double first = times.front();
  for (double& time : times) time -= first;
  return times;
}

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

void addBandMeasures(const Spectrum& spectrum, MeasureValues& values) {
  const BandResult vlf = integrateBand(spectrum, kBands[0]);
  const BandResult lf = integrateBand(spectrum, kBands[1]);
  const BandResult hf = integrateBand(spectrum, kBands[2]);
  setMeasure(values, Measure::vlf, MeasureValue::of(vlf.power));
  setMeasure(values, Measure::lf, MeasureValue::of(lf.power));
  setMeasure(values, Measure::hf, MeasureValue::of(hf.power));
  setMeasure(values, Measure::totalPower, MeasureValue::of(vlf.power + lf.power + hf.power));
  setMeasure(values, Measure::lfHf, ratio(lf.power, hf.power));
  setMeasure(values, Measure::lfNu, ratio(lf.power, lf.power + hf.power, 100));
  setMeasure(values, Measure::hfNu, ratio(hf.power, lf.power + hf.power, 100));
  setMeasure(values, Measure::lfPeak, peak(lf));
  setMeasure(values, Measure::hfPeak, peak(hf));
}

void setAllUndefined(MeasureValues& values, Undefined reason) {
  for (const Measure m : kFrequencyMeasures) setMeasure(values, m, MeasureValue::undefined(reason));
}

}  // namespace

void addFrequencyDomain(std::span<const double> intervalsMs, Measures& measures) {
  if (intervalsMs.size() < 4)
    return setAllUndefined(measures.values, Undefined::tooShortForSpectrum);
  const std::vector<double> times = beatTimes(intervalsMs);
  const std::vector<double> grid = resampleGrid(times.back());
  if (grid.size() < kWelchSegment)
    return setAllUndefined(measures.values, Undefined::tooShortForSpectrum);
  measures.spectrum = welchSpectrum(resampledSeries(intervalsMs, times, grid));
  addBandMeasures(measures.spectrum, measures.values);
}

}  // namespace rrscope::hrv
