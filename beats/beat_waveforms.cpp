#include "beats/beat_waveforms.h"

#include <algorithm>
#include <cmath>

#include "beats/qrs_signals.h"

namespace rrscope::beats {
namespace {

constexpr double kGridStep = 1.0 / kWaveformRate;
// Where the complex's slope energy is summed for its width: wide enough for
// a ventricular complex of 200 ms, short of most of the T wave.
constexpr double kWidthBefore = 0.12;
constexpr double kWidthAfter = 0.16;
// The middle of the slope energy that counts as the complex: the outer
// tenths on each side are the P wave, the T wave and noise.
constexpr double kEnergyTail = 0.1;
// Where a pacing spike precedes the complex it starts: from 150 ms before
// the fiducial point (an atrial spike) to just after it.
constexpr double kSpikeBefore = 0.15;
constexpr double kSpikeAfter = 0.03;

// Full-rate samples from `first` on into `out` (its size), clamped to the
// lead: the ends repeat the nearest sample.
void readClamped(const SampleSource& samples, std::int64_t first, std::vector<double>& out) {
  const auto count = static_cast<std::int64_t>(out.size());
  const std::int64_t size = samples.size();
  const std::int64_t from = std::clamp<std::int64_t>(first, 0, size);
  const std::int64_t to = std::clamp<std::int64_t>(first + count, 0, size);
  if (to <= from) {
    std::ranges::fill(out, 0.0);
    return;
  }
  const auto begin = static_cast<std::size_t>(from - first);
  const auto end = static_cast<std::size_t>(to - first);
  samples.read(from, std::span<double>(out).subspan(begin, end - begin));
  std::fill(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(begin), out[begin]);
  std::fill(out.begin() + static_cast<std::ptrdiff_t>(end), out.end(), out[end - 1]);
}

// A running mean of `raw` over `width` samples into `out`, so that a rate
// above the grid's does not alias its noise onto the grid.
void smoothInto(std::span<const double> raw, std::size_t width, std::vector<double>& out) {
  out.assign(raw.begin(), raw.end());
  if (width <= 1 || raw.size() <= width) return;
  // The mean of samples i - width + 1 .. i belongs half a window earlier.
  const std::size_t lag = (width - 1) / 2;
  const double share = 1.0 / static_cast<double>(width);
  double sum = 0;
  for (std::size_t i = 0; i + 1 < width; ++i) sum += raw[i];
  for (std::size_t i = width - 1; i < raw.size(); ++i) {
    sum += raw[i];
    out[i - lag] = sum * share;
    sum -= raw[i + 1 - width];
  }
}

double interpolated(std::span<const double> values, double at) {
  const double clamped = std::clamp(at, 0.0, static_cast<double>(values.size() - 1));
  const auto below = static_cast<std::size_t>(clamped);
  const std::size_t above = std::min(below + 1, values.size() - 1);
  const double part = clamped - static_cast<double>(below);
  return values[below] * (1 - part) + values[above] * part;
}

double widthMs(const Waveform& w) {
  const auto from = static_cast<std::size_t>(kMaxShift + kShapeBefore) -
                    static_cast<std::size_t>(std::lround(kWidthBefore * kWaveformRate));
  const std::size_t to =
      kMaxShift + kShapeBefore + static_cast<std::size_t>(std::lround(kWidthAfter * kWaveformRate));
  std::array<double, kWaveformLength> energy{};
  double total = 0;
  for (std::size_t k = from; k < to && k + 1 < kWaveformLength; ++k) {
    const double step = static_cast<double>(w[k + 1]) - static_cast<double>(w[k]);
    energy[k] = step * step;
    total += energy[k];
  }
  if (total <= 0) return 0;
  double sum = 0;
  std::size_t first = from, last = from;
  bool started = false;
  for (std::size_t k = from; k < to && k + 1 < kWaveformLength; ++k) {
    sum += energy[k];
    if (!started && sum >= kEnergyTail * total) {
      first = k;
      started = true;
    }
    if (sum <= (1 - kEnergyTail) * total) last = k + 1;
  }
  return static_cast<double>(last - first + 1) * kGridStep * 1000.0;
}

double amplitudeOf(const Waveform& w) {
  const auto shape = std::span<const float>(w).subspan(kMaxShift, kShapeLength);
  const auto [low, high] = std::ranges::minmax_element(shape);
  return static_cast<double>(*high - *low);
}

// The largest departure of the raw lead from the lead without pacing
// spikes over the spike's part of the beat, against the range of the lead
// without spikes there: a pacing spike is all departure, a complex nearly
// none.
double spikeShareOf(std::span<const double> raw, std::size_t centre, double rate) {
  // Only the spike's part, with room on either side for the running median.
  const auto margin = static_cast<std::size_t>(0.01 * rate) + 1;
  const auto before = static_cast<std::size_t>(kSpikeBefore * rate) + margin;
  const std::size_t first = centre > before ? centre - before : 0;
  const std::size_t last =
      std::min(raw.size(), centre + static_cast<std::size_t>(kSpikeAfter * rate) + margin + 1);
  const std::span<const double> part = raw.subspan(first, last - first);
  const std::vector<double> smooth = withoutSpikes(part, rate);
  const std::size_t from = std::min(part.size(), margin);
  const std::size_t to = part.size() > margin ? part.size() - margin : 0;
  double spike = 0, low = INFINITY, high = -INFINITY;
  for (std::size_t i = from; i < to; ++i) {
    spike = std::max(spike, std::abs(part[i] - smooth[i]));
    low = std::min(low, smooth[i]);
    high = std::max(high, smooth[i]);
  }
  const double complex = high - low;
  return complex > 0 ? spike / (spike + complex) : 0;
}

}  // namespace

BeatWaveforms beatWaveforms(const SampleSource& samples, double rate,
                            std::span<const double> beats) {
  BeatWaveforms result;
  result.waveforms.resize(beats.size());
  result.measures.resize(beats.size());
  const double before = static_cast<double>(kMaxShift + kShapeBefore) * kGridStep;
  const double after = static_cast<double>(kMaxShift + kShapeAfter) * kGridStep;
  const double reach = std::max(before, kSpikeBefore) + 2.0 / rate;
  const auto smoothing = static_cast<std::size_t>(std::max(1.0, std::round(rate / kWaveformRate)));
  std::vector<double> raw, lead;  // reused: a day holds 100,000 beats
  for (std::size_t b = 0; b < beats.size(); ++b) {
    const auto first = static_cast<std::int64_t>(std::floor(beats[b] - reach * rate));
    const auto count = static_cast<std::int64_t>(std::ceil((reach + after) * rate)) + 3;
    raw.resize(static_cast<std::size_t>(count));
    readClamped(samples, first, raw);
    smoothInto(raw, smoothing, lead);
    const double centre = beats[b] - static_cast<double>(first);
    Waveform& w = result.waveforms[b];
    for (std::size_t k = 0; k < kWaveformLength; ++k) {
      const double t =
          (static_cast<double>(k) - static_cast<double>(kMaxShift + kShapeBefore)) * kGridStep;
      w[k] = waveformValue(interpolated(lead, centre + t * rate));
    }
    result.measures[b] = {widthMs(w), amplitudeOf(w),
                          spikeShareOf(raw, static_cast<std::size_t>(std::lround(centre)), rate)};
  }
  return result;
}

Resemblance resemblance(const Waveform& a, const Waveform& b) {
  // The shape part of `a` about its mean: the cross products with `b` then
  // need no mean of `b`, and the sums of `b` come from running totals, so
  // each shift costs one pass of products.
  std::array<double, kShapeLength> centred{};
  double meanA = 0, squaresA = 0;
  for (std::size_t k = 0; k < kShapeLength; ++k) meanA += a[kMaxShift + k];
  meanA /= kShapeLength;
  for (std::size_t k = 0; k < kShapeLength; ++k) {
    centred[k] = a[kMaxShift + k] - meanA;
    squaresA += centred[k] * centred[k];
  }
  Resemblance best{-1, 0, 0};
  if (squaresA <= 0) return best;
  std::array<double, kWaveformLength + 1> sums{}, squares{};
  for (std::size_t k = 0; k < kWaveformLength; ++k) {
    sums[k + 1] = sums[k] + b[k];
    squares[k + 1] = squares[k] + static_cast<double>(b[k]) * b[k];
  }
  for (std::size_t start = 0; start <= 2 * kMaxShift; ++start) {
    const double sumB = sums[start + kShapeLength] - sums[start];
    const double varianceB =
        squares[start + kShapeLength] - squares[start] - sumB * sumB / kShapeLength;
    if (varianceB <= 0) continue;
    double cross = 0;
    for (std::size_t k = 0; k < kShapeLength; ++k) cross += centred[k] * b[start + k];
    const double r = cross / std::sqrt(squaresA * varianceB);
    if (r > best.correlation) {
      best = {r, static_cast<int>(start) - static_cast<int>(kMaxShift), cross / squaresA};
    }
  }
  return best;
}

}  // namespace rrscope::beats
