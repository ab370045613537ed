#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <variant>
#include <vector>

#include "beats/artefact_correction.h"
#include "beats/beat_class.h"
#include "beats/detected_beats.h"

namespace rrscope::editing {

// Where a beat of an edited list came from. The values are those written
// in the subtype field of a saved annotation file, so they never change.
enum class BeatSource : std::uint8_t {
  detected = 0,  // where the detector placed it
  moved = 1,     // moved by the artefact correction
  inserted = 2,  // inserted by the artefact correction
  added = 3,     // added (or moved) by hand
};

// The source of a beat the artefact correction gave back.
BeatSource sourceOf(beats::BeatChange change);

// The source as one English word, as files write it: "detected", "moved",
// "inserted" or "added".
std::string_view beatSourceWord(BeatSource source);

// The interval series of one stretch of a beat list, as HRV is computed
// from it: the intervals between successive beats inside the stretch, less
// every interval that touches an unreadable stretch or a beat other than N.
struct StretchSeries {
  std::vector<double> intervalsMs;
  std::vector<std::size_t> ends;  // for each interval, the list index of its last beat
  std::size_t beats = 0;          // beats inside the stretch
  std::size_t excludedBeats = 0;
  std::size_t excludedIntervals = 0;  // for unreadable stretches
  std::size_t ectopicIntervals = 0;   // for beats other than N
  double unreadableShare = 0;         // of the stretch's length, 0 to 1
};

// The beats of one recording as the user edits them: positions in samples
// at the recording's rate (0-based, between samples, strictly increasing),
// each with its source and its class, and the unreadable stretches,
// increasing and disjoint. Every edit can be undone and redone; a new edit drops what
// could be redone. An edit keeps only what it changed, never a copy of the
// list, so that a day's 100,000 beats edit as quickly as a minute's.
class BeatList {
 public:
  // Throws std::invalid_argument when `positions` and `sources` differ in
  // size, `classes` is neither empty (every beat N) nor of their size, the
  // positions do not increase, the rate is not positive or the sample count
  // is negative. The unreadable stretches are sorted, cut to the recording
  // and merged where they overlap or meet.
  // `removedByHand` counts the beats removed by hand before the list was
  // made, such as those of a restored list, for editedBeats().
  BeatList(std::vector<double> positions, std::vector<BeatSource> sources,
           std::vector<beats::SampleStretch> unreadable, double rate, std::int64_t sampleCount,
           std::vector<beats::BeatClass> classes = {}, std::size_t removedByHand = 0);

  std::span<const double> positions() const { return positions_; }
  std::span<const BeatSource> sources() const { return sources_; }
  std::span<const beats::BeatClass> classes() const { return classes_; }
  std::span<const beats::SampleStretch> unreadable() const { return unreadable_; }
  double rate() const { return rate_; }
  std::int64_t sampleCount() const { return sampleCount_; }
  std::size_t size() const { return positions_.size(); }

  // Adds a beat by hand at `position`, of class N, and returns its index;
  // none when a beat lies there already (closer than half a sample) or
  // `position` is outside the recording.
  std::optional<std::size_t> add(double position);
  // Removes the beat at `index` (less than size()).
  void remove(std::size_t index);
  // Moves the beat at `index` to `position` by hand, as one edit; it becomes
  // an added beat of the class it had. Returns its new index; none, and
  // nothing changes, where add() would refuse the position were the beat
  // not there.
  std::optional<std::size_t> move(std::size_t index, double position);
  // Gives the beat at `index` (less than size()) another class; nothing
  // changes, and no edit is kept, when it has that class already.
  void relabel(std::size_t index, beats::BeatClass beatClass);
  // Marks [begin, end) of the recording as unreadable, merging with the marks
  // it overlaps or meets.
  void markUnreadable(beats::SampleStretch stretch);
  // Clears the marks inside [begin, end), cutting back or splitting a mark
  // that reaches past it.
  void clearUnreadable(beats::SampleStretch stretch);

  bool canUndo() const;
  bool canRedo() const;
  void undo();  // nothing when there is nothing to undo
  void redo();

  // Beats added or moved by hand that are in the list, plus the beats of
  // the detector or the correction that were removed by hand. A detector's
  // beat moved by hand counts twice: it is gone from where the detector put
  // it, and an added beat stands elsewhere.
  std::size_t editedBeats() const { return editedBeats_; }

  // The index of the beat nearest `position`; none for an empty list.
  std::optional<std::size_t> nearest(double position) const;
  // The index of the first beat at or after `position` (size() when none).
  std::size_t firstAtOrAfter(double position) const;

  // The series of the beats in [stretch.begin, stretch.end), its intervals
  // those between two N beats. For the whole recording it is the NN series
  // the batch tool computes its measures on with --correct.
  StretchSeries series(beats::SampleStretch stretch) const;

 private:
  struct PlacedBeat {
    std::size_t index = 0;
    double position = 0;
    BeatSource source = BeatSource::detected;
    beats::BeatClass beatClass = beats::BeatClass::N;
  };
  // A beat taken out, one put in, or both for a move; the beat is taken out
  // first, so `added.index` counts without it.
  struct BeatEdit {
    std::optional<PlacedBeat> removed;
    std::optional<PlacedBeat> added;
  };
  // The marks from `first` on that an edit replaced, and what replaced them.
  struct MarkEdit {
    std::size_t first = 0;
    std::vector<beats::SampleStretch> before;
    std::vector<beats::SampleStretch> after;
  };
  // A beat given another class.
  struct ClassEdit {
    std::size_t index = 0;
    beats::BeatClass before = beats::BeatClass::N;
    beats::BeatClass after = beats::BeatClass::N;
  };
  using Edit = std::variant<BeatEdit, MarkEdit, ClassEdit>;

  PlacedBeat placedBeat(std::size_t index) const;
  bool roomFor(double position, std::optional<std::size_t> except) const;

  void commit(Edit edit);
  void apply(const Edit& edit);
  void revert(const Edit& edit);
  void insertBeat(const PlacedBeat& beat);
  void eraseBeat(const PlacedBeat& beat);
  void replaceMarks(std::size_t first, std::size_t count,
                    std::span<const beats::SampleStretch> with);

  std::vector<double> positions_;
  std::vector<BeatSource> sources_;
  std::vector<beats::BeatClass> classes_;
  std::vector<beats::SampleStretch> unreadable_;
  double rate_ = 0;
  std::int64_t sampleCount_ = 0;
  std::vector<Edit> edits_;  // the first `done_` are applied, the rest can be redone
  std::size_t done_ = 0;
  std::size_t editedBeats_ = 0;
};

}  // namespace rrscope::editing
