#include "beats/artefact_classification.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <optional>

#include "beats/centred_window.h"
#include "statistics/order_statistics.h"

namespace rrscope::beats {
namespace {

// The constants of Lipponen and Tarvainen (2019). Thresholds are
// kAlpha times the quartile deviation of the last kThresholdWindow beats,
// which the authors chose to adapt to changing variability without following
// single artefacts;
constexpr double kAlpha = 5.2;
constexpr std::size_t kThresholdWindow = 91;
// an interval deviates from the median of kMedianWindow intervals around it;
constexpr std::size_t kMedianWindow = 11;
// and the ectopic region of the first subspace is bounded by the line
// S12 = -c1 * dRR -/+ c2.
constexpr double kC1 = 0.13;
constexpr double kC2 = 0.17;
// |mRR| beyond this many thresholds marks a long or short interval.
constexpr double kMedianDeviationLimit = 3.0;
// Working out one threshold by itself costs about as much as this many steps
// of the sliding window that works out all of them.
constexpr std::size_t kWindowStepsPerThreshold = 32;
// A quartile deviation of zero (a perfectly even series) would divide by
// zero; thresholds never fall below this fraction of the mean interval.
constexpr double kThresholdFloor = 1e-9;

double meanOf(std::span<const double> values) {
  return values.empty() ? 0.0
                        : std::accumulate(values.begin(), values.end(), 0.0) /
                              static_cast<double>(values.size());
}

// alpha times half the interquartile range of |values| over the threshold window.
std::vector<double> thresholds(std::span<const double> values, double floor) {
  std::vector<double> magnitude(values.size());
  std::transform(values.begin(), values.end(), magnitude.begin(),
                 [](double v) { return std::abs(v); });
  std::vector<double> result(values.size());
  forEachCentredWindow(magnitude, kThresholdWindow, [&](std::size_t i, std::span<const double> s) {
    const double deviation = (statistics::linearQuantileOfSorted(s, 0.75) -
                              statistics::linearQuantileOfSorted(s, 0.25)) /
                             2.0;
    result[i] = std::max(floor, kAlpha * deviation);
  });
  return result;
}

std::vector<double> runningMedian(std::span<const double> values) {
  std::vector<double> result(values.size());
  forEachCentredWindow(values, kMedianWindow, [&](std::size_t i, std::span<const double> s) {
    result[i] = statistics::linearQuantileOfSorted(s, 0.5);
  });
  return result;
}

// alpha times half the interquartile range of the values of the threshold
// window centred on i, from a copy of that window.
double thresholdAt(std::span<const double> magnitudes, std::size_t i, double floor) {
  const std::size_t half = kThresholdWindow / 2;
  const std::size_t first = i > half ? i - half : 0;
  const std::size_t end = std::min(magnitudes.size(), i + half + 1);
  std::vector<double> window(magnitudes.begin() + static_cast<std::ptrdiff_t>(first),
                             magnitudes.begin() + static_cast<std::ptrdiff_t>(end));
  const double q1 = statistics::linearQuantileInPlace(window, 0.25);
  const double q3 = statistics::linearQuantileInPlace(window, 0.75);
  return std::max(floor, kAlpha * (q3 - q1) / 2.0);
}

// The deviations of the intervals from their running median, negative ones
// doubled, and their thresholds. The classification reads them only beside
// a large change of interval, so each threshold is worked out when first
// asked for.
class MedianDeviation {
 public:
  MedianDeviation(std::span<const double> rr, std::span<const double> medianRR, double floor)
      : deviation_(rr.size()), magnitude_(rr.size()), threshold_(rr.size(), -1.0), floor_(floor) {
    for (std::size_t i = 0; i < rr.size(); ++i) {
      const double d = rr[i] - medianRR[i];
      deviation_[i] = d < 0 ? 2.0 * d : d;
      magnitude_[i] = std::abs(deviation_[i]);
    }
  }
  // Works out every threshold at once, by a sliding window: cheaper than
  // one at a time when many will be asked for.
  void workOutAll() { threshold_ = thresholds(magnitude_, floor_); }

  double threshold(std::size_t i) const {
    if (threshold_[i] < 0) threshold_[i] = thresholdAt(magnitude_, i, floor_);
    return threshold_[i];
  }
  double normalised(std::size_t i) const { return deviation_[i] / threshold(i); }

