#include "beats/artefact_correction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <span>
#include <vector>

#include "beats/artefact_classification.h"
#include "beats/beat_scoring.h"
#include "beats/qrs_search.h"
#include "beats/r_peak_detector.h"
#include "synthetic_ecg.h"

namespace rrscope::beats {
namespace {

// Beats about 1000 samples apart with an uneven, breathing-like variation.
std::vector<double> evenSeries(std::size_t count) {
  std::vector<double> beats{0};
  for (std::size_t i = 1; i < count; ++i) {
    const double x = static_cast<double>(i);
    beats.push_back(beats.back() + 1000 + 25 * std::sin(0.9 * x) + 10 * std::sin(2.3 * x));
  }
  return beats;
}

void expectCounts(const CorrectionCounts& c, int extra, int missed, int ectopic, int longShort) {
  EXPECT_EQ(c.extra, extra);
  EXPECT_EQ(c.missed, missed);
  EXPECT_EQ(c.ectopic, ectopic);
  EXPECT_EQ(c.longShort, longShort);
}

// Every beat given is accounted for once: it stands in the corrected series,
// in its order, kept where it was or moved, or it was removed.
void expectEveryBeatAccountedFor(std::span<const double> given, const CorrectedBeats& corrected) {
  ASSERT_EQ(corrected.origins.size(), corrected.beats.size());
  std::vector<int> seen(given.size(), 0);
  std::size_t previous = 0;
  bool first = true;
  for (std::size_t k = 0; k < corrected.beats.size(); ++k) {
    const BeatOrigin origin = corrected.origins[k];
    if (origin.change == BeatChange::inserted) continue;
    ASSERT_LT(origin.given, given.size()) << k;
    EXPECT_TRUE(first || origin.given > previous) << k;
    EXPECT_EQ(origin.change == BeatChange::kept, corrected.beats[k] == given[origin.given]) << k;
    ++seen[origin.given];
    previous = origin.given;
    first = false;
  }
  EXPECT_TRUE(std::ranges::is_sorted(corrected.removed));
  for (const std::size_t i : corrected.removed) ++seen[i];
  EXPECT_EQ(std::ranges::count(seen, 1), static_cast<long>(given.size()));
}

TEST(ArtefactCorrection, LeavesACleanSeriesRemovesExtraAndInsertsMissedBeats) {
  const std::vector<double> clean = evenSeries(300);
  const CorrectedBeats untouched = correctArtefacts(clean);
  expectCounts(untouched.counts, 0, 0, 0, 0);
  EXPECT_EQ(untouched.beats, clean);
  EXPECT_EQ(untouched.origins, keptOrigins(clean.size()));
  EXPECT_TRUE(untouched.removed.empty());

  std::vector<double> withExtra = clean;
  withExtra.insert(withExtra.begin() + 150, clean[149] + 0.4 * (clean[150] - clean[149]));
  const CorrectedBeats extra = correctArtefacts(withExtra);
  expectCounts(extra.counts, 1, 0, 0, 0);
  EXPECT_EQ(extra.beats, clean);
  EXPECT_EQ(extra.removed, std::vector<std::size_t>{150});
  EXPECT_EQ(extra.origins[150], (BeatOrigin{BeatChange::kept, 151}));

  // Strongly alternating intervals around the extra beat make its short
  // interval look like the middle of an ectopic pattern; it is still extra.
  std::vector<double> alternating{0};
  for (int i = 0; i < 60; ++i)
    alternating.push_back(alternating.back() + 800 + 100 * std::sin(1.7 * i));
  std::vector<double> split = alternating;
  split.insert(split.begin() + 10, alternating[9] + 0.4 * (alternating[10] - alternating[9]));
  const CorrectedBeats unsplit = correctArtefacts(split);
  expectCounts(unsplit.counts, 1, 0, 0, 0);
  EXPECT_EQ(unsplit.beats, alternating);

  std::vector<double> withGap = clean;
  withGap.erase(withGap.begin() + 200);
  CorrectedBeats missed = correctArtefacts(withGap);
  expectCounts(missed.counts, 0, 1, 0, 0);
  ASSERT_EQ(missed.beats.size(), clean.size());
  EXPECT_DOUBLE_EQ(missed.beats[200], (clean[199] + clean[201]) / 2);
  EXPECT_EQ(missed.origins[200].change, BeatChange::inserted);
  EXPECT_EQ(missed.origins[201], (BeatOrigin{BeatChange::kept, 200}));
  expectEveryBeatAccountedFor(withGap, missed);
  missed.beats.erase(missed.beats.begin() + 200);
  EXPECT_EQ(missed.beats, withGap);
}

TEST(ArtefactCorrection, MovesEctopicAndLongShortBeatsToTheMidpointOfTheirNeighbours) {
  const std::vector<double> clean = evenSeries(300);
  // A premature beat: a short interval followed by a compensating long one.
  std::vector<double> premature = clean;
  premature[100] -= 0.35 * (clean[100] - clean[99]);
  const CorrectedBeats ectopic = correctArtefacts(premature);
  expectCounts(ectopic.counts, 0, 0, 1, 0);
  EXPECT_DOUBLE_EQ(ectopic.beats[100], (clean[99] + clean[101]) / 2);
  EXPECT_EQ(ectopic.origins[100], (BeatOrigin{BeatChange::moved, 100}));
  EXPECT_EQ(std::ranges::count(ectopic.origins, BeatChange::kept, &BeatOrigin::change), 299);

  // A single long interval, too short for a missed beat: everything after it
  // is late by 60 % of an interval, and nothing compensates.
  std::vector<double> delayed = clean;
  for (std::size_t i = 120; i < delayed.size(); ++i) delayed[i] += 600;
  const CorrectedBeats longShort = correctArtefacts(delayed);
  expectCounts(longShort.counts, 0, 0, 0, longShort.counts.longShort);
  EXPECT_GE(longShort.counts.longShort, 1);
  ASSERT_EQ(longShort.beats.size(), clean.size());
  EXPECT_DOUBLE_EQ(longShort.beats[120], (delayed[119] + delayed[121]) / 2);
  // Only the beats around the long interval move.
  for (std::size_t i = 0; i < clean.size(); ++i) {
    if (i < 118 || i > 122) {
      EXPECT_EQ(longShort.beats[i], delayed[i]) << i;
    }
  }
}

TEST(ArtefactCorrection, CorrectsSeveralKindsInOneSeries) {
  const std::vector<double> clean = evenSeries(1000);
  std::vector<double> damaged = clean;
  damaged[700] += 0.3 * (clean[701] - clean[700]);
  damaged.erase(damaged.begin() + 500);
  damaged.insert(damaged.begin() + 300, clean[299] + 0.5 * (clean[300] - clean[299]));
  const CorrectedBeats result = correctArtefacts(damaged);
  expectCounts(result.counts, 1, 1, 1, 0);
  ASSERT_EQ(result.beats.size(), clean.size());
  EXPECT_DOUBLE_EQ(result.beats[500], (clean[499] + clean[501]) / 2);
  EXPECT_DOUBLE_EQ(result.beats[700], (clean[699] + clean[701]) / 2);
  // The extra beat went, the beat of the gap came, the late one moved.
  EXPECT_EQ(result.removed, std::vector<std::size_t>{300});
  EXPECT_EQ(result.origins[300], (BeatOrigin{BeatChange::kept, 301}));
  EXPECT_EQ(result.origins[500].change, BeatChange::inserted);
  EXPECT_EQ(result.origins[700], (BeatOrigin{BeatChange::moved, 700}));
  expectEveryBeatAccountedFor(damaged, result);
}

// Single blocked atrial beats, a run of 2:1 block, with P waves twice as
// tall as usual, then a sinus arrest of 4 s with one lone P wave in it. On
// the intervals alone a lone doubled interval looks like a missed beat; the
// samples show no QRS complex in it, so nothing is inserted there. A beat
// truly passed over is still put back on its complex.
TEST(ArtefactCorrection, InsertsBeatsOnlyWhereTheSamplesShowAComplex) {
  std::vector<std::pair<double, test::BeatShape>> rhythm;
  std::vector<double> loneP;
  double t = 0.6;
  auto beat = [&](double interval) {
    rhythm.emplace_back(t, test::normalBeat(0.4));
    t += interval;
  };
  for (int i = 0; i < 30; ++i) beat(0.8);
  for (int block = 0; block < 4; ++block) {
    loneP.push_back(t + 0.8);
    beat(1.6);
    for (int i = 0; i < 8; ++i) beat(0.8);
  }
  for (int i = 0; i < 12; ++i) {
    loneP.push_back(t + 0.8);
    beat(1.6);
  }
  for (int i = 0; i < 15; ++i) beat(0.8);
  loneP.push_back(t + 2.0);
  beat(4.0);
  for (int i = 0; i < 30; ++i) beat(0.8);
  for (const double rate : {250.0, 360.0, 1000.0}) {
    const std::string what = "at " + std::to_string(rate);
    test::Recording r =
        test::synthesise(rhythm, t + 0.5, rate, {.noise = 0.03, .wander = 0.2, .seed = 6});
    for (const double p : loneP) test::addWave(r.samples, p, test::blockedPWave(0.3), rate);
    const SpanSamples samples(r.samples);
    const std::vector<double> found = detectBeats(samples, rate).beats;
    const Scoring s = scoreBeats(found, r.beats, rate, 5.0);
    EXPECT_EQ(s.falseNegatives, 0) << what;
    EXPECT_EQ(s.falsePositives, 0) << what;

    const QrsSearch search(samples, rate);
    const QrsFinder finder = [&](double after, double before) {
      return search.between(after, before);
    };
    const CorrectedBeats withSamples = correctArtefacts(found, finder);
    EXPECT_EQ(withSamples.counts.missed, 0) << what;
    EXPECT_EQ(withSamples.counts.extra, 0) << what;
    EXPECT_GE(withSamples.counts.pauses, 4) << what;
    // Nothing moves either: each beat stands on its complex, and the beats
    // around a pause keep it whole.
    EXPECT_EQ(withSamples.beats, found) << what;
    EXPECT_EQ(withSamples.counts.ectopic + withSamples.counts.longShort, 0) << what;
    const CorrectedBeats intervalsOnly = correctArtefacts(found);
    EXPECT_GE(intervalsOnly.counts.missed, 4) << what;
    EXPECT_GT(intervalsOnly.beats.size(), found.size()) << what;

    // One beat of the regular stretch dropped from the series comes back at
    // its R peak.
    std::vector<double> withGap = found;
    ASSERT_GT(withGap.size(), 20u);
    const double dropped = withGap[20];
    withGap.erase(withGap.begin() + 20);
    const CorrectedBeats refilled = correctArtefacts(withGap, finder);
    EXPECT_EQ(refilled.counts.missed, 1) << what;
    ASSERT_EQ(refilled.beats.size(), found.size()) << what;
    EXPECT_NEAR(refilled.beats[20], dropped, 0.005 * rate) << what;
    EXPECT_EQ(refilled.origins[20].change, BeatChange::inserted) << what;
    EXPECT_EQ(std::ranges::count(refilled.origins, BeatChange::kept, &BeatOrigin::change),
              static_cast<long>(withGap.size()))
        << what;
  }
}

// Thresholds taken over from the last classification, or worked out again
// window by window where a window changed, are the fresh ones to the bit,
// and so is the classification; with corrections all along the series every
// threshold is worked out again.
TEST(ArtefactClassification, ReusedThresholdsAreTheFreshOnesToTheBit) {
  std::vector<double> beats = evenSeries(8000);
  for (std::size_t i = 100; i < 7900; i += 150) beats[i] += 0.3 * (beats[i + 1] - beats[i]);
  ClassificationMemory memory;
  classifyArtefacts(beats, memory);
  const auto expectFresh = [&](const char* what) {
    const Artefacts reused = classifyArtefacts(beats, memory);
    ClassificationMemory freshMemory;
    const Artefacts fresh = classifyArtefacts(beats, freshMemory);
    EXPECT_GT(fresh.total(), 0u) << what;
    EXPECT_EQ(memory.differenceThresholds, freshMemory.differenceThresholds) << what;
    EXPECT_EQ(reused.extra, fresh.extra) << what;
    EXPECT_EQ(reused.missed, fresh.missed) << what;
    EXPECT_EQ(reused.ectopic, fresh.ectopic) << what;
    EXPECT_EQ(reused.longShort, fresh.longShort) << what;
  };
  // One beat moved as a correction moves it: the windows around it and
  // those at the ends are worked out one by one.
  beats[4000] = (beats[3999] + beats[4001]) / 2;
  expectFresh("one beat moved");
  // A beat removed, one inserted and the last moved, as corrections leave them.
  beats[1000] = (beats[999] + beats[1001]) / 2;
  beats.erase(beats.begin() + 3000);
  beats.insert(beats.begin() + 6000, (beats[5999] + beats[6000]) / 2);
  beats.back() += 300;
  expectFresh("corrections all along");
}

}  // namespace
}  // namespace rrscope::beats
