#include "beats/beat_shapes.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "beats/shape_alignment.h"
#include "statistics/order_statistics.h"

namespace rrscope::beats {
namespace {

// The correlations, weights and fractions by which beats are grouped into
// shapes and timed are in DetectorTuning.
//
// A shape seen fewer times than this is more likely a common complex
// distorted by noise than a morphology of its own: its mean is too noisy to
// choose a point on, so it takes the point of the common shape it resembles
// even when the resemblance is only moderate
// (DetectorTuning::noisyRelatedShape). Not tuned.
constexpr std::size_t kEstablishedShape = 3;
// More shapes than this are noise or artefact rather than morphologies; a
// beat then goes with the shape it matches best.
constexpr std::size_t kMaxShapes = 16;
// A hidden beat is looked for only in a gap long against the median of the
// eight intervals on either side (DetectorTuning::longGap). Not tuned.
constexpr std::size_t kGapNeighbours = 8;
// The fiducial point is chosen on the lead around the mean complex: its
// baseline is the median over 150 ms on either side, where the QRS fills
// less than half and the median lies on the level between the waves.
constexpr double kBaselineHalfSeconds = 0.150;

struct Shape {
  std::vector<double> running;  // 2h + 1 samples, the template while learning
  std::vector<double> sum;      // 2h + 4 lag + 1 samples, aligned beats added up
  std::size_t count = 0;
  std::vector<double> mean;     // sum / count
  std::vector<double> leadSum;  // the low-passed lead around the aligned beats
  double fiducialOffset = 0;    // from the shape's centre, in samples
  std::size_t timed = 0;        // beats timed against this shape
};

// The samples of `x` from centre - half to centre + half; outside the lead
// the nearest sample stands in.
// The samples of `x` from centre - half to centre + half: a view into `x`
// where the stretch lies inside it, else a copy in `buffer` in which the
// nearest sample stands in for those outside the lead.
std::span<const double> stretchAround(std::span<const double> x, std::int64_t centre,
                                      std::int64_t half, std::vector<double>& buffer) {
  const auto n = static_cast<std::int64_t>(x.size());
  if (centre - half >= 0 && centre + half < n) {
    return x.subspan(static_cast<std::size_t>(centre - half),
                     static_cast<std::size_t>(2 * half + 1));
  }
  buffer.assign(static_cast<std::size_t>(2 * half + 1), 0.0);
  if (n == 0) return buffer;
  for (std::int64_t k = -half; k <= half; ++k) {
    const std::int64_t i = std::clamp<std::int64_t>(centre + k, 0, n - 1);
    buffer[static_cast<std::size_t>(k + half)] = x[static_cast<std::size_t>(i)];
  }
  return buffer;
}

std::span<const double> middle(std::span<const double> wide, std::size_t width) {
  return wide.subspan((wide.size() - width) / 2, width);
}

void addInto(std::vector<double>& sum, std::span<const double> x) {
  for (std::size_t k = 0; k < sum.size(); ++k) sum[k] += x[k];
}

double vertexNear(std::span<const double> y, std::size_t i) {
  if (i == 0 || i + 1 >= y.size()) return static_cast<double>(i);
  const double curvature = y[i - 1] - 2 * y[i] + y[i + 1];
  if (curvature == 0) return static_cast<double>(i);
  return static_cast<double>(i) + std::clamp(0.5 * (y[i - 1] - y[i + 1]) / curvature, -0.5, 0.5);
}

class ShapeLearner {
 public:
  ShapeLearner(const ShapeSignals& s, const DetectorTuning& tuning)
      : signals_(s),
        tuning_(tuning),
        half_(std::max<std::int64_t>(2, std::llround(kShapeHalfSeconds * s.rate))),
        lag_(std::max<std::int64_t>(1, std::llround(kShapeLagSeconds * s.rate))),
        baselineHalf_(std::llround(kBaselineHalfSeconds * s.rate)) {}

