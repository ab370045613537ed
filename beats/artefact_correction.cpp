#include "beats/artefact_correction.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
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

// A beat given is known by its index there; an inserted beat has none.
constexpr std::size_t kInserted = std::numeric_limits<std::size_t>::max();

// The series under correction: each beat with the index of the beat given
// it is, and the beats given that were taken out.
struct Tracked {
  std::vector<double> beats;
  std::vector<std::size_t> given;
  std::vector<std::size_t> removed;
};

int removeExtra(Tracked& series, const Indices& extra) {
  std::vector<bool> drop(series.beats.size(), false);
  for (const std::size_t i : extra) drop[i] = true;
  std::size_t kept = 0;
  for (std::size_t i = 0; i < series.beats.size(); ++i) {
    if (!drop[i]) {
      series.beats[kept] = series.beats[i];
      series.given[kept++] = series.given[i];
    } else if (series.given[i] != kInserted) {
      series.removed.push_back(series.given[i]);
    }
  }
  series.beats.resize(kept);
  series.given.resize(kept);
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

Insertion insertMissed(Tracked& series, const Indices& missed, const QrsFinder* find,
                       std::vector<double>& pauses) {
  const std::vector<double>& beats = series.beats;
  Tracked result{{}, {}, std::move(series.removed)};
  result.beats.reserve(beats.size() + missed.size());
  result.given.reserve(beats.size() + missed.size());
  Insertion counts;
  auto next = missed.begin();
  for (std::size_t i = 0; i < beats.size(); ++i) {
    while (next != missed.end() && *next < i) ++next;
    if (next != missed.end() && *next == i && i > 1) {
      const std::optional<double> found =
          find != nullptr ? (*find)(beats[i - 1], beats[i])
                          : std::optional<double>((beats[i - 1] + beats[i]) / 2);
      if (found) {
        result.beats.push_back(*found);
        result.given.push_back(kInserted);
        ++counts.inserted;
      } else {
        pauses.push_back(beats[i]);
        ++counts.pauses;
      }
    }
    result.beats.push_back(beats[i]);
    result.given.push_back(series.given[i]);
  }
  series = std::move(result);
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

// Puts the beats back in order, each keeping its index among those given.
void sortByPosition(Tracked& series) {
  std::vector<std::size_t> order(series.beats.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::ranges::stable_sort(order, {}, [&](std::size_t i) { return series.beats[i]; });
  Tracked sorted{{}, {}, std::move(series.removed)};
  for (const std::size_t i : order) {
    sorted.beats.push_back(series.beats[i]);
    sorted.given.push_back(series.given[i]);
  }
  series = std::move(sorted);
}

// Misplaced beats move halfway between their neighbours as they stood before
// any of them moved.
int moveToMidpoints(Tracked& series, const Indices& misplaced) {
  std::vector<double>& beats = series.beats;
  std::vector<std::pair<std::size_t, double>> moves;
  for (const std::size_t i : misplaced) {
    if (i > 1 && i + 1 < beats.size()) moves.emplace_back(i, (beats[i - 1] + beats[i + 1]) / 2);
  }
  for (const auto& [i, position] : moves) beats[i] = position;
  // Each beat moves to the midpoint of its neighbours as they stood, which
  // keeps a strictly increasing series in order even where neighbours
  // move together; the sort guards the order should a move ever break it.
  if (!std::is_sorted(beats.begin(), beats.end())) sortByPosition(series);
  return static_cast<int>(moves.size());
}

CorrectionCounts applyCorrections(Tracked& series, const Artefacts& found, const QrsFinder* find,
                                  std::vector<double>& pauses) {
  CorrectionCounts counts;
  counts.extra = removeExtra(series, found.extra);
  const Indices missed = afterRemoval(found.extra, found.missed);
  const std::vector<double> before = series.beats;
  const Insertion insertion = insertMissed(series, missed, find, pauses);
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
  counts.ectopic = moveToMidpoints(series, ectopic);
  counts.longShort = moveToMidpoints(series, longShort);
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

// A beat that stands where it was given was kept, even when a correction
// moved it and a later one put it back.
std::vector<BeatOrigin> originsOf(const Tracked& series, std::span<const double> given) {
  std::vector<BeatOrigin> origins;
  origins.reserve(series.beats.size());
  for (std::size_t k = 0; k < series.beats.size(); ++k) {
    const std::size_t i = series.given[k];
    if (i == kInserted) {
      origins.push_back({BeatChange::inserted, 0});
    } else {
      origins.push_back({series.beats[k] == given[i] ? BeatChange::kept : BeatChange::moved, i});
    }
  }
  return origins;
}

CorrectedBeats correct(std::span<const double> beats, const QrsFinder* find) {
  checkPositions(beats);
  Tracked series{{beats.begin(), beats.end()}, {}, {}};
  series.given.resize(beats.size());
  std::iota(series.given.begin(), series.given.end(), std::size_t{0});
  CorrectionCounts counts;
  ClassificationMemory memory;
  std::vector<double> pauses;
  const auto classify = [&] {
    Artefacts found = classifyArtefacts(series.beats, memory);
    found.missed = withoutPauses(series.beats, std::move(found.missed), pauses);
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
    add(counts, applyCorrections(series, found, find, pauses));
    found = classify();
    if (found.total() >= previous) break;
    previous = found.total();
  }
  std::ranges::sort(series.removed);
  std::vector<BeatOrigin> origins = originsOf(series, beats);
  return {std::move(series.beats), std::move(origins), std::move(series.removed), counts};
}

}  // namespace

std::vector<BeatOrigin> keptOrigins(std::size_t count) {
  std::vector<BeatOrigin> origins(count);
  for (std::size_t i = 0; i < count; ++i) origins[i].given = i;
  return origins;
}

CorrectedBeats correctArtefacts(std::span<const double> beats) {
  return correct(beats, nullptr);
}

CorrectedBeats correctArtefacts(std::span<const double> beats, const QrsFinder& find) {
  return correct(beats, &find);
}

}  // namespace rrscope::beats
