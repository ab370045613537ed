#include "beats/qrs_signals.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "beats/butterworth.h"
#include "beats/reused_buffers.h"
#include "beats/value_statistics.h"
#include "statistics/order_statistics.h"

namespace rrscope::beats {
namespace {

// The QRS complex carries most of its energy between 5 and 30 Hz: below lie
// baseline wander, respiration and most of the P and T waves, above lie
// muscle noise and mains interference. These are the band edges of the
// detector's published form.
constexpr double kQrsLowHz = 5.0;
constexpr double kQrsHighHz = 30.0;

// The rate the decisions and the shapes work at: the published detector ran
// at 200 Hz; at 500 Hz the 30 Hz band edge lies far below half the rate and
// a narrow QRS complex spans some fifty samples, enough to time each beat
// between samples to a fraction of a millisecond. A recording is reduced
// only when at least two of its samples fall into one reduced sample.
constexpr double kDecisionRate = 500.0;

// A pacing spike lasts a few milliseconds at most, far less than any wave
// of the ECG: a running median over the largest odd number of samples within
// 14 ms removes it, while the top of an R wave, 15 ms and more across, stays.
// Below some 215 samples per second no such median fits (and no spike is
// sampled), and the lead stays as it is.
constexpr double kSpikeSeconds = 0.014;
constexpr std::size_t kWidestMedian = 15;

// The moving integration spans about the widest normal QRS complex, 150 ms,
// so that one complex gives one hump.
constexpr double kIntegrationSeconds = 0.150;

// Below about 2.2 times the band edge the low-pass would act near half the
// rate, where the recording holds nothing to remove.
constexpr double kLowPassLeastRate = 2.2;

// Relative size of the rounding that a few passes of the filters leave in
// double precision: some hundreds of units in the last place.
constexpr double kRounding = 1e-12;

// Samples read at a time while reducing the rate.
constexpr std::int64_t kReadBlock = 1 << 16;

}  // namespace

void lowPassQrs(std::span<double> signal, double rate) {
  if (rate > kLowPassLeastRate * kQrsHighHz) {
    filterZeroPhase(butterworthLowPass(kQrsHighHz, rate), signal);
  }
}

void bandPassQrs(std::span<double> signal, double rate) {
  filterZeroPhase(butterworthHighPass(kQrsLowHz, rate), signal);
  lowPassQrs(signal, rate);
}

// Block means: a moving average of `factor` samples taken every `factor`
// samples. Its response has zeros at every multiple of the reduced rate, so
// what would fold onto the QRS band is damped, and ECG has little energy
// near 250 Hz to begin with.
ReducedSignal reduceRate(const SampleSource& samples, double rate) {
  ReducedSignal reduced;
  reduced.factor = std::max<std::int64_t>(1, static_cast<std::int64_t>(rate / kDecisionRate));
  reduced.rate = rate / static_cast<double>(reduced.factor);
  reduced.offset = static_cast<double>(reduced.factor - 1) / 2.0;
  const std::int64_t count = samples.size() / reduced.factor;
  if (reduced.factor == 1) {
    reduced.samples = takeBuffer(static_cast<std::size_t>(count));
    samples.read(0, reduced.samples);
    return reduced;
  }
  reduced.samples = takeBuffer(static_cast<std::size_t>(count));
  reduced.samples.clear();
  const std::int64_t block = std::max(reduced.factor, kReadBlock / reduced.factor * reduced.factor);
  std::vector<double> buffer(static_cast<std::size_t>(block));
  const double scale = 1.0 / static_cast<double>(reduced.factor);
  for (std::int64_t first = 0; first < count * reduced.factor; first += block) {
    const std::int64_t length = std::min(block, count * reduced.factor - first);
    const std::span<double> part(buffer.data(), static_cast<std::size_t>(length));
    samples.read(first, part);
    for (std::int64_t i = 0; i < length; i += reduced.factor) {
      double sum = 0;
      for (std::int64_t j = 0; j < reduced.factor; ++j)
        sum += part[static_cast<std::size_t>(i + j)];
      reduced.samples.push_back(sum * scale);
    }
  }
  return reduced;
}

namespace {

double medianOf3(double a, double b, double c) {
  return std::max(std::min(a, b), std::min(std::max(a, b), c));
}

// The median of five by a sorting network's first stages.
double medianOf5(double a, double b, double c, double d, double e) {
  if (a > b) std::swap(a, b);
  if (d > e) std::swap(d, e);
  if (a > d) {
    std::swap(a, d);
    std::swap(b, e);
  }
  // a is now the least of a, b, d, e and cannot be the median.
  if (b > c) std::swap(b, c);
  if (b > d) {
    std::swap(b, d);
    std::swap(c, e);
  }
  return std::min(c, d);
}

}  // namespace

std::vector<double> withoutSpikes(std::span<const double> lead, double rate) {
  const auto fit = static_cast<std::size_t>(kSpikeSeconds * rate);
  // An even fit takes the odd width below it; no width (a rate under
  // 71.4 Hz) leaves the lead as it is.
  const std::size_t odd = fit % 2 == 1 || fit == 0 ? fit : fit - 1;
  const std::size_t width = std::min(kWidestMedian, odd);
  const std::size_t n = lead.size();
  std::vector<double> out = takeBuffer(n);
  std::ranges::copy(lead, out.begin());
  if (width < 3 || n < width) return out;
  const std::size_t half = width / 2;
  if (width == 3) {
    for (std::size_t i = 1; i + 1 < n; ++i) out[i] = medianOf3(lead[i - 1], lead[i], lead[i + 1]);
  } else if (width == 5) {
    for (std::size_t i = 2; i + 2 < n; ++i) {
      out[i] = medianOf5(lead[i - 2], lead[i - 1], lead[i], lead[i + 1], lead[i + 2]);
    }
  } else {
    std::array<double, kWidestMedian> window{};
    for (std::size_t i = half; i + half < n; ++i) {
      std::copy_n(lead.begin() + static_cast<std::ptrdiff_t>(i - half), width, window.begin());
      out[i] = statistics::upperMedianInPlace(std::span(window.data(), width));
    }
  }
  return out;
}

namespace {

// The five-point derivative [-1 -2 0 2 1] / 8, centred so that it adds no
// delay; it passes the steep QRS flanks and damps the slow P and T waves.
std::vector<double> fivePointSlope(std::span<const double> x, double rate) {
  const auto n = static_cast<std::ptrdiff_t>(x.size());
  std::vector<double> slope = takeBuffer(x.size());
  const double scale = rate / 8.0;
  for (std::ptrdiff_t i = 2; i + 2 < n; ++i) {
    slope[i] = (-x[i - 2] - 2.0 * x[i - 1] + 2.0 * x[i + 1] + x[i + 2]) * scale;
  }
  return slope;
}

// Centred moving average of the squared slope over 2 * half + 1 samples;
// near the ends the window holds fewer samples.
std::vector<double> integrateSquared(std::span<const double> slope, std::int64_t half) {
  const auto n = static_cast<std::int64_t>(slope.size());
  std::vector<double> integrated = takeBuffer(slope.size());
  const double scale = 1.0 / static_cast<double>(2 * half + 1);
  // The window's sum, slid along: each square enters once and leaves once.
  double sum = 0;
  for (std::int64_t i = 0; i < std::min(n, half); ++i) sum += slope[i] * slope[i];
  for (std::int64_t i = 0; i < n; ++i) {
    if (i + half < n) sum += slope[i + half] * slope[i + half];
    if (i - half - 1 >= 0) sum -= slope[i - half - 1] * slope[i - half - 1];
    integrated[i] = std::max(sum, 0.0) * scale;
  }
  return integrated;
}

// The decision signals of the band-passed lead, whose low-passed form
// reached `leadSize` at most.
QrsSignals qrsSignalsOfBandPassed(std::vector<double> lead, double rate, double leadSize) {
  QrsSignals signals;
  signals.rate = rate;
  // What the filters leave of a flat lead is the rounding of its level, not
  // a wave: it must not make humps for the decisions.
  for (double& v : lead) {
    if (std::abs(v) <= kRounding * leadSize) v = 0;
  }
  signals.slope = fivePointSlope(lead, rate);
  signals.integrationHalfWidth =
      std::max<std::int64_t>(1, std::llround(kIntegrationSeconds * rate / 2.0));
  signals.integrated = integrateSquared(signals.slope, signals.integrationHalfWidth);
  signals.bandPassed = std::move(lead);
  return signals;
}

}  // namespace

ShapeAndQrsSignals computeShapeAndQrsSignals(std::span<const double> lead, double rate) {
  std::vector<double> lowPassed = withoutSpikes(lead, rate);
  std::vector<double> bandPassed = takeBuffer(lowPassed.size());
  if (rate > kLowPassLeastRate * kQrsHighHz) {
    filterZeroPhaseCascade(butterworthLowPass(kQrsHighHz, rate), lowPassed,
                           butterworthHighPass(kQrsLowHz, rate), bandPassed);
  } else {
    std::ranges::copy(lowPassed, bandPassed.begin());
    filterZeroPhase(butterworthHighPass(kQrsLowHz, rate), bandPassed);
  }
  const double size = largestMagnitude(lowPassed);
  return {std::move(lowPassed), qrsSignalsOfBandPassed(std::move(bandPassed), rate, size)};
}

}  // namespace rrscope::beats
