#include "editing/beat_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

#include "pipeline/readable_series.h"

namespace rrscope::editing {
namespace {

using beats::SampleStretch;
using Source = BeatSource;

constexpr double kRate = 100;
constexpr std::int64_t kSamples = 1000;

std::vector<double> positionsOf(const BeatList& list) {
  return {list.positions().begin(), list.positions().end()};
}

std::vector<Source> sourcesOf(const BeatList& list) {
  return {list.sources().begin(), list.sources().end()};
}

using Marks = std::vector<std::pair<double, double>>;

Marks marksOf(const BeatList& list) {
  Marks marks;
  for (const SampleStretch& s : list.unreadable()) marks.emplace_back(s.begin, s.end);
  return marks;
}

// Nine beats a second apart, from 100 to 900, in ten seconds at 100 per second.
BeatList nineBeats(std::vector<Source> sources = std::vector<Source>(9, Source::detected),
                   std::vector<SampleStretch> unreadable = {}) {
  return {{100, 200, 300, 400, 500, 600, 700, 800, 900},
          std::move(sources),
          std::move(unreadable),
          kRate,
          kSamples};
}

void undoAll(BeatList& list) {
  while (list.canUndo()) list.undo();
}

TEST(BeatListEdits, AddRemoveAndMoveUndoAndRedoStepByStep) {
  const std::vector<Source> original{Source::detected, Source::detected, Source::inserted,
                                     Source::detected, Source::moved,    Source::detected,
                                     Source::detected, Source::detected, Source::detected};
  BeatList list = nineBeats(original);
  const std::vector<double> before = positionsOf(list);
  EXPECT_EQ(list.editedBeats(), 0u);

  EXPECT_EQ(list.add(150), 1u);
  EXPECT_EQ(list.sources()[1], Source::added);
  EXPECT_EQ(list.editedBeats(), 1u);
  list.remove(3);  // the inserted beat at 300
  EXPECT_EQ(list.editedBeats(), 2u);
  // The beat the correction moved to 500 goes back before 400, as one edit:
  // its old place is a removal, its new one an added beat.
  EXPECT_EQ(list.move(4, 350), 3u);
  EXPECT_EQ(positionsOf(list), (std::vector<double>{100, 150, 200, 350, 400, 600, 700, 800, 900}));
  EXPECT_EQ(list.editedBeats(), 4u);
  // Moving an added beat changes no count.
  EXPECT_EQ(list.move(1, 120), 1u);
  EXPECT_EQ(list.editedBeats(), 4u);

  list.undo();
  EXPECT_EQ(list.positions()[1], 150);
  EXPECT_EQ(list.editedBeats(), 4u);
  list.undo();
  EXPECT_EQ(positionsOf(list), (std::vector<double>{100, 150, 200, 400, 500, 600, 700, 800, 900}));
  EXPECT_EQ(list.sources()[4], Source::moved);
  EXPECT_EQ(list.editedBeats(), 2u);
  list.redo();
  EXPECT_EQ(list.positions()[3], 350);
  EXPECT_EQ(list.editedBeats(), 4u);
  ASSERT_TRUE(list.canRedo());  // the move of the beat at 150

  // A new edit drops what could be redone.
  list.remove(0);
  EXPECT_FALSE(list.canRedo());
  EXPECT_EQ(list.editedBeats(), 5u);
  const std::vector<double> edited = positionsOf(list);
  const std::vector<Source> editedSources = sourcesOf(list);

  undoAll(list);
  EXPECT_EQ(positionsOf(list), before);
  EXPECT_EQ(sourcesOf(list), original);
  EXPECT_EQ(list.editedBeats(), 0u);
  list.undo();  // nothing left: no change
  EXPECT_EQ(positionsOf(list), before);

  while (list.canRedo()) list.redo();
  EXPECT_EQ(positionsOf(list), edited);
  EXPECT_EQ(sourcesOf(list), editedSources);
  EXPECT_EQ(list.editedBeats(), 5u);
}

TEST(BeatListEdits, AMovePastOtherBeatsIsOneEditThatUndoesWhole) {
  BeatList list = nineBeats();
  EXPECT_EQ(list.move(1, 650), 5u);
  EXPECT_EQ(positionsOf(list), (std::vector<double>{100, 300, 400, 500, 600, 650, 700, 800, 900}));
  EXPECT_EQ(list.move(5, 150), 1u);
  EXPECT_EQ(positionsOf(list), (std::vector<double>{100, 150, 300, 400, 500, 600, 700, 800, 900}));
  list.undo();
  list.undo();
  EXPECT_FALSE(list.canUndo());
  EXPECT_EQ(positionsOf(list), positionsOf(nineBeats()));
  EXPECT_EQ(sourcesOf(list), std::vector<Source>(9, Source::detected));
}

TEST(BeatListEdits, NearestAndFirstAtOrAfterFindTheRightBeat) {
  const BeatList list = nineBeats();
  EXPECT_EQ(list.nearest(0), 0u);
  EXPECT_EQ(list.nearest(249), 1u);
  EXPECT_EQ(list.nearest(250), 1u);  // halfway: the earlier beat
  EXPECT_EQ(list.nearest(251), 2u);
  EXPECT_EQ(list.nearest(5000), 8u);
  EXPECT_EQ(list.firstAtOrAfter(200), 1u);
  EXPECT_EQ(list.firstAtOrAfter(200.1), 2u);
  EXPECT_EQ(list.firstAtOrAfter(901), 9u);
  EXPECT_FALSE(BeatList({}, {}, {}, kRate, kSamples).nearest(10).has_value());
}

TEST(BeatListRefuses, BeatsOnAnotherBeatOrOutsideTheRecording) {
  BeatList list = nineBeats();
  EXPECT_FALSE(list.add(200.49));
  EXPECT_FALSE(list.add(199.51));
  EXPECT_FALSE(list.add(-0.01));
  EXPECT_FALSE(list.add(1000));  // the recording's last sample is 999
  EXPECT_FALSE(list.add(std::numeric_limits<double>::quiet_NaN()));
  EXPECT_FALSE(list.canUndo());
  EXPECT_EQ(list.add(200.5), 2u);
  EXPECT_EQ(list.add(999.9), 10u);

  // A beat may move by less than half a sample, since it leaves its place,
  // but not onto its neighbour; a refused move changes nothing.
  EXPECT_EQ(list.move(0, 100.2), 0u);
  EXPECT_FALSE(list.move(3, 200.3));
  EXPECT_FALSE(list.move(3, 2000));
  list.undo();
  EXPECT_EQ(list.positions()[0], 100);
  EXPECT_THROW(list.remove(list.size()), std::out_of_range);
  EXPECT_THROW(list.move(list.size(), 50), std::out_of_range);
}

TEST(BeatListRefuses, BeatsThatAreNotOneIncreasingSeries) {
  const auto make = [](std::vector<double> positions, std::size_t sources) {
    return BeatList(std::move(positions), std::vector<Source>(sources, Source::detected), {}, kRate,
                    kSamples);
  };
  EXPECT_THROW(make({1, 2, 3}, 2), std::invalid_argument);
  EXPECT_THROW(make({1, 2, 2}, 3), std::invalid_argument);
  EXPECT_THROW(make({1, 3, 2}, 3), std::invalid_argument);
  EXPECT_THROW(make({std::numeric_limits<double>::quiet_NaN()}, 1), std::invalid_argument);
  EXPECT_THROW(BeatList({1}, {Source::added}, {}, 0, kSamples), std::invalid_argument);
  EXPECT_NO_THROW(make({}, 0));
  EXPECT_EQ(BeatList({1, 2}, {Source::added, Source::added}, {}, kRate, 3).editedBeats(), 2u);
}

TEST(BeatListMarks, AreSortedMergedAndCutToTheRecordingWhenGiven) {
  const BeatList list = nineBeats(std::vector<Source>(9, Source::detected), {{500, 600},
                                                                             {100, 200},
                                                                             {150, 300},
                                                                             {700, 800},
                                                                             {800, 850},
                                                                             {-50, 20},
                                                                             {900, 1200},
                                                                             {40, 40}});
  EXPECT_EQ(marksOf(list), (Marks{{0, 20}, {100, 300}, {500, 600}, {700, 850}, {900, 1000}}));
}

TEST(BeatListMarks, MarkingMergesWhatItOverlapsOrMeetsAndUndoes) {
  BeatList list = nineBeats(std::vector<Source>(9, Source::detected), {{100, 200}, {400, 500}});
  list.markUnreadable({150, 250});
  list.markUnreadable({250, 260});
  EXPECT_EQ(marksOf(list), (Marks{{100, 260}, {400, 500}}));
  list.markUnreadable({50, 450});
  EXPECT_EQ(marksOf(list), (Marks{{50, 500}}));
  list.markUnreadable({900, 2000});
  EXPECT_EQ(marksOf(list), (Marks{{50, 500}, {900, 1000}}));

  // Nothing new: no edit to undo.
  const std::size_t edits = 4;
  list.markUnreadable({60, 70});
  list.markUnreadable({300, 300});
  std::size_t undone = 0;
  for (; list.canUndo(); ++undone) list.undo();
  EXPECT_EQ(undone, edits);
  EXPECT_EQ(marksOf(list), (Marks{{100, 200}, {400, 500}}));
  list.redo();
  EXPECT_EQ(marksOf(list), (Marks{{100, 250}, {400, 500}}));
}

TEST(BeatListMarks, ClearingSplitsCutsBackAndRemovesMarks) {
  BeatList list =
      nineBeats(std::vector<Source>(9, Source::detected), {{100, 500}, {600, 650}, {700, 800}});
  list.clearUnreadable({200, 300});
  EXPECT_EQ(marksOf(list), (Marks{{100, 200}, {300, 500}, {600, 650}, {700, 800}}));
  list.clearUnreadable({450, 750});
  EXPECT_EQ(marksOf(list), (Marks{{100, 200}, {300, 450}, {750, 800}}));
  list.clearUnreadable({200, 300});  // clear already: no edit
  list.clearUnreadable({0, 1000});
  EXPECT_TRUE(list.unreadable().empty());
  list.undo();
  list.undo();
  EXPECT_EQ(marksOf(list), (Marks{{100, 200}, {300, 500}, {600, 650}, {700, 800}}));
  list.undo();
  EXPECT_FALSE(list.canUndo());
  EXPECT_EQ(marksOf(list), (Marks{{100, 500}, {600, 650}, {700, 800}}));
}

TEST(BeatListMarks, MarksAndBeatsShareOneHistory) {
  BeatList list = nineBeats();
  list.markUnreadable({250, 450});
  list.remove(3);
  list.clearUnreadable({300, 350});
  list.add(420);
  undoAll(list);
  EXPECT_EQ(positionsOf(list), positionsOf(nineBeats()));
  EXPECT_TRUE(list.unreadable().empty());
  while (list.canRedo()) list.redo();
  EXPECT_EQ(positionsOf(list), (std::vector<double>{100, 200, 300, 420, 500, 600, 700, 800, 900}));
  EXPECT_EQ(marksOf(list), (Marks{{250, 300}, {350, 450}}));
}

std::vector<beats::BeatClass> classesOf(const BeatList& list) {
  return {list.classes().begin(), list.classes().end()};
}

// Nine N beats with one V (at 400) and one S (at 700).
BeatList nineClassedBeats() {
  std::vector<beats::BeatClass> classes(9, beats::BeatClass::N);
  classes[3] = beats::BeatClass::V;
  classes[6] = beats::BeatClass::S;
  return {{100, 200, 300, 400, 500, 600, 700, 800, 900},
          std::vector<Source>(9, Source::detected),
          {},
          kRate,
          kSamples,
          classes};
}

TEST(BeatListClasses, RelabelIsAnEditThatUndoesAndRedoes) {
  using beats::BeatClass;
  BeatList list = nineClassedBeats();
  const std::vector<BeatClass> original = classesOf(list);
  list.relabel(3, BeatClass::N);
  list.relabel(5, BeatClass::F);
  list.relabel(5, BeatClass::F);  // its class already: no edit
  EXPECT_EQ(list.classes()[3], BeatClass::N);
  EXPECT_EQ(list.classes()[5], BeatClass::F);
  EXPECT_EQ(list.editedBeats(), 0u);  // the beats stay where they were
  list.undo();
  EXPECT_EQ(list.classes()[5], BeatClass::N);
  list.undo();
  EXPECT_FALSE(list.canUndo());
  EXPECT_EQ(classesOf(list), original);
  list.redo();
  list.redo();
  EXPECT_EQ(list.classes()[3], BeatClass::N);
  EXPECT_EQ(list.classes()[5], BeatClass::F);
  EXPECT_THROW(list.relabel(list.size(), BeatClass::V), std::out_of_range);
}

// A class goes with its beat through every edit of the list.
TEST(BeatListClasses, FollowTheirBeatsThroughAddRemoveAndMove) {
  using beats::BeatClass;
  BeatList list = nineClassedBeats();
  ASSERT_EQ(list.add(150), 1u);
  EXPECT_EQ(list.classes()[1], BeatClass::N);  // a beat added by hand is normal
  EXPECT_EQ(list.classes()[4], BeatClass::V);
  list.remove(4);  // the V beat
  EXPECT_EQ(std::ranges::count(list.classes(), BeatClass::V), 0);
  // The S beat moved by hand stays S.
  ASSERT_EQ(list.move(6, 720), 6u);
  EXPECT_EQ(list.classes()[6], BeatClass::S);
  undoAll(list);
  EXPECT_EQ(classesOf(list), classesOf(nineClassedBeats()));

  // Without classes every beat is N; classes for another number of beats
  // are refused.
  EXPECT_EQ(classesOf(nineBeats()), std::vector<BeatClass>(9, BeatClass::N));
  EXPECT_THROW(
      BeatList({1, 2}, {Source::detected, Source::detected}, {}, kRate, kSamples, {BeatClass::N}),
      std::invalid_argument);
}

// The series keeps the intervals between two N beats, as the batch tool's
// NN series does, and follows a relabelling at once.
TEST(BeatListClasses, TheSeriesKeepsOnlyTheIntervalsBetweenNormalBeats) {
  BeatList list = nineClassedBeats();
  const StretchSeries series = list.series({0, static_cast<double>(kSamples)});
  // Of eight intervals, the two around the V beat and the two around the S
  // beat are left out.
  EXPECT_EQ(series.ends, (std::vector<std::size_t>{1, 2, 5, 8}));
  EXPECT_EQ(series.ectopicIntervals, 4u);
  const pipeline::ReadableSeries expected =
      pipeline::readableSeries(list.positions(), list.unreadable(), kRate, list.classes());
  EXPECT_EQ(series.intervalsMs, expected.intervalsMs);
  // Part of the list: the stretch from 350 on starts at the V beat.
  EXPECT_EQ(list.series({350, 1000}).ends, (std::vector<std::size_t>{5, 8}));

  list.relabel(3, beats::BeatClass::N);
  EXPECT_EQ(list.series({0, static_cast<double>(kSamples)}).ends,
            (std::vector<std::size_t>{1, 2, 3, 4, 5, 8}));
  list.undo();
  EXPECT_EQ(list.series({0, static_cast<double>(kSamples)}).ends, series.ends);
}

// Uneven beats, so that every interval tells where it came from.
BeatList unevenBeats() {
  std::vector<double> positions;
  for (double p = 30; p < kSamples; p += 60 + std::fmod(p * 7, 23)) positions.push_back(p);
  return {positions,
          std::vector<Source>(positions.size(), Source::detected),
          {{210, 260}, {500, 520}, {900, 990}},
          kRate,
          kSamples};
}

TEST(BeatListSeries, OfAStretchIsTheReadableSeriesOfItsBeats) {
  const BeatList list = unevenBeats();
  const std::span<const double> all = list.positions();
  // From a beat (which is in) to a beat (which is not).
  const SampleStretch stretch{all[2], all[9]};
  const StretchSeries series = list.series(stretch);
  const pipeline::ReadableSeries expected =
      pipeline::readableSeries(all.subspan(2, 7), list.unreadable(), kRate);
  EXPECT_EQ(series.beats, 7u);
  EXPECT_EQ(series.intervalsMs, expected.intervalsMs);
  EXPECT_EQ(series.excludedBeats, expected.excludedBeats);
  EXPECT_EQ(series.excludedIntervals, expected.excludedIntervals);
  ASSERT_EQ(series.ends.size(), expected.ends.size());
  for (std::size_t i = 0; i < series.ends.size(); ++i) {
    EXPECT_EQ(series.ends[i], expected.ends[i] + 2);
    const std::size_t end = series.ends[i];
    EXPECT_DOUBLE_EQ(series.intervalsMs[i], (all[end] - all[end - 1]) * 1000 / kRate);
  }
}

TEST(BeatListSeries, UnreadableShareIsOfTheStretchLength) {
  const BeatList list =
      nineBeats(std::vector<Source>(9, Source::detected), {{100, 300}, {500, 600}});
  EXPECT_DOUBLE_EQ(list.series({0, 1000}).unreadableShare, 0.3);
  EXPECT_DOUBLE_EQ(list.series({200, 550}).unreadableShare, 150.0 / 350.0);
  EXPECT_DOUBLE_EQ(list.series({320, 480}).unreadableShare, 0.0);
  const StretchSeries empty = list.series({400, 400});
  EXPECT_EQ(empty.unreadableShare, 0.0);
  EXPECT_EQ(empty.beats, 0u);
  EXPECT_TRUE(empty.intervalsMs.empty());
}

// A day at 360 per second: edits in the middle of 100,000 beats show in the
// series of the whole recording, the batch tool's, as in one computed afresh.
TEST(BeatListSeries, ADaysBeatsStayRightAfterAnEdit) {
  constexpr double rate = 360;
  std::vector<double> positions;
  for (std::size_t i = 0; i < 100'000; ++i) {
    positions.push_back(static_cast<double>(i) * 300 + static_cast<double>((i * 37) % 41) + 0.25);
  }
  const auto samples = static_cast<std::int64_t>(positions.back()) + 1000;
  std::vector<SampleStretch> unreadable;
  for (std::size_t i = 5'000; i < positions.size(); i += 10'000) {
    unreadable.push_back({positions[i] - 50, positions[i + 3] + 10});
  }
  BeatList list(positions, std::vector<Source>(positions.size(), Source::detected), unreadable,
                rate, samples);
  const std::size_t kept = list.series({0, static_cast<double>(samples)}).intervalsMs.size();

  const double added = positions[50'000] + 150;
  ASSERT_EQ(list.add(added), 50'001u);
  positions.insert(positions.begin() + 50'001, added);
  const StretchSeries series = list.series({0, static_cast<double>(samples)});
  const pipeline::ReadableSeries expected = pipeline::readableSeries(positions, unreadable, rate);
  EXPECT_EQ(series.intervalsMs, expected.intervalsMs);
  EXPECT_EQ(series.excludedIntervals, expected.excludedIntervals);
  EXPECT_EQ(series.beats, list.size());
  EXPECT_EQ(series.intervalsMs.size(), kept + 1);
  // Five marks lie before it, each costing the five intervals that touch it.
  EXPECT_EQ(series.ends[50'000 - 5 * 5], 50'001u);
  list.remove(70'000);
  positions.erase(positions.begin() + 70'000);
  EXPECT_EQ(list.series({0, static_cast<double>(samples)}).ends,
            pipeline::readableSeries(positions, unreadable, rate).ends);
  EXPECT_EQ(list.editedBeats(), 2u);
}

}  // namespace
}  // namespace rrscope::editing