 private:
  std::vector<double> deviation_;
  std::vector<double> magnitude_;
  mutable std::vector<double> threshold_;  // below 0 until worked out
  double floor_;
};

// The normalised series and what the classification reads of them.
struct Features {
  std::vector<double> rr, dRR, s12, s22, medianRR;
  std::optional<MedianDeviation> mRR;
};

// Value at index i of a series padded by two reflected values at each end.
double reflected(std::span<const double> x, std::ptrdiff_t i) {
  const auto n = static_cast<std::ptrdiff_t>(x.size());
  if (i < 0) i = -i;
  if (i >= n) i = 2 * (n - 1) - i;
  return x[static_cast<std::size_t>(std::clamp<std::ptrdiff_t>(i, 0, n - 1))];
}

// Where each new difference stands in the series of the last classification:
// its index there when the three beats that make it are unchanged, and how
// far around it the differences stand unchanged at the same offset.
class Unchanged {
 public:
  Unchanged(std::span<const double> beats, std::span<const double> before)
      : offset_(beats.size(), kNone), runStart_(beats.size()), runEnd_(beats.size()) {
    std::size_t j = 0;
    for (std::size_t i = 2; i < beats.size(); ++i) {
      while (j < before.size() && before[j] < beats[i]) ++j;
      if (j >= 2 && j < before.size() && before[j] == beats[i] && before[j - 1] == beats[i - 1] &&
          before[j - 2] == beats[i - 2]) {
        offset_[i] = static_cast<std::ptrdiff_t>(j) - static_cast<std::ptrdiff_t>(i);
      }
    }
    for (std::size_t i = 0; i < beats.size(); ++i) {
      const bool continues = i > 0 && offset_[i] != kNone && offset_[i] == offset_[i - 1];
      runStart_[i] = continues ? runStart_[i - 1] : i;
    }
    for (std::size_t i = beats.size(); i-- > 0;) {
      const bool continues =
          i + 1 < beats.size() && offset_[i] != kNone && offset_[i] == offset_[i + 1];
      runEnd_[i] = continues ? runEnd_[i + 1] : i;
    }
  }

  // The index before of the window centred on i, when that whole window is
  // unchanged and lies away from both ends of both series.
  std::optional<std::size_t> sameWindow(std::size_t i, std::size_t half,
                                        std::size_t sizeBefore) const {
    if (offset_[i] == kNone || i < half || i + half >= offset_.size()) return std::nullopt;
    if (runStart_[i] > i - half || runEnd_[i] < i + half) return std::nullopt;
    const auto j = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(i) + offset_[i]);
    if (j < half || j + half >= sizeBefore) return std::nullopt;
    return j;
  }

 private:
  static constexpr std::ptrdiff_t kNone = PTRDIFF_MIN;
  std::vector<std::ptrdiff_t> offset_;
  std::vector<std::size_t> runStart_;
  std::vector<std::size_t> runEnd_;
};

// The thresholds of the successive differences, taken over from the last
// classification where their windows are unchanged.
std::vector<double> differenceThresholds(std::span<const double> dRR, double floor,
                                         std::span<const double> beats,
                                         const ClassificationMemory* memory) {
  if (memory == nullptr || memory->beats.empty()) return thresholds(dRR, floor);
  const Unchanged unchanged(beats, memory->beats);
  std::vector<double> result(dRR.size(), -1.0);
  std::vector<std::size_t> missing;
  for (std::size_t i = 0; i < dRR.size(); ++i) {
    const auto before = unchanged.sameWindow(i, kThresholdWindow / 2, memory->beats.size());
    if (before) {
      result[i] = memory->differenceThresholds[*before];
    } else {
      missing.push_back(i);
    }
  }
  if (missing.size() * kWindowStepsPerThreshold > dRR.size()) return thresholds(dRR, floor);
  std::vector<double> magnitudes(dRR.size());
  std::transform(dRR.begin(), dRR.end(), magnitudes.begin(), [](double v) { return std::abs(v); });
  for (const std::size_t i : missing) result[i] = thresholdAt(magnitudes, i, floor);
  return result;
}

Features computeFeatures(std::span<const double> beats, ClassificationMemory* memory) {
  Features f;
  const std::size_t n = beats.size();
  f.rr.resize(n);
  for (std::size_t i = 1; i < n; ++i) f.rr[i] = beats[i] - beats[i - 1];
  f.rr[0] = meanOf(std::span(f.rr).subspan(1));
  const double floor = kThresholdFloor * f.rr[0];

  f.dRR.resize(n);
  for (std::size_t i = 1; i < n; ++i) f.dRR[i] = f.rr[i] - f.rr[i - 1];
  f.dRR[0] = meanOf(std::span(f.dRR).subspan(1));
  std::vector<double> th1 = differenceThresholds(f.dRR, floor, beats, memory);
  for (std::size_t i = 0; i < n; ++i) f.dRR[i] /= th1[i];
  if (memory != nullptr) {
    memory->beats.assign(beats.begin(), beats.end());
    memory->differenceThresholds = std::move(th1);
  }

  f.s12.resize(n);
  f.s22.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    const auto j = static_cast<std::ptrdiff_t>(i);
    const double before = reflected(f.dRR, j - 1), after = reflected(f.dRR, j + 1),
                 next2 = reflected(f.dRR, j + 2);
    if (f.dRR[i] > 0) f.s12[i] = std::max(before, after);
    if (f.dRR[i] < 0) f.s12[i] = std::min(before, after);
    f.s22[i] = f.dRR[i] >= 0 ? std::min(after, next2) : std::max(after, next2);
  }

