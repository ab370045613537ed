#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace rrscope::beats {

// How many beats each kind of correction touched.
struct CorrectionCounts {
  int extra = 0;      // removed
  int missed = 0;     // inserted
  int ectopic = 0;    // moved to the midpoint of their neighbours
  int longShort = 0;  // moved to the midpoint of their neighbours
  int pauses = 0;     // long intervals left as they are: no QRS complex lies in them
  int total() const { return extra + missed + ectopic + longShort; }
};

// What the correction did to one beat it gave back.
enum class BeatChange : std::uint8_t {
  kept,      // where it was given
  moved,     // a beat given, now elsewhere
  inserted,  // none of the beats given
};

// Where a corrected beat comes from: for one kept or moved, `given` is its
// index in the series given.
struct BeatOrigin {
  BeatChange change = BeatChange::kept;
  std::size_t given = 0;
  bool operator==(const BeatOrigin&) const = default;
};

// The NN series: the beats after correction, where each comes from, and
// the indices of the beats given that it took out, increasing.
struct CorrectedBeats {
  std::vector<double> beats;
  std::vector<BeatOrigin> origins;  // one per beat
  std::vector<std::size_t> removed;
  CorrectionCounts counts;
};

// The origins of a series left as it was given: every beat kept.
std::vector<BeatOrigin> keptOrigins(std::size_t count);

// Corrects the artefacts of a beat series (positions in any one unit,
// increasing) in the beat domain, by the method of Lipponen and Tarvainen
// (2019): extra beats are removed, missed ones inserted at the midpoint of
// their neighbours, ectopic and long or short ones moved there. Classifies
// and corrects again as long as each pass finds fewer artefacts than the one
// before. The series given is left as it is. Throws std::invalid_argument
// ("the beat positions must be finite numbers in increasing order") when a
// position is not finite or is less than the one before it.
CorrectedBeats correctArtefacts(std::span<const double> beats);

// Where a missed beat could lie between two beats: the position of a
// QRS-like complex in the samples between them, or none.
using QrsFinder = std::function<std::optional<double>(double after, double before)>;

// The correction with the samples at hand: extra beats are removed, and a
// beat the classification takes for missed is inserted only where `find`
// shows a QRS-like complex, at that complex. Where it shows none, the long
// interval is a pause of the heart (a block, a sinus arrest) and stays; the
// pauses are counted. No beat is moved: each stands on a complex, and one
// out of step with the rhythm is an ectopic beat for the beat classes to
// leave out of the NN series, not a misplaced one.
CorrectedBeats correctArtefacts(std::span<const double> beats, const QrsFinder& find);

}  // namespace rrscope::beats
