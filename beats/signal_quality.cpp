#include "beats/signal_quality.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "beats/artefact_classification.h"
#include "beats/physiology.h"
#include "beats/value_statistics.h"
#include "statistics/order_statistics.h"

namespace rrscope::beats {
namespace {

// The thresholds by which deflections, beats and shapes are judged are in
// DetectorTuning. A beat is trusted when its shape is held by at least
// DetectorTuning::commonShare of the beats and by at least this many. Not
// tuned.
constexpr std::size_t kCommonShapeLeast = 3;

// Complexes of other shapes between two beats of the recording's main
// shape are more than the heart can have made when there are more of them
// than the interval holds usual intervals less one: a premature beat is
// followed by a pause, so the two intervals around it add up to about two
// usual ones. Noise taken for beats crowds into intervals that the main
// rhythm keeps. (An interpolated ectopic beat, rare, is counted so too.)
// The usual interval is the median of the main shape's intervals among the
// 16 beats around.
constexpr std::size_t kRhythmNeighbours = 8;
// Where the rhythm is regular, each interval is judged against the rhythm
// of the trusted beats around it, the median of their intervals among the
// 40 on either side: half a minute, enough for noise that makes many beats
// untrusted to leave some. An interval within 8 % of it, between beats that
// the rhythm rules keep and that resemble the main complex at 0.5 or more,
// is a beat of the rhythm even where noise has made their shapes rare:
// noise seldom falls on both the rhythm and the form of a complex
// (DetectorTuning::inTheRhythm and resemblesMain). Not tuned.
constexpr std::size_t kUsualNeighbours = 40;

// The shape most beats have.
std::size_t mainShape(std::span<const ShapedBeat> beats) {
  const auto most = std::ranges::max_element(
      beats, [](const ShapedBeat& a, const ShapedBeat& b) { return a.shapeSize < b.shapeSize; });
  return most->shape;
}

// The intervals between successive beats of `shape` among the beats around
// index i; with `leaveOutBeat`, not the two that meet at beat i.
std::vector<double> intervalsAround(std::span<const ShapedBeat> beats, std::size_t shape,
                                    std::size_t i, bool leaveOutBeat) {
  const std::size_t from = i > kRhythmNeighbours ? i - kRhythmNeighbours : 0;
  const std::size_t to = std::min(beats.size(), i + kRhythmNeighbours + 1);
  std::vector<double> intervals;
  for (std::size_t k = from + 1; k < to; ++k) {
    if (leaveOutBeat && (k == i || k == i + 1)) continue;
    if (beats[k - 1].shape == shape && beats[k].shape == shape) {
      intervals.push_back(beats[k].position - beats[k - 1].position);
    }
  }
  return intervals;
}

// The median interval between successive beats of `shape` among the beats
// around index i; 0 when there are none.
double usualInterval(std::span<const ShapedBeat> beats, std::size_t shape, std::size_t i) {
  const std::vector<double> intervals = intervalsAround(beats, shape, i, false);
  return intervals.empty() ? 0 : statistics::upperMedian(intervals);
}

// For each beat, whether it is one of more complexes of other shapes than
// their interval of the main rhythm holds room for: noise taken for beats.
std::vector<bool> outsideTheRhythm(std::span<const ShapedBeat> beats) {
  std::vector<bool> extra(beats.size(), false);
  const std::size_t main = mainShape(beats);
  std::size_t i = 1;
  while (i + 1 < beats.size()) {
    if (beats[i].shape == main || beats[i - 1].shape != main) {
      ++i;
      continue;
    }
    std::size_t end = i;  // the run of other shapes is [i, end)
    while (end < beats.size() && beats[end].shape != main) ++end;
    if (end == beats.size()) break;
    const double usual = usualInterval(beats, main, i);
    const double room =
        usual > 0 ? std::round((beats[end].position - beats[i - 1].position) / usual) - 1 : 0;
    if (usual > 0 && static_cast<double>(end - i) > room) {
      for (std::size_t k = i; k < end; ++k) extra[k] = true;
    }
    i = end + 1;
  }
  return extra;
}

// Beats that the interval series alone shows to be extra, two short
// intervals that add up to about one usual one, whatever their shape: noise
// that took the main shape's form.
void markExtraByIntervals(std::span<const ShapedBeat> beats, std::vector<bool>& extra) {
  std::vector<double> positions;
  positions.reserve(beats.size());
  for (const ShapedBeat& b : beats) positions.push_back(b.position);
  if (!std::ranges::is_sorted(positions)) return;
  for (const std::size_t i : classifyArtefacts(positions).extra) extra[i] = true;
}

// Beats of the main shape in a regular rhythm whose two neighbours lie
// closer together than a beat of the rhythm leaves them: noise in the form
// of the main complex, which the interval series' own classification lets
// pass where the noise has made the intervals around irregular too.
void markBeatsBetweenCloseNeighbours(std::span<const ShapedBeat> beats, std::vector<bool>& extra,
                                     const DetectorTuning& tuning) {
  const std::size_t main = mainShape(beats);
  for (std::size_t i = 1; i + 1 < beats.size(); ++i) {
    if (beats[i].shape != main || extra[i]) continue;
    const std::vector<double> around = intervalsAround(beats, main, i, true);
    if (around.empty()) continue;
    const double usual = statistics::upperMedian(around);
    if (beats[i + 1].position - beats[i - 1].position >= tuning.roomForABeat * usual) continue;
    std::vector<double> strays;
    strays.reserve(around.size());
    for (const double interval : around) strays.push_back(std::abs(interval - usual));
    if (statistics::upperMedian(strays) <= tuning.regularStray * usual) extra[i] = true;
  }
}

// For each shape index, whether the shape is one that noise made.
std::vector<bool> noiseShapes(std::span<const ShapedBeat> beats, const std::vector<bool>& extra,
                              double noiseShapeShare) {
  std::size_t shapes = 0;
  for (const ShapedBeat& b : beats) shapes = std::max(shapes, b.shape + 1);
  std::vector<double> all(shapes, 0), crowded(shapes, 0);
  for (std::size_t i = 0; i < beats.size(); ++i) {
    all[beats[i].shape] += 1;
    if (extra[i]) crowded[beats[i].shape] += 1;
  }
  std::vector<bool> noise(shapes, false);
  for (std::size_t s = 0; s < shapes; ++s) {
    noise[s] = all[s] > 0 && crowded[s] >= noiseShapeShare * all[s];
  }
  return noise;
}

// The rhythm around an interval: the median of the intervals between two
// trusted beats among the kUsualNeighbours intervals on either side (0
// where there are none), and whether they stray from it by `regularStray`
// of it or less.
struct Rhythm {
  double usual = 0;
  bool regular = false;
};
std::vector<Rhythm> trustedRhythm(std::span<const ShapedBeat> beats,
                                  const std::vector<bool>& trusted, double regularStray) {
  std::vector<Rhythm> rhythm(beats.size() - 1);
  std::vector<double> around, strays;
  for (std::size_t i = 0; i + 1 < beats.size(); ++i) {
    around.clear();
    const std::size_t from = i > kUsualNeighbours ? i - kUsualNeighbours : 0;
    const std::size_t to = std::min(beats.size() - 1, i + kUsualNeighbours + 1);
    for (std::size_t k = from; k < to; ++k) {
      if (trusted[k] && trusted[k + 1]) around.push_back(beats[k + 1].position - beats[k].position);
    }
    if (around.empty()) continue;
    const double usual = statistics::upperMedian(around);
    strays.clear();
    for (const double interval : around) strays.push_back(std::abs(interval - usual));
    rhythm[i] = {usual, statistics::upperMedian(strays) <= regularStray * usual};
  }
  return rhythm;
}

// Whether the interval from beat i to the next is long enough to hold a
// beat that noise hid; without the usual interval to judge by, it is.
bool mayHideABeat(std::span<const ShapedBeat> beats, std::size_t main, std::size_t i,
                  double roomForABeat) {
  const double usual = usualInterval(beats, main, i);
  return usual <= 0 || beats[i + 1].position - beats[i].position >= roomForABeat * usual;
}

}  // namespace

std::vector<SampleStretch> unreadableStretches(std::span<const double> bandPassed,
                                               std::span<const ShapedBeat> beats, double rate,
                                               const DetectorTuning& tuning) {
  if (beats.size() < 2) return {};
  const auto half = static_cast<std::int64_t>(std::llround(kNarrowQrsHalfSeconds * rate));
  const auto at = [](const ShapedBeat& b) { return std::llround(b.position); };
  std::vector<double> amplitudes;
  amplitudes.reserve(beats.size());
  for (const ShapedBeat& b : beats) {
    amplitudes.push_back(largestMagnitudeIn(bandPassed, at(b) - half, at(b) + half + 1));
  }
  const double typical = statistics::upperMedian(amplitudes);
  std::vector<double> between;
  between.reserve(beats.size() - 1);
  for (std::size_t i = 0; i + 1 < beats.size(); ++i) {
    between.push_back(largestMagnitudeIn(bandPassed, at(beats[i]) + half, at(beats[i + 1]) - half));
  }
  const auto common =
      std::max(kCommonShapeLeast,
               static_cast<std::size_t>(tuning.commonShare * static_cast<double>(beats.size())));
  const double least =
      std::max(tuning.noiseRatio * typical, tuning.aboveUsual * statistics::upperMedian(between));
  std::vector<bool> extra = outsideTheRhythm(beats);
  markExtraByIntervals(beats, extra);
  markBeatsBetweenCloseNeighbours(beats, extra, tuning);
  const std::vector<bool> noiseShape = noiseShapes(beats, extra, tuning.noiseShapeShare);
  std::vector<bool> trusted(beats.size());
  for (std::size_t k = 0; k < beats.size(); ++k) {
    trusted[k] = beats[k].shapeSize >= common && beats[k].correlation >= tuning.trustedMatch &&
                 !extra[k] && !noiseShape[beats[k].shape];
  }
  const std::vector<Rhythm> rhythm = trustedRhythm(beats, trusted, tuning.regularStray);
  // A beat of a rare shape is an ectopic or aberrant complex, whose
  // intervals are no part of the rhythm even when they happen to match it.
  const auto resemblesMain = [&](std::size_t k) {
    return !extra[k] && beats[k].shapeSize >= common &&
           beats[k].mainCorrelation >= tuning.resemblesMain;
  };
  std::vector<SampleStretch> stretches;
  const std::size_t main = mainShape(beats);
  for (std::size_t i = 0; i + 1 < beats.size(); ++i) {
    const bool noisy = between[i] >= least && mayHideABeat(beats, main, i, tuning.roomForABeat);
    const double usual = rhythm[i].usual;
    const double stray =
        usual > 0 ? std::abs(beats[i + 1].position - beats[i].position - usual) / usual : 0;
    const bool inTheRhythm = rhythm[i].regular && stray <= tuning.inTheRhythm && resemblesMain(i) &&
                             resemblesMain(i + 1);
    const bool readable = (!noisy && trusted[i] && trusted[i + 1]) || inTheRhythm;
    if (readable) continue;
    const SampleStretch stretch{beats[i].position, beats[i + 1].position};
    if (!stretches.empty() && stretch.begin <= stretches.back().end) {
      stretches.back().end = stretch.end;
    } else {
      stretches.push_back(stretch);
    }
  }
  return stretches;
}

}  // namespace rrscope::beats