  std::vector<ShapedBeat> place(std::span<const std::int64_t> humps,
                                std::span<const std::int64_t> possible) {
    std::vector<std::int64_t> approximate;
    approximate.reserve(humps.size());
    for (const std::int64_t hump : humps) approximate.push_back(energyCentre(hump));
    std::vector<std::size_t> shapeOf;
    shapeOf.reserve(approximate.size());
    for (const std::int64_t at : approximate) shapeOf.push_back(learn(at));
    for (Shape& shape : shapes_) {
      shape.mean = shape.sum;
      for (double& v : shape.mean) v /= static_cast<double>(shape.count);
      shape.leadSum.assign(static_cast<std::size_t>(2 * baselineHalf_ + 1), 0.0);
    }
    const std::vector<std::size_t> order = byCount();
    addHiddenBeats(possible, order, approximate, shapeOf);
    std::vector<ShapedBeat> placed;
    placed.reserve(approximate.size());
    for (std::size_t i = 0; i < approximate.size(); ++i) {
      const std::span<const double> segment = beatSegmentAt(approximate[i]);
      // Each beat is timed against the most common shape it resembles: a
      // shape learnt from hundreds of beats times it more steadily than a
      // variant learnt from a few, and beats of one family of complexes
      // then share one fiducial point directly.
      std::size_t chosen = shapeOf[i];
      Alignment a{}, toMain{};
      for (const std::size_t s : order) {
        a = alignShape(middle(shapes_[s].mean, width()), segment, static_cast<int>(lag_));
        if (s == order.front()) toMain = a;
        if (s == shapeOf[i] || a.correlation >= tuning_.relatedShape) {
          chosen = s;
          break;
        }
      }
      Shape& shape = shapes_[chosen];
      const double anchor = static_cast<double>(approximate[i]) + a.lag;
      addInto(shape.leadSum,
              stretchAround(signals_.lowPassed, std::llround(anchor), baselineHalf_, leadBuffer_));
      ++shape.timed;
      placed.push_back({anchor, chosen, shape.count, a.correlation, a.gain, toMain.correlation});
    }
    chooseFiducialPoints();
    for (ShapedBeat& beat : placed) beat.position += shapes_[beat.shape].fiducialOffset;
    return placed;
  }

 private:
  // The humps among `possible` that a recurring shape matches, merged into
  // `approximate` (with their shapes in `shapeOf`) in order of position.
  void addHiddenBeats(std::span<const std::int64_t> possible, std::span<const std::size_t> order,
                      std::vector<std::int64_t>& approximate, std::vector<std::size_t>& shapeOf) {
    std::vector<std::pair<std::int64_t, std::size_t>> found;
    for (const std::int64_t hump : possible) {
      const std::int64_t at = energyCentre(hump);
      if (!inLongGap(approximate, at, tuning_.longGap)) continue;
      const std::span<const double> segment = beatSegmentAt(at);
      for (const std::size_t s : order) {
        if (shapes_[s].count < kRecurringShape) break;
        const Alignment a =
            alignShape(middle(shapes_[s].mean, width()), segment, static_cast<int>(lag_));
        if (a.correlation >= tuning_.hiddenBeatMatch && a.gain >= 1 / tuning_.hiddenBeatGain &&
            a.gain <= tuning_.hiddenBeatGain) {
          found.emplace_back(at, s);
          break;
        }
      }
    }
    if (found.empty()) return;
    std::vector<std::pair<std::int64_t, std::size_t>> all;
    all.reserve(approximate.size() + found.size());
    for (std::size_t i = 0; i < approximate.size(); ++i)
      all.emplace_back(approximate[i], shapeOf[i]);
    all.insert(all.end(), found.begin(), found.end());
    std::stable_sort(all.begin(), all.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    approximate.clear();
    shapeOf.clear();
    for (const auto& [at, shape] : all) {
      approximate.push_back(at);
      shapeOf.push_back(shape);
    }
  }

  // True when `at` lies between two of `beats` (increasing) whose interval
  // is long against the intervals around it.
  static bool inLongGap(std::span<const std::int64_t> beats, std::int64_t at, double longGap) {
    const auto next = std::upper_bound(beats.begin(), beats.end(), at);
    if (next == beats.begin() || next == beats.end()) return false;
    const auto k = static_cast<std::size_t>(next - beats.begin());
    std::vector<double> around;
    const std::size_t first = k > kGapNeighbours ? k - kGapNeighbours : 1;
    const std::size_t last = std::min(beats.size() - 1, k + kGapNeighbours);
    for (std::size_t i = first; i <= last; ++i) {
      if (i != k) around.push_back(static_cast<double>(beats[i] - beats[i - 1]));
    }
    if (around.empty()) return false;
    return static_cast<double>(beats[k] - beats[k - 1]) > longGap * statistics::upperMedian(around);
  }

  // The shapes, the most common first.
  std::vector<std::size_t> byCount() const {
    std::vector<std::size_t> order(shapes_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
      return shapes_[a].count > shapes_[b].count;
    });
    return order;
  }

