#include "beats/artefact_correction.h"

#include <algorithm>

#include "beats/artefact_classification.h"

namespace rrscope::beats {
namespace {

using Indices = std::vector<std::size_t>;

// The indices of beats after `removed` beats are taken out: each moves down
// by the number of removed beats before it.
Indices afterRemoval(const Indices& removed, Indices indices) {
  for (std::size_t& i : indices) {
    i -= static_cast<std::size_t>(std::lower_bound(removed.begin(), removed.end(), i) -
                                  removed.begin());
  }
  return indices;
}

// The indices of beats after a beat is inserted before each of `inserted`:
// each moves up by the number of insertions at or before it.
Indices afterInsertion(const Indices& inserted, Indices indices) {
  for (std::size_t& i : indices) {
    i += static_cast<std::size_t>(std::upper_bound(inserted.begin(), inserted.end(), i) -
                                  inserted.begin());
  }
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
  // Each beat moves between its neighbours, so the order holds but for
  // neighbours that moved together.
  if (!std::is_sorted(beats.begin(), beats.end())) std::sort(beats.begin(), beats.end());
  return static_cast<int>(moves.size());
}

CorrectionCounts applyCorrections(std::vector<double>& beats, const Artefacts& found) {
  CorrectionCounts counts;
  counts.extra = removeExtra(beats, found.extra);
  const Indices missed = afterRemoval(found.extra, found.missed);
  counts.missed = insertMissed(beats, missed);
  const Indices ectopic = afterInsertion(missed, afterRemoval(found.extra, found.ectopic));
  const Indices longShort = afterInsertion(missed, afterRemoval(found.extra, found.longShort));
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
  ClassificationMemory memory;
  Artefacts found = classifyArtefacts(result.beats, memory);
  std::size_t previous = found.total();
  while (found.total() > 0) {
    add(result.counts, applyCorrections(result.beats, found));
    found = classifyArtefacts(result.beats, memory);
    if (found.total() >= previous) break;
    previous = found.total();
  }
  return result;
}

}  // namespace rrscope::beats
