#include "editing/beat_list.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <utility>

#include "pipeline/readable_series.h"

namespace rrscope::editing {
namespace {

using beats::SampleStretch;

// Beats closer than this are one beat placed twice.
constexpr double kMinimumSpacing = 0.5;

void checkBeats(std::span<const double> positions, std::span<const BeatSource> sources) {
  if (positions.size() != sources.size()) {
    throw std::invalid_argument("a beat list needs one source for every beat");
  }
  if (!std::ranges::all_of(positions, [](double p) { return std::isfinite(p); })) {
    throw std::invalid_argument("a beat list holds only finite positions");
  }
  if (std::ranges::adjacent_find(positions, std::greater_equal<>()) != positions.end()) {
    throw std::invalid_argument("the beats of a beat list must be in increasing order");
  }
}

// One class per beat; none given means every beat is N.
std::vector<beats::BeatClass> classesFor(std::vector<beats::BeatClass> classes,
                                         std::size_t beatCount) {
  if (classes.empty()) return std::vector<beats::BeatClass>(beatCount, beats::BeatClass::N);
  if (classes.size() != beatCount) {
    throw std::invalid_argument("a beat list needs one class for every beat, or none");
  }
  return classes;
}

void checkRecording(double rate, std::int64_t sampleCount) {
  if (!(rate > 0)) throw std::invalid_argument("a beat list needs a positive sampling rate");
  if (sampleCount < 0) throw std::invalid_argument("a recording cannot have fewer than 0 samples");
}

SampleStretch cutToRecording(SampleStretch stretch, std::int64_t sampleCount) {
  return {std::max(stretch.begin, 0.0), std::min(stretch.end, static_cast<double>(sampleCount))};
}

bool isEmpty(SampleStretch stretch) {
  return !(stretch.end > stretch.begin);
}

// Sorted, inside the recording, and one stretch where several overlap or meet.
std::vector<SampleStretch> normalisedMarks(std::vector<SampleStretch> marks,
                                           std::int64_t sampleCount) {
  for (SampleStretch& mark : marks) mark = cutToRecording(mark, sampleCount);
  std::erase_if(marks, isEmpty);
  std::ranges::sort(marks, {}, &SampleStretch::begin);
  std::vector<SampleStretch> merged;
  for (const SampleStretch& mark : marks) {
    if (!merged.empty() && mark.begin <= merged.back().end) {
      merged.back().end = std::max(merged.back().end, mark.end);
    } else {
      merged.push_back(mark);
    }
  }
  return merged;
}

std::size_t firstEndingAtOrAfter(std::span<const SampleStretch> marks, double position) {
  return static_cast<std::size_t>(
      std::ranges::lower_bound(marks, position, {}, &SampleStretch::end) - marks.begin());
}

std::size_t firstEndingAfter(std::span<const SampleStretch> marks, double position) {
  return static_cast<std::size_t>(
      std::ranges::upper_bound(marks, position, {}, &SampleStretch::end) - marks.begin());
}

std::size_t firstBeginningAtOrAfter(std::span<const SampleStretch> marks, double position) {
  return static_cast<std::size_t>(
      std::ranges::lower_bound(marks, position, {}, &SampleStretch::begin) - marks.begin());
}

std::size_t firstBeginningAfter(std::span<const SampleStretch> marks, double position) {
  return static_cast<std::size_t>(
      std::ranges::upper_bound(marks, position, {}, &SampleStretch::begin) - marks.begin());
}

// How much of `stretch` the marks cover.
double markedLength(std::span<const SampleStretch> marks, SampleStretch stretch) {
  double length = 0;
  for (std::size_t i = firstEndingAfter(marks, stretch.begin);
       i < marks.size() && marks[i].begin < stretch.end; ++i) {
    length += std::min(marks[i].end, stretch.end) - std::max(marks[i].begin, stretch.begin);
  }
  return length;
}

// What is left of the run of marks `cut` once `cleared` is taken out of it:
// the parts of its first and last marks that reach past `cleared`.
std::vector<SampleStretch> remainders(std::span<const SampleStretch> cut, SampleStretch cleared) {
  std::vector<SampleStretch> left;
  if (cut.front().begin < cleared.begin) left.push_back({cut.front().begin, cleared.begin});
  if (cut.back().end > cleared.end) left.push_back({cleared.end, cut.back().end});
  return left;
}

template <typename T>
std::vector<T> copied(std::span<const T> items, std::size_t first, std::size_t last) {
  return {items.begin() + static_cast<std::ptrdiff_t>(first),
          items.begin() + static_cast<std::ptrdiff_t>(last)};
}

}  // namespace

BeatList::BeatList(std::vector<double> positions, std::vector<BeatSource> sources,
                   std::vector<beats::SampleStretch> unreadable, double rate,
                   std::int64_t sampleCount, std::vector<beats::BeatClass> classes,
                   std::size_t removedByHand)
    : positions_(std::move(positions)),
      sources_(std::move(sources)),
      rate_(rate),
      sampleCount_(sampleCount) {
  checkBeats(positions_, sources_);
  classes_ = classesFor(std::move(classes), positions_.size());
  checkRecording(rate_, sampleCount_);
  unreadable_ = normalisedMarks(std::move(unreadable), sampleCount_);
  editedBeats_ =
      static_cast<std::size_t>(std::ranges::count(sources_, BeatSource::added)) + removedByHand;
}

std::optional<std::size_t> BeatList::add(double position) {
  if (!roomFor(position, std::nullopt)) return {};
  const std::size_t index = firstAtOrAfter(position);
  commit(BeatEdit{.removed = {}, .added = PlacedBeat{index, position, BeatSource::added}});
  return index;
}

void BeatList::remove(std::size_t index) {
  if (index >= size()) throw std::out_of_range("no beat to remove at that index");
  commit(BeatEdit{.removed = placedBeat(index), .added = {}});
}

std::optional<std::size_t> BeatList::move(std::size_t index, double position) {
  if (index >= size()) throw std::out_of_range("no beat to move at that index");
  if (!roomFor(position, index)) return {};
  // Where the beat goes once it is out of its old place.
  std::size_t target = firstAtOrAfter(position);
  if (target > index) --target;
  commit(BeatEdit{.removed = placedBeat(index),
                  .added = PlacedBeat{target, position, BeatSource::added, classes_[index]}});
  return target;
}

void BeatList::relabel(std::size_t index, beats::BeatClass beatClass) {
  if (index >= size()) throw std::out_of_range("no beat to relabel at that index");
  if (classes_[index] == beatClass) return;
  commit(ClassEdit{index, classes_[index], beatClass});
}

void BeatList::markUnreadable(beats::SampleStretch stretch) {
  const SampleStretch mark = cutToRecording(stretch, sampleCount_);
  if (isEmpty(mark)) return;
  const std::size_t first = firstEndingAtOrAfter(unreadable_, mark.begin);
  const std::size_t last = firstBeginningAfter(unreadable_, mark.end);
  SampleStretch merged = mark;
  if (first < last) {
    merged.begin = std::min(merged.begin, unreadable_[first].begin);
    merged.end = std::max(merged.end, unreadable_[last - 1].end);
    const bool markedAlready = last - first == 1 && merged.begin == unreadable_[first].begin &&
                               merged.end == unreadable_[first].end;
    if (markedAlready) return;
  }
  commit(MarkEdit{first, copied<SampleStretch>(unreadable_, first, last), {merged}});
}

void BeatList::clearUnreadable(beats::SampleStretch stretch) {
  if (isEmpty(stretch)) return;
  const std::size_t first = firstEndingAfter(unreadable_, stretch.begin);
  const std::size_t last = firstBeginningAtOrAfter(unreadable_, stretch.end);
  if (first >= last) return;
  std::vector<SampleStretch> before = copied<SampleStretch>(unreadable_, first, last);
  std::vector<SampleStretch> after = remainders(before, stretch);
  commit(MarkEdit{first, std::move(before), std::move(after)});
}

bool BeatList::canUndo() const {
  return done_ > 0;
}

bool BeatList::canRedo() const {
  return done_ < edits_.size();
}

void BeatList::undo() {
  if (!canUndo()) return;
  --done_;
  revert(edits_[done_]);
}

void BeatList::redo() {
  if (!canRedo()) return;
  apply(edits_[done_]);
  ++done_;
}

std::optional<std::size_t> BeatList::nearest(double position) const {
  if (positions_.empty()) return {};
  const std::size_t after = firstAtOrAfter(position);
  if (after == 0) return 0;
  if (after == size()) return after - 1;
  const bool earlierIsNearer = position - positions_[after - 1] <= positions_[after] - position;
  return earlierIsNearer ? after - 1 : after;
}

std::size_t BeatList::firstAtOrAfter(double position) const {
  return static_cast<std::size_t>(std::ranges::lower_bound(positions_, position) -
                                  positions_.begin());
}

StretchSeries BeatList::series(beats::SampleStretch stretch) const {
  const std::size_t first = firstAtOrAfter(stretch.begin);
  const std::size_t last = std::max(first, firstAtOrAfter(stretch.end));
  pipeline::ReadableSeries readable =
      pipeline::readableSeries(positions().subspan(first, last - first), unreadable_, rate_,
                               classes().subspan(first, last - first));
  for (std::size_t& end : readable.ends) end += first;
  const double length = stretch.end - stretch.begin;
  return {.intervalsMs = std::move(readable.intervalsMs),
          .ends = std::move(readable.ends),
          .beats = last - first,
          .excludedBeats = readable.excludedBeats,
          .excludedIntervals = readable.excludedIntervals,
          .ectopicIntervals = readable.ectopicIntervals,
          .unreadableShare = length > 0 ? markedLength(unreadable_, stretch) / length : 0.0};
}

BeatList::PlacedBeat BeatList::placedBeat(std::size_t index) const {
  return {index, positions_[index], sources_[index], classes_[index]};
}

bool BeatList::roomFor(double position, std::optional<std::size_t> except) const {
  if (!(position >= 0 && position < static_cast<double>(sampleCount_))) return false;
  const std::size_t after = firstAtOrAfter(position);
  // The beats on either side, stepping over the one being moved.
  const std::size_t next = after == except ? after + 1 : after;
  const bool clearAfter = next >= size() || positions_[next] - position >= kMinimumSpacing;
  std::size_t before = after;
  if (before > 0 && before - 1 == except) --before;
  const bool clearBefore = before == 0 || position - positions_[before - 1] >= kMinimumSpacing;
  return clearAfter && clearBefore;
}

void BeatList::commit(Edit edit) {
  apply(edit);
  edits_.resize(done_);
  edits_.push_back(std::move(edit));
  ++done_;
}

void BeatList::apply(const Edit& edit) {
  if (const auto* beat = std::get_if<BeatEdit>(&edit)) {
    if (beat->removed) eraseBeat(*beat->removed);
    if (beat->added) insertBeat(*beat->added);
  } else if (const auto* relabelled = std::get_if<ClassEdit>(&edit)) {
    classes_[relabelled->index] = relabelled->after;
  } else {
    const auto& marks = std::get<MarkEdit>(edit);
    replaceMarks(marks.first, marks.before.size(), marks.after);
  }
}

void BeatList::revert(const Edit& edit) {
  if (const auto* beat = std::get_if<BeatEdit>(&edit)) {
    if (beat->added) eraseBeat(*beat->added);
    if (beat->removed) insertBeat(*beat->removed);
  } else if (const auto* relabelled = std::get_if<ClassEdit>(&edit)) {
    classes_[relabelled->index] = relabelled->before;
  } else {
    const auto& marks = std::get<MarkEdit>(edit);
    replaceMarks(marks.first, marks.after.size(), marks.before);
  }
}

// An added beat coming in is one more edit; any other beat coming in is the
// undoing of its removal. Taking one out is the reverse.
void BeatList::insertBeat(const PlacedBeat& beat) {
  const auto at = static_cast<std::ptrdiff_t>(beat.index);
  positions_.insert(positions_.begin() + at, beat.position);
  sources_.insert(sources_.begin() + at, beat.source);
  classes_.insert(classes_.begin() + at, beat.beatClass);
  if (beat.source == BeatSource::added) {
    ++editedBeats_;
  } else {
    --editedBeats_;
  }
}

void BeatList::eraseBeat(const PlacedBeat& beat) {
  const auto at = static_cast<std::ptrdiff_t>(beat.index);
  positions_.erase(positions_.begin() + at);
  sources_.erase(sources_.begin() + at);
  classes_.erase(classes_.begin() + at);
  if (beat.source == BeatSource::added) {
    --editedBeats_;
  } else {
    ++editedBeats_;
  }
}

void BeatList::replaceMarks(std::size_t first, std::size_t count,
                            std::span<const beats::SampleStretch> with) {
  const auto from = unreadable_.begin() + static_cast<std::ptrdiff_t>(first);
  unreadable_.erase(from, from + static_cast<std::ptrdiff_t>(count));
  unreadable_.insert(unreadable_.begin() + static_cast<std::ptrdiff_t>(first), with.begin(),
                     with.end());
}

BeatSource sourceOf(beats::BeatChange change) {
  switch (change) {
    case beats::BeatChange::kept:
      return BeatSource::detected;
    case beats::BeatChange::moved:
      return BeatSource::moved;
    case beats::BeatChange::inserted:
      return BeatSource::inserted;
  }
  return BeatSource::detected;
}

std::string_view beatSourceWord(BeatSource source) {
  switch (source) {
    case BeatSource::detected:
      return "detected";
    case BeatSource::moved:
      return "moved";
    case BeatSource::inserted:
      return "inserted";
    case BeatSource::added:
      return "added";
  }
  return "detected";
}

}  // namespace rrscope::editing
