#include "beats/artefact_correction.h"

#include <algorithm>

#include "beats/artefact_classification.h"

namespace rrscope::beats {
namespace {

using Indices = std::vector<std::size_t>;

// Indices above each changed index move by `step` (one removal or insertion
// each), one changed index after the other.
Indices shifted(const Indices& changed, Indices indices, int step) {
  for (const std::size_t c : changed) {
    for (std::size_t& i : indices) {
      if (i > c) i = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(i) + step);
    }
  }
  std::sort(indices.begin(), indices.end());
  indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
  return indices;
}

int removeExtra(std::vector<double>& beats, const Indices& extra) {
  std::vector<bool> drop(beats.size(), false);
  for (const std::size_t i : extra) drop[i] = true;
  std::size_t kept = 0;
  for (std::size_t i = 0; i < beats.size(); ++i) {
    if (!drop[i]) beats[kept++] = beats[i];
  }
  beats.resize(kept);
  return static_cast<int>(extra.size());
}

// A missed beat goes halfway between the beats around the long interval.
// The first two intervals have no history to judge them by and stay.
int insertMissed(std::vector<double>& beats, const Indices& missed) {
  std::vector<double> result;
  result.reserve(beats.size() + missed.size());
  int inserted = 0;
  auto next = missed.begin();
  for (std::size_t i = 0; i < beats.size(); ++i) {
    while (next != missed.end() && *next < i) ++next;
    if (next != missed.end() && *next == i && i > 1) {
      result.push_back((beats[i - 1] + beats[i]) / 2);
      ++inserted;
    }
    result.push_back(beats[i]);
  }
  beats = std::move(result);
  return inserted;
}

// Misplaced beats move halfway between their neighbours as they stood before
// any of them moved.
int moveToMidpoints(std::vector<double>& beats, const Indices& misplaced) {
  std::vector<std::pair<std::size_t, double>> moves;
  for (const std::size_t i : misplaced) {
    if (i > 1 && i + 1 < beats.size()) moves.emplace_back(i, (beats[i - 1] + beats[i + 1]) / 2);
  }
  for (const auto& [i, position] : moves) beats[i] = position;
  std::sort(beats.begin(), beats.end());
  return static_cast<int>(moves.size());
}

CorrectionCounts applyCorrections(std::vector<double>& beats, const Artefacts& found) {
  CorrectionCounts counts;
  counts.extra = removeExtra(beats, found.extra);
  const Indices missed = shifted(found.extra, found.missed, -1);
  Indices ectopic = shifted(found.extra, found.ectopic, -1);
  Indices longShort = shifted(found.extra, found.longShort, -1);
  counts.missed = insertMissed(beats, missed);
  ectopic = shifted(missed, ectopic, 1);
  longShort = shifted(missed, longShort, 1);
  counts.ectopic = moveToMidpoints(beats, ectopic);
  counts.longShort = moveToMidpoints(beats, longShort);
  return counts;
}

void add(CorrectionCounts& sum, const CorrectionCounts& more) {
  sum.extra += more.extra;
  sum.missed += more.missed;
  sum.ectopic += more.ectopic;
  sum.longShort += more.longShort;
}

}  // namespace

CorrectedBeats correctArtefacts(std::span<const double> beats) {
  CorrectedBeats result{{beats.begin(), beats.end()}, {}};
  Artefacts found = classifyArtefacts(result.beats);
  std::size_t previous = found.total();
  while (found.total() > 0) {
    add(result.counts, applyCorrections(result.beats, found));
    found = classifyArtefacts(result.beats);
    if (found.total() >= previous) break;
    previous = found.total();
  }
  return result;
}

}  // namespace rrscope::beats
