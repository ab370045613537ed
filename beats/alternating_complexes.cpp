#include "beats/alternating_complexes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "beats/beat_shapes.h"
#include "beats/shape_alignment.h"

namespace rrscope::beats {
namespace {

// Complexes of one kind match each other as a hump passed over must match a
// recurring shape to be a beat, and a kind needs as many members.
// More kinds than this among the passed-over humps are noise; the rest are
// left to the thresholds.
constexpr std::size_t kMaxKinds = 16;

struct Kind {
  std::vector<double> outline;       // the first member's, 2h + 1 samples
  std::vector<std::size_t> members;  // indices into the steep humps
};

// The humps passed over between two beats that are as steep as a complex
// next to both, and the interval (the index of the beat before) each lies in.
struct SteepHump {
  std::size_t passed = 0;    // index into decisions.passedOver
  std::size_t interval = 0;  // index of the beat before it
  double coupling = 0;       // samples from that beat
};
std::vector<SteepHump> steepHumps(const QrsDecisions& d) {
  std::vector<SteepHump> steep;
  std::size_t next = 0;
  for (std::size_t p = 0; p < d.passedOver.size(); ++p) {
    const QrsHump& hump = d.passedOver[p];
    while (next < d.beats.size() && d.beats[next].index < hump.index) ++next;
    if (next == 0 || next == d.beats.size()) continue;
    // Not a T wave by the decisions' test, against both beats around it.
    const double around = std::min(d.beats[next - 1].slope, d.beats[next].slope);
    if (hump.slope >= kTWaveSlopeRatio * around) {
      steep.push_back({p, next - 1, static_cast<double>(hump.index - d.beats[next - 1].index)});
    }
  }
  return steep;
}

}  // namespace

void addAlternatingComplexes(QrsDecisions& decisions, std::span<const double> lowPassed,
                             double rate, const DetectorTuning& tuning) {
  const auto half = std::max<std::int64_t>(2, std::llround(kShapeHalfSeconds * rate));
  const auto lag = std::max<std::int64_t>(1, std::llround(kShapeLagSeconds * rate));
  const std::vector<SteepHump> steep = steepHumps(decisions);
  std::vector<Kind> kinds;
  std::vector<std::size_t> kindOf(steep.size(), kMaxKinds);
  for (std::size_t h = 0; h < steep.size(); ++h) {
    const std::int64_t at = decisions.passedOver[steep[h].passed].index;
    const auto segment = stretchInside(lowPassed, at, half + lag, half + lag);
    if (!segment) continue;
    for (std::size_t k = 0; k < kinds.size() && kindOf[h] == kMaxKinds; ++k) {
      const Alignment a = alignShape(kinds[k].outline, *segment, static_cast<int>(lag));
      if (a.correlation >= tuning.hiddenBeatMatch && a.gain >= 1 / tuning.hiddenBeatGain &&
          a.gain <= tuning.hiddenBeatGain) {
        kindOf[h] = k;
        kinds[k].members.push_back(h);
      }
    }
    if (kindOf[h] == kMaxKinds && kinds.size() < kMaxKinds) {
      const auto central =
          segment->subspan(static_cast<std::size_t>(lag), static_cast<std::size_t>(2 * half + 1));
      kindOf[h] = kinds.size();
      kinds.push_back({{central.begin(), central.end()}, {h}});
    }
  }
  // A complex of the alternation lies in an interval next to another that
  // holds one of its kind at the same coupling: the rhythm alternates for a
  // run of beats.
  const auto paired = [&](std::size_t a, std::size_t b) {
    return steep[a].interval + 1 == steep[b].interval &&
           std::abs(steep[a].coupling - steep[b].coupling) <=
               tuning.sameCoupling * std::min(steep[a].coupling, steep[b].coupling);
  };
  std::vector<QrsHump> found;
  for (const Kind& kind : kinds) {
    if (kind.members.size() < kRecurringShape) continue;
    const std::vector<std::size_t>& h = kind.members;
    for (std::size_t m = 0; m < h.size(); ++m) {
      if ((m > 0 && paired(h[m - 1], h[m])) || (m + 1 < h.size() && paired(h[m], h[m + 1]))) {
        found.push_back({decisions.passedOver[steep[h[m]].passed].index,
                         decisions.passedOver[steep[h[m]].passed].slope, true});
      }
    }
  }
  if (found.empty()) return;
  std::erase_if(decisions.passedOver, [&](const QrsHump& p) {
    return std::ranges::any_of(found, [&](const QrsHump& f) { return f.index == p.index; });
  });
  decisions.beats.insert(decisions.beats.end(), found.begin(), found.end());
  std::ranges::sort(decisions.beats, {}, &QrsHump::index);
}

}  // namespace rrscope::beats
