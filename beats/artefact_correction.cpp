#include "beats/artefact_correction.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

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

// A missed beat goes halfway between the beats around the long interval,
// or, with the samples at hand, onto the QRS complex found there; where
// none is found the interval is a pause, noted in `pauses` by the beat that
// ends it. The first two intervals have no history to judge them by and
// stay.
struct Insertion {
  int inserted = 0;
  int pauses = 0;
};

Insertion insertMissed(std::vector<double>& beats, const Indices& missed, const QrsFinder* find,
                       std::vector<double>& pauses) {
  std::vector<double> result;
  result.reserve(beats.size() + missed.size());
  Insertion counts;
  auto next = missed.begin();
  for (std::size_t i = 0; i < beats.size(); ++i) {
    while (next != missed.end() && *next < i) ++next;
    if (next != missed.end() && *next == i && i > 1) {
      const std::optional<double> found =
          find != nullptr ? (*find)(beats[i - 1], beats[i])
                          : std::optional<double>((beats[i - 1] + beats[i]) / 2);
      if (found) {
        result.push_back(*found);
        ++counts.inserted;
      } else {
        pauses.push_back(beats[i]);
        ++counts.pauses;
      }
    }
    result.push_back(beats[i]);
  }
  beats = std::move(result);
  return counts;
}

// A long interval once found to be a pause is no missed beat in a later
// pass either.
Indices withoutPauses(std::span<const double> beats, Indices missed,
                      std::span<const double> pauses) {
  std::erase_if(missed, [&](std::size_t i) {
    return std::binary_search(pauses.begin(), pauses.end(), beats[i]);
  });
  return missed;
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

CorrectionCounts applyCorrections(std::vector<double>& beats, const Artefacts& found,
                                  const QrsFinder* find, std::vector<double>& pauses) {
  CorrectionCounts counts;
  counts.extra = removeExtra(beats, found.extra);
  const Indices missed = afterRemoval(found.extra, found.missed);
  const std::vector<double> before = beats;
  const Insertion insertion = insertMissed(beats, missed, find, pauses);
  counts.missed = insertion.inserted;
  counts.pauses = insertion.pauses;
  std::sort(pauses.begin(), pauses.end());
  // The beats after each inserted one move up by one; a pause inserts none.
  Indices inserted;
  for (const std::size_t i : missed) {
    if (i > 1 && !std::binary_search(pauses.begin(), pauses.end(), before[i])) {
      inserted.push_back(i);
    }
  }
  const Indices ectopic = afterInsertion(inserted, afterRemoval(found.extra, found.ectopic));
  const Indices longShort = afterInsertion(inserted, afterRemoval(found.extra, found.longShort));
  counts.ectopic = moveToMidpoints(beats, ectopic);
  counts.longShort = moveToMidpoints(beats, longShort);
  return counts;
}

void add(CorrectionCounts& sum, const CorrectionCounts& more) {
  sum.extra += more.extra;
  sum.missed += more.missed;
  sum.ectopic += more.ectopic;
  sum.longShort += more.longShort;
  sum.pauses += more.pauses;
}

// The classification works on the intervals between neighbours: a NaN or
// a beat before its predecessor would make indices run off the series.
void checkPositions(std::span<const double> beats) {
  const bool finite =
      std::all_of(beats.begin(), beats.end(), [](double beat) { return std::isfinite(beat); });
  if (!finite || !std::is_sorted(beats.begin(), beats.end())) {
    throw std::invalid_argument("the beat positions must be finite numbers in increasing order");
  }
}

CorrectedBeats correct(std::span<const double> beats, const QrsFinder* find) {
  checkPositions(beats);
  CorrectedBeats result{{beats.begin(), beats.end()}, {}};
  ClassificationMemory memory;
  std::vector<double> pauses;
  const auto classify = [&] {
    Artefacts found = classifyArtefacts(result.beats, memory);
    found.missed = withoutPauses(result.beats, std::move(found.missed), pauses);
    if (find != nullptr) {
      // With the samples at hand every beat stands on a QRS complex the
      // detector found: one out of step with the rhythm is an ectopic beat
      // (which the beat classes leave out of the NN series) or the edge of
      // a pause, and moving it would put it where the ECG shows none.
      found.ectopic.clear();
      found.longShort.clear();
    }
    return found;
  };
  Artefacts found = classify();
  std::size_t previous = found.total();
  while (found.total() > 0) {
    add(result.counts, applyCorrections(result.beats, found, find, pauses));
    found = classify();
    if (found.total() >= previous) break;
    previous = found.total();
  }
  return result;
}

}  // namespace

CorrectedBeats correctArtefacts(std::span<const double> beats) {
  return correct(beats, nullptr);
}

CorrectedBeats correctArtefacts(std::span<const double> beats, const QrsFinder& find) {
  return correct(beats, &find);
}

}  // namespace rrscope::beats