  f.medianRR = runningMedian(f.rr);
  f.mRR.emplace(f.rr, f.medianRR, floor);
  const auto changes =
      std::count_if(f.dRR.begin(), f.dRR.end(), [](double d) { return std::abs(d) > 1; });
  if (static_cast<std::size_t>(changes) * kWindowStepsPerThreshold > n) f.mRR->workOutAll();
  return f;
}

bool isEctopic(const Features& f, std::size_t i) {
  const double d = f.dRR[i];
  return (d > 1 && f.s12[i] < -kC1 * d - kC2) || (d < -1 && f.s12[i] > -kC1 * d + kC2);
}

// A short interval, far below the median, that joined to the next one
// makes an interval of median length: the two halves of one interval split
// by an extra beat. An early ectopic beat cannot make this pattern, as its
// short interval and the compensating long one add up to about two.
bool splitsAnInterval(const Features& f, std::size_t i) {
  return f.dRR[i] < -1 && f.mRR->normalised(i) < -kMedianDeviationLimit &&
         std::abs(f.rr[i] + f.rr[i + 1] - f.medianRR[i]) < f.mRR->threshold(i);
}

enum class Kind { normal, extra, missed, longShort };

Kind classifyLongShort(const Features& f, std::size_t j) {
  const bool isLong = f.dRR[j] > 1 && f.s22[j] < -1;
  const bool isShort = f.dRR[j] < -1 && f.s22[j] > 1;
  const bool farFromMedian = std::abs(f.mRR->normalised(j)) > kMedianDeviationLimit;
  if (!isLong && !isShort && !farFromMedian) return Kind::normal;
  // A short interval that, joined to the next, makes a normal one holds an
  // extra beat; a long one of two normal intervals lacks a beat.
  const double th2 = f.mRR->threshold(j);
  if (isShort && std::abs(f.rr[j] + f.rr[j + 1] - f.medianRR[j]) < th2) return Kind::extra;
  if (isLong && std::abs(f.rr[j] / 2 - f.medianRR[j]) < th2) return Kind::missed;
  return Kind::longShort;
}

}  // namespace

Artefacts classifyArtefacts(std::span<const double> beats) {
  ClassificationMemory none;
  return classifyArtefacts(beats, none);
}

Artefacts classifyArtefacts(std::span<const double> beats, ClassificationMemory& memory) {
  Artefacts found;
  if (beats.size() < 4) return found;
  const Features f = computeFeatures(beats, &memory);
  const std::size_t n = f.rr.size();
  std::size_t i = 0;
  while (i + 2 < n) {
    if (std::abs(f.dRR[i]) <= 1) {
      ++i;
      continue;
    }
    if (splitsAnInterval(f, i)) {
      // Checked before the ectopic pattern, which an extra beat in a
      // series of alternating intervals can mimic; see splitsAnInterval.
      found.extra.push_back(i);
      i += 2;
      continue;
    }
    if (isEctopic(f, i)) {
      // One misplaced beat changes three successive differences; the
      // pattern centres on the largest, and its far side is no centre.
      if (isEctopic(f, i + 1) && std::abs(f.dRR[i + 1]) > std::abs(f.dRR[i])) {
        ++i;
        continue;
      }
      // dRR[i] compares the intervals before and after beat i - 1: that beat
      // came early or late.
      if (i > 0) found.ectopic.push_back(i - 1);
      i += 2;
      continue;
    }
    // The next beat is looked at as well when its own change is the smaller
    // of the two that follow: the long and short pair may straddle it.
    const std::size_t first = i;
    const bool withNext = std::abs(f.dRR[i + 1]) < std::abs(f.dRR[i + 2]);
    for (std::size_t j = first; j <= first + (withNext ? 1 : 0); ++j) {
      ++i;
      const Kind kind = classifyLongShort(f, j);
      if (kind == Kind::extra) {
        // The interval after an extra beat is the rest of the one it split;
        // it is whole again once the beat is gone, so it is not judged.
        found.extra.push_back(j);
        i = j + 2;
        break;
      }
      if (kind == Kind::missed) found.missed.push_back(j);
      if (kind == Kind::longShort) found.longShort.push_back(j);
    }
  }
  // A beat both ectopic and long or short is corrected once, as ectopic.
  std::erase_if(found.longShort, [&](std::size_t j) {
    return std::binary_search(found.ectopic.begin(), found.ectopic.end(), j);
  });
  return found;
}

}  // namespace rrscope::beats
