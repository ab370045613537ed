#include "editing/beat_sources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "beats/artefact_correction.h"

namespace rrscope::editing {
namespace {

constexpr BeatSource D = BeatSource::detected;
constexpr BeatSource M = BeatSource::moved;
constexpr BeatSource I = BeatSource::inserted;

using Beats = std::vector<double>;
using Sources = std::vector<BeatSource>;

TEST(BeatSources, UnchangedBeatsAreDetectedAndRemovalsLeaveNoTrace) {
  EXPECT_EQ(beatSources(Beats{0, 100, 200}, Beats{0, 100, 200}), (Sources{D, D, D}));
  EXPECT_EQ(beatSources(Beats{0, 100, 150, 200, 300}, Beats{0, 100, 200, 300}),
            (Sources{D, D, D, D}));
  EXPECT_EQ(beatSources(Beats{0, 100}, Beats{}), Sources{});
  EXPECT_EQ(beatSources(Beats{}, Beats{5, 6}), (Sources{I, I}));
}

TEST(BeatSources, ANewBeatIsMovedWhereABeatVanishedAndInsertedWhereNone) {
  EXPECT_EQ(beatSources(Beats{0, 100, 300, 400}, Beats{0, 100, 200, 300, 400}),
            (Sources{D, D, I, D, D}));
  EXPECT_EQ(beatSources(Beats{0, 100, 160, 300}, Beats{0, 100, 200, 300}), (Sources{D, D, M, D}));
  // An extra beat removed beside a moved one: the nearer of the two moved.
  EXPECT_EQ(beatSources(Beats{0, 100, 120, 250, 300}, Beats{0, 100, 200, 300}),
            (Sources{D, D, M, D}));
  // Before the first unchanged beat and after the last.
  EXPECT_EQ(beatSources(Beats{10, 100, 200}, Beats{0, 100, 200, 290}), (Sources{M, D, D, I}));
}

TEST(BeatSources, TheBeatsLeftOverAreTheRemovedOnes) {
  Beats removed;
  EXPECT_EQ(
      beatSources(Beats{0, 100, 120, 250, 300, 350, 400}, Beats{0, 100, 200, 300, 400}, &removed),
      (Sources{D, D, M, D, D}));
  EXPECT_EQ(removed, (Beats{120, 350}));
  removed.clear();
  beatSources(Beats{0, 5, 100}, Beats{0, 100}, &removed);
  EXPECT_EQ(removed, Beats{5});
}

TEST(BeatSources, AMoveNextToAnInsertionGoesToTheNearerNewBeat) {
  EXPECT_EQ(beatSources(Beats{0, 100, 130, 400}, Beats{0, 100, 200, 300, 400}),
            (Sources{D, D, M, I, D}));
  EXPECT_EQ(beatSources(Beats{0, 100, 290, 400}, Beats{0, 100, 200, 300, 400}),
            (Sources{D, D, I, M, D}));
  // Closest pair first, not left to right: 240 takes 230 and 290 takes 300,
  // so 200 was inserted though it is the first new beat.
  EXPECT_EQ(beatSources(Beats{0, 230, 300, 400}, Beats{0, 200, 240, 290, 400}),
            (Sources{D, I, M, M, D}));
}

// Beats a second apart at 1000 per second with one early (ectopic) beat and
// one missing: what the correction changed is all that is not detected.
TEST(BeatSources, TellWhatTheArtefactCorrectionChanged) {
  Beats detected;
  for (int i = 0; i < 60; ++i) detected.push_back(1000.0 * i + 20 * (i % 3));
  detected[30] -= 350;
  detected.erase(detected.begin() + 45);
  const beats::CorrectedBeats corrected = beats::correctArtefacts(detected);
  ASSERT_EQ(corrected.counts.total(), 2);
  const Sources sources = beatSources(detected, corrected.beats);
  EXPECT_EQ(std::ranges::count(sources, M), 1);
  EXPECT_EQ(std::ranges::count(sources, I), 1);
  EXPECT_EQ(std::ranges::count(sources, D), static_cast<long>(sources.size()) - 2);
}

}  // namespace
}  // namespace rrscope::editing