  std::size_t width() const { return static_cast<std::size_t>(2 * half_ + 1); }

  // The centre of the QRS band's energy around a hump, found again from
  // the last centre until it settles. The hump of the integration can sit
  // on either of two lobes of a biphasic complex; the centre of its energy
  // moves smoothly with the complex, and so starts the alignment of every
  // beat of a shape from about the same point.
  std::int64_t energyCentre(std::int64_t at) const {
    const auto n = static_cast<std::int64_t>(signals_.bandPassed.size());
    for (int pass = 0; pass < 4; ++pass) {
      double weighted = 0, total = 0;
      for (std::int64_t i = std::max<std::int64_t>(0, at - half_); i <= std::min(n - 1, at + half_);
           ++i) {
        const double e = signals_.bandPassed[static_cast<std::size_t>(i)] *
                         signals_.bandPassed[static_cast<std::size_t>(i)];
        weighted += e * static_cast<double>(i);
        total += e;
      }
      if (total <= 0) break;
      at = std::llround(weighted / total);
    }
    return at;
  }

  // What a beat is aligned on: its complex with room for the shift.
  std::span<const double> beatSegmentAt(std::int64_t centre) {
    return stretchAround(signals_.lowPassed, centre, half_ + lag_, beatBuffer_);
  }

  // What a shape keeps of each beat: twice the room, so that two shapes can
  // be aligned with each other even when their beats were found from
  // different points of the complex.
  std::span<const double> segmentAt(std::int64_t centre) {
    return stretchAround(signals_.lowPassed, centre, half_ + 2 * lag_, wideBuffer_);
  }

  // Finds the shape of the beat near `at`, or starts a new one, and adds
  // the beat to it. Returns the shape's index.
  std::size_t learn(std::int64_t at) {
    const std::span<const double> segment = beatSegmentAt(at);
    std::size_t best = shapes_.size();
    Alignment bestAlignment{0, -2};
    for (std::size_t s = 0; s < shapes_.size(); ++s) {
      const Alignment a = alignShape(shapes_[s].running, segment, static_cast<int>(lag_));
      if (a.correlation > bestAlignment.correlation) {
        bestAlignment = a;
        best = s;
      }
    }
    if (best == shapes_.size() ||
        (bestAlignment.correlation < tuning_.sameShape && shapes_.size() < kMaxShapes)) {
      const auto central = middle(segment, width());
      const std::span<const double> wide = segmentAt(at);
      shapes_.push_back(
          {{central.begin(), central.end()}, {wide.begin(), wide.end()}, 1, {}, {}, 0, 0});
      return shapes_.size() - 1;
    }
    Shape& shape = shapes_[best];
    const std::span<const double> aligned = segmentAt(at + std::llround(bestAlignment.lag));
    const double weight =
        std::max(1.0 / static_cast<double>(shape.count + 1), 1.0 / tuning_.templateMemory);
    const auto central = middle(aligned, width());
    for (std::size_t k = 0; k < shape.running.size(); ++k) {
      shape.running[k] += weight * (central[k] - shape.running[k]);
    }
    addInto(shape.sum, aligned);
    ++shape.count;
    return best;
  }

