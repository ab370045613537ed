#include "editing/beat_sources.h"

#include <optional>
#include <queue>

namespace rrscope::editing {
namespace {

// A beat between two unchanged ones: new in the corrected series (with its
// index there) or gone from the detected one.
struct GapBeat {
  double position = 0;
  std::optional<std::size_t> corrected;
};

// Two beats of a gap, next to each other among those not yet paired.
struct Candidate {
  double distance = 0;
  std::size_t left = 0;
  std::size_t right = 0;
};

bool pairsLater(const Candidate& a, const Candidate& b) {
  return a.distance > b.distance || (a.distance == b.distance && a.left > b.left);
}

// Pairs the new and the vanished beats of `gap` (in increasing order)
// closest pair first and marks the new beat of each pair as moved. The
// closest pair left is always two neighbours among the beats not yet
// paired, so only neighbours are candidates, and a day-long gap takes
// O(n log n), not the O(n²) of every pair.
void markMoved(std::span<const GapBeat> gap, std::span<BeatSource> sources,
               std::vector<double>* removed) {
  const std::size_t none = gap.size();
  std::vector<std::size_t> previous(gap.size()), next(gap.size());
  for (std::size_t i = 0; i < gap.size(); ++i) {
    previous[i] = i == 0 ? none : i - 1;
    next[i] = i + 1;
  }
  std::vector<bool> paired(gap.size(), false);
  std::priority_queue<Candidate, std::vector<Candidate>, decltype(&pairsLater)> candidates(
      &pairsLater);
  const auto offer = [&](std::size_t left) {
    if (left == none || next[left] == none) return;
    const std::size_t right = next[left];
    if (gap[left].corrected.has_value() == gap[right].corrected.has_value()) return;
    candidates.push({gap[right].position - gap[left].position, left, right});
  };
  for (std::size_t i = 0; i < gap.size(); ++i) offer(i);
  while (!candidates.empty()) {
    const Candidate pair = candidates.top();
    candidates.pop();
    // Beats only ever leave the list, so two unpaired ones are still neighbours.
    if (paired[pair.left] || paired[pair.right]) continue;
    paired[pair.left] = paired[pair.right] = true;
    const GapBeat& moved = gap[pair.left].corrected ? gap[pair.left] : gap[pair.right];
    sources[*moved.corrected] = BeatSource::moved;
    const std::size_t before = previous[pair.left], after = next[pair.right];
    if (before != none) next[before] = after;
    if (after != none) previous[after] = before;
    offer(before);
  }
  if (removed == nullptr) return;
  for (std::size_t i = 0; i < gap.size(); ++i) {
    if (!gap[i].corrected && !paired[i]) removed->push_back(gap[i].position);
  }
}

}  // namespace

std::vector<BeatSource> beatSources(std::span<const double> detected,
                                    std::span<const double> corrected,
                                    std::vector<double>* removed) {
  std::vector<BeatSource> sources(corrected.size(), BeatSource::inserted);
  std::vector<GapBeat> gap;
  const auto closeGap = [&] {
    markMoved(gap, sources, removed);
    gap.clear();
  };
  // One merge of the two series: equal beats are the anchors, and what lies
  // between two anchors comes out in increasing order.
  std::size_t c = 0, d = 0;
  while (c < corrected.size() || d < detected.size()) {
    if (c < corrected.size() && d < detected.size() && corrected[c] == detected[d]) {
      closeGap();
      sources[c++] = BeatSource::detected;
      ++d;
    } else if (d == detected.size() || (c < corrected.size() && corrected[c] < detected[d])) {
      gap.push_back({corrected[c], c});
      ++c;
    } else {
      gap.push_back({detected[d++], std::nullopt});
    }
  }
  closeGap();
  return sources;
}

}  // namespace rrscope::editing
