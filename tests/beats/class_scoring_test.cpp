#include "beats/class_scoring.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace rrscope::beats {
namespace {

using C = BeatClass;

const ClassScore& scoreOf(const ClassScoring& scoring, BeatClass beatClass) {
  return scoring[static_cast<std::size_t>(beatClass)];
}

// At 1000 per second, nine reference beats a second apart and nine
// detections, each pairing chosen to test one rule.
TEST(ClassScoring, CountsEachClassAsEc57Does) {
  const std::vector<double> reference = {1000, 2000, 3000, 4000, 5000, 6000, 7000, 8000, 9000};
  const std::vector<std::optional<BeatClass>> referenceClasses = aamiClassesOfLabels("NVFSQ?VNN");
  const std::vector<double> detected = {1000, 2010, 3000, 4005, 5000, 6000, 7000, 8000, 12000};
  // Right; right; V on a fusion beat; N on an S beat; V on a paced beat; N on
  // a beat of no class; N on a V beat; S on an N beat; a V matching nothing.
  const std::vector<BeatClass> detectedClasses = {C::N, C::V, C::V, C::N, C::V,
                                                  C::N, C::N, C::S, C::V};
  const ClassScoring scoring =
      scoreClasses(detected, detectedClasses, reference, referenceClasses, 1000);

  // The N beat at 9000 has no detection: missed all the same.
  const ClassScore& normal = scoreOf(scoring, C::N);
  EXPECT_EQ(normal.referenceBeats, 3);
  EXPECT_EQ(normal.found, 1);
  // N on the beats of no class is left out; N on the S and V beats is false.
  EXPECT_EQ(normal.detections, 3);
  EXPECT_EQ(normal.confirmed, 1);

  const ClassScore& supraventricular = scoreOf(scoring, C::S);
  EXPECT_EQ(supraventricular.referenceBeats, 1);
  EXPECT_EQ(supraventricular.found, 0);
  EXPECT_EQ(supraventricular.detections, 1);
  EXPECT_EQ(supraventricular.positivePredictivityPct(), 0.0);

  // V on the F and the Q beats is left out of +P; the V matching nothing
  // is false.
  const ClassScore& ventricular = scoreOf(scoring, C::V);
  EXPECT_EQ(ventricular.referenceBeats, 2);
  EXPECT_EQ(ventricular.found, 1);
  EXPECT_EQ(ventricular.detections, 2);
  EXPECT_EQ(ventricular.confirmed, 1);
  EXPECT_EQ(ventricular.sensitivityPct(), 50.0);
  EXPECT_EQ(ventricular.positivePredictivityPct(), 50.0);

  // The fusion beat was found as a beat but not as F; nothing was classed F.
  const ClassScore& fusion = scoreOf(scoring, C::F);
  EXPECT_EQ(fusion.referenceBeats, 1);
  EXPECT_EQ(fusion.sensitivityPct(), 0.0);
  EXPECT_FALSE(fusion.positivePredictivityPct().has_value());
}

TEST(ClassScoring, ReadsEveryBeatLabelAndWantsAClassPerBeat) {
  const std::vector<std::optional<BeatClass>> classes = aamiClassesOfLabels("NLReAaJSVEF/fQ?Br");
  const std::vector<std::optional<BeatClass>> expected = {
      C::N, C::N, C::N, C::N, C::S, C::S,         C::S,         C::S,        C::V,
      C::V, C::F, C::Q, C::Q, C::Q, std::nullopt, std::nullopt, std::nullopt};
  EXPECT_EQ(classes, expected);

  const std::vector<double> beats = {100, 200};
  const std::vector<BeatClass> oneClass = {C::N};
  const std::vector<std::optional<BeatClass>> twoClasses = {C::N, C::N};
  EXPECT_THROW(scoreClasses(beats, oneClass, beats, twoClasses, 360), std::invalid_argument);
  EXPECT_THROW(scoreClasses(beats, std::vector<BeatClass>{C::N, C::N}, beats,
                            std::vector<std::optional<BeatClass>>{C::N}, 360),
               std::invalid_argument);
}

// The letters of a beat list's classes read back in either case, as the
// Python module reads them.
TEST(BeatClassLetters, ReadBackInEitherCaseAndNothingElseIsAClass) {
  for (const BeatClass beatClass : kBeatClasses) {
    const char letter = beatClassLetter(beatClass);
    EXPECT_EQ(beatClassOfLetter(letter), beatClass) << letter;
    EXPECT_EQ(beatClassOfLetter(static_cast<char>(letter - 'A' + 'a')), beatClass) << letter;
  }
  for (const char other : {'A', 'x', '?', ' ', '\0'}) EXPECT_FALSE(beatClassOfLetter(other));
}

// A couplet is exactly two ectopic beats in a row, a run three or more, also
// where the series ends with them.
TEST(EctopicBurden, CountsSharesCoupletsAndRunsUpToTheLastBeat) {
  const std::string letters = "NVVNVVVNSSNSSSSNQVV";
  std::vector<BeatClass> classes;
  for (const char letter : letters) classes.push_back(*beatClassOfLetter(letter));
  const EctopicBurden burden = ectopicBurden(classes);
  EXPECT_DOUBLE_EQ(burden.ventricularPct, 100.0 * 7 / 19);
  EXPECT_DOUBLE_EQ(burden.supraventricularPct, 100.0 * 6 / 19);
  EXPECT_EQ(burden.ventricularCouplets, 2u);
  EXPECT_EQ(burden.ventricularRuns, 1u);
  EXPECT_EQ(burden.supraventricularCouplets, 1u);
  EXPECT_EQ(burden.supraventricularRuns, 1u);
  EXPECT_EQ(ectopicBurden({}).ventricularPct, 0);
}

}  // namespace
}  // namespace rrscope::beats