  // The R peak or dominant deflection of a shape's mean complex, as an
  // offset from the shape's centre.
  double ownFiducialOffset(const Shape& shape) const {
    std::vector<double> lead = shape.leadSum;
    for (double& v : lead) v /= static_cast<double>(std::max<std::size_t>(1, shape.timed));
    const double base = statistics::upperMedian(lead);
    const auto centre = static_cast<std::size_t>(baselineHalf_);
    const auto reach = static_cast<std::size_t>(std::min(half_, baselineHalf_));
    std::size_t high = centre, low = centre;
    for (std::size_t k = centre - reach; k <= centre + reach; ++k) {
      if (lead[k] > lead[high]) high = k;
      if (lead[k] < lead[low]) low = k;
    }
    const bool hasRWave = lead[high] - base >= tuning_.rWaveFraction * (base - lead[low]);
    return vertexNear(lead, hasRWave ? high : low) - static_cast<double>(centre);
  }

  // Whether `shape`, matched well to `common` at `lag`, is a variant of
  // that complex. The beats of both are centred on their QRS energy, so
  // variants of one complex lie within one beat's shift of each other.
  // Complexes that point opposite ways, as those of bidirectional
  // tachycardia do, can match well too once one is shifted further, until
  // a smaller wave of one lies on the main wave of the other; the point
  // taken over then lands beside the complex, on its baseline.
  bool isVariant(const Shape& shape, const Shape& common, double lag) const {
    return std::abs(lag) <= static_cast<double>(lag_) ||
           onAWave(shape, common.fiducialOffset + lag);
  }

  // Whether the point `offset` from the centre of `shape` lies on a wave of
  // its mean complex at least DetectorTuning::onAWave of its largest.
  bool onAWave(const Shape& shape, double offset) const {
    const auto from = static_cast<std::size_t>(2 * lag_);
    const std::span<const double> own = std::span(shape.mean).subspan(from, width());
    const double base = statistics::upperMedian({own.begin(), own.end()});
    const auto at = static_cast<std::int64_t>(half_) + std::llround(offset);
    if (at < 0 || at >= static_cast<std::int64_t>(own.size())) return false;
    const double largest = std::ranges::max(own, {}, [&](double v) { return std::abs(v - base); });
    return std::abs(own[static_cast<std::size_t>(at)] - base) >=
           tuning_.onAWave * std::abs(largest - base);
  }

  // Each shape, the most common first, takes the fiducial point of a more
  // common shape it resembles, or else its own.
  void chooseFiducialPoints() {
    const std::vector<std::size_t> order = byCount();
    for (std::size_t n = 0; n < order.size(); ++n) {
      Shape& shape = shapes_[order[n]];
      Alignment closest{0, -2};
      const Shape* relative = nullptr;
      for (std::size_t m = 0; m < n; ++m) {
        const Shape& common = shapes_[order[m]];
        const Alignment a =
            alignShape(middle(common.mean, width()), shape.mean, static_cast<int>(2 * lag_));
        if (a.correlation > closest.correlation) {
          closest = a;
          relative = &common;
        }
      }
      const double enough =
          shape.count < kEstablishedShape ? tuning_.noisyRelatedShape : tuning_.relatedShape;
      // A best shift on the edge of the search is no match of the complexes.
      const bool inside = std::abs(closest.lag) < static_cast<double>(2 * lag_) - 1;
      shape.fiducialOffset = relative != nullptr && closest.correlation >= enough && inside &&
                                     isVariant(shape, *relative, closest.lag)
                                 ? relative->fiducialOffset + closest.lag
                                 : ownFiducialOffset(shape);
    }
  }

  const ShapeSignals& signals_;
  const DetectorTuning& tuning_;
  std::int64_t half_;
  std::int64_t lag_;
  std::int64_t baselineHalf_;
  std::vector<Shape> shapes_;
  // Room for stretches that reach past the ends of the lead.
  std::vector<double> beatBuffer_, wideBuffer_, leadBuffer_;
};

}  // namespace

std::vector<ShapedBeat> placeBeatsByShape(const ShapeSignals& signals,
                                          std::span<const std::int64_t> approximate,
                                          std::span<const std::int64_t> possible,
                                          const DetectorTuning& tuning) {
  if (approximate.empty()) return {};
  return ShapeLearner(signals, tuning).place(approximate, possible);
}

}  // namespace rrscope::beats
