#include "hrv/entropy.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>
#include <vector>

#include "hrv/sample_statistics.h"
#include "tests/hrv/hrv_test_support.h"

namespace rrscope::hrv {
namespace {

constexpr TieRule kRules[] = {TieRule::inclusive, TieRule::strict};

// Both ways sum the same ln C_i in template order, so the doubles agree bit
// for bit, not merely closely.
void expectSameCounts(const TemplateCounts& fast, const TemplateCounts& pairwise) {
  EXPECT_EQ(fast.pairsM, pairwise.pairsM);
  EXPECT_EQ(fast.pairsMPlus1, pairwise.pairsMPlus1);
  EXPECT_EQ(fast.phiM, pairwise.phiM);
  EXPECT_EQ(fast.phiMPlus1, pairwise.phiMPlus1);
}

// A slowly wandering series of whole samples at 6000 per second, in ms as
// converted from sample counts, or rounded to whole ms: values repeat, and
// equal differences of samples round to several doubles.
std::vector<double> wanderingSeries(std::size_t n, bool wholeMs, std::uint64_t seed) {
  std::mt19937_64 random(seed);
  std::vector<double> series;
  long samples = 4800;
  for (std::size_t i = 0; i < n; ++i) {
    samples += static_cast<long>(random() % 41) - 20 + (4800 - samples) / 10;
    const auto count = static_cast<double>(samples);
    series.push_back(wholeMs ? std::round(count / 6) : count * 1000 / 6000);
  }
  return series;
}

TEST(TemplateCounts, FastCountEqualsPairwiseOnSeriesFullOfTies) {
  for (const bool wholeMs : {false, true}) {
    const std::vector<double> x = wanderingSeries(600, wholeMs, 7);
    const double tiedR = std::abs(x[3] - x[10]);
    // Pairs at exactly the tied r exist, so the two rules differ there.
    EXPECT_NE(countTemplates(x, 2, tiedR).pairsM,
              countTemplates(x, 2, tiedR, TieRule::strict).pairsM);
    for (const double r : {tiedR, std::abs(x[100] - x[7]), 0.0, 0.2 * sampleDeviation(x), 1e3}) {
      for (std::size_t m = 1; m <= 4; ++m) {
        for (const TieRule rule : kRules) {
          SCOPED_TRACE(testing::Message() << "whole ms " << wholeMs << " r " << r << " m " << m
                                          << " strict " << (rule == TieRule::strict));
          expectSameCounts(countTemplates(x, m, r, rule), countTemplatesPairwise(x, m, r, rule));
        }
      }
    }
  }
}

TEST(TemplateCounts, ALongSeriesSharedAmongThreadsGivesThePairwiseCounts) {
  const std::vector<double> x = wanderingSeries(9000, false, 11);
  const double r = std::abs(x[20] - x[21]);
  expectSameCounts(countTemplates(x, 2, r), countTemplatesPairwise(x, 2, r));
}

TEST(TemplateCounts, TiesAtExactlyRCountOnlyWhenInclusive) {
  // Templates of 1 (extended to 2) start at 10 11 10 12 11; with r = 1 the
  // pairs at distance 1 are 0-1 0-4 1-2 1-3 2-4 3-4 and at 0 are 0-2 1-4.
  // Extended, 0-1 0-2 0-4 1-3 1-4 3-4 stay within 1; only 1-4 stays at 0.
  const std::vector<double> x{10, 11, 10, 12, 11, 10};
  for (const auto count : {countTemplates, countTemplatesPairwise}) {
    const TemplateCounts inclusive = count(x, 1, 1.0, TieRule::inclusive);
    const TemplateCounts strict = count(x, 1, 1.0, TieRule::strict);
    EXPECT_EQ(inclusive.pairsM, 8);
    EXPECT_EQ(inclusive.pairsMPlus1, 6);
    EXPECT_EQ(strict.pairsM, 2);
    EXPECT_EQ(strict.pairsMPlus1, 1);
  }
}

TEST(TemplateCounts, APeriodicSeriesHasZeroSampleEntropy) {
  // Period 4 with values 10 ms or more apart and r about 4.6 ms: templates
  // match exactly when they start in the same phase. The 198 templates fall
  // 50, 50, 49, 49 into the phases.
  const std::vector<double> x = repeated({800, 850, 820, 790}, 50);
  const TemplateCounts counts = countTemplates(x, 2, 0.2 * sampleDeviation(x));
  EXPECT_EQ(counts.pairsM, 2 * (50 * 49 / 2) + 2 * (49 * 48 / 2));
  EXPECT_EQ(counts.pairsMPlus1, counts.pairsM);  // -ln(A / B) = 0
}

TEST(TemplateCounts, AnAllEqualSeriesMatchesEverywhereUnlessRIsStrictZero) {
  const std::vector<double> x(40, 812.5);
  for (const double r : {0.0, 1.0}) {
    for (const TieRule rule : kRules)
      expectSameCounts(countTemplates(x, 2, r, rule), countTemplatesPairwise(x, 2, r, rule));
  }
  const TemplateCounts counts = countTemplates(x, 2, 0.0);
  EXPECT_EQ(counts.pairsM, 38 * 37 / 2);
  EXPECT_EQ(counts.phiM - counts.phiMPlus1, 0);
}

TEST(TemplateCounts, ApproximateEntropyReproducesNeuroKit2sTestValues) {
  // cos(linspace(0, 30, 100)) as numpy builds it: i * step, the last point
  // exactly 30; r = 0.2 SD with N - 1.
  std::vector<double> wave;
  const double step = 30.0 / 99;
  for (int i = 0; i < 99; ++i) wave.push_back(std::cos(i * step));
  wave.push_back(std::cos(30.0));
  const TemplateCounts waveCounts = countTemplates(wave, 2, 0.2 * sampleDeviation(wave));
  EXPECT_NEAR(waveCounts.phiM - waveCounts.phiMPlus1, 0.17364897858477146, 1e-15);
  // NK2 asserts the absolute value; Pincus's difference is negative here.
  const std::vector<double> beats = repeated({85, 80, 89}, 17);
  const TemplateCounts beatCounts = countTemplates(beats, 2, 0.2 * sampleDeviation(beats));
  EXPECT_NEAR(beatCounts.phiM - beatCounts.phiMPlus1, -1.0996541105257052e-05, 2e-15);
}

// antropy's test series: numpy's rand(3000) after seed(1234567), written
// out once by numpy (tests/hrv/data/uniform-3000.txt), with r = 0.2 SD
// dividing by N. antropy counts SampEn with < r and ApEn with <= r, and
// asserts both rounded to three decimals.
TEST(TemplateCounts, ReproducesAntropysTestValuesWithItsOwnTieRules) {
  std::ifstream in(RRSCOPE_HRV_TEST_DATA "/uniform-3000.txt");
  std::vector<double> uniform;
  for (double x = 0; in >> x;) uniform.push_back(x);
  ASSERT_EQ(uniform.size(), 3000u);
  const double n = static_cast<double>(uniform.size());
  const double r = 0.2 * sampleDeviation(uniform) * std::sqrt((n - 1) / n);
  const TemplateCounts strict = countTemplates(uniform, 2, r, TieRule::strict);
  EXPECT_NEAR(
      -std::log(static_cast<double>(strict.pairsMPlus1) / static_cast<double>(strict.pairsM)),
      2.192, 0.0005);
  const TemplateCounts inclusive = countTemplates(uniform, 2, r);
  EXPECT_NEAR(inclusive.phiM - inclusive.phiMPlus1, 2.076, 0.0005);
}

}  // namespace
}  // namespace rrscope::hrv
