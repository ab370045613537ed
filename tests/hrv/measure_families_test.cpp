// The measures beyond the time domain as computeMeasures reports them: the
// AR and Lomb–Scargle spectra beside Welch's, the entropies and the DFA,
// the detrending that only the Welch and AR spectra see, the windows, and
// the catalogue that names them all.
#include <cmath>
#include <numbers>
#include <set>
#include <string>
#include <vector>

#include "hrv/measure_catalogue.h"
#include "tests/hrv/hrv_test_support.h"

namespace rrscope::hrv {
namespace {

TEST(SpectralEstimates, LombScargleMeasuresTheBandsAndTheArModelFindsThePeaks) {
  const double a1 = 20, a2 = 10;
  const Measures m = computeMeasures(modulatedIntervals(800, a1, a2, 0, 600));
  EXPECT_NEAR(valueOf(m, Measure::lsLf), a1 * a1 / 2, 0.03 * a1 * a1 / 2);
  EXPECT_NEAR(valueOf(m, Measure::lsHf), a2 * a2 / 2, 0.03 * a2 * a2 / 2);
  EXPECT_NEAR(valueOf(m, Measure::lsLfPeak), 0.1, 0.005);
  EXPECT_NEAR(valueOf(m, Measure::lsHfPeak), 0.25, 0.005);
  EXPECT_DOUBLE_EQ(valueOf(m, Measure::lsLfNu) + valueOf(m, Measure::lsHfNu), 100);
  // A noise-free sinusoid puts the AR poles on the unit circle: the peaks
  // are right although their power falls between the bins.
  EXPECT_NEAR(valueOf(m, Measure::arLfPeak), 0.1, 2.0 / 1024);
  EXPECT_NEAR(valueOf(m, Measure::arHfPeak), 0.25, 2.0 / 1024);
  EXPECT_DOUBLE_EQ(
      valueOf(m, Measure::arTotalPower),
      valueOf(m, Measure::arVlf) + valueOf(m, Measure::arLf) + valueOf(m, Measure::arHf));
  ASSERT_EQ(m.arSpectrum.frequenciesHz, m.spectrum.frequenciesHz);
  EXPECT_FALSE(m.lsSpectrum.frequenciesHz.empty());
}

// The detrending reaches the Welch and AR spectra only: a slow drift leaves
// VLF, and the time-domain and Lomb–Scargle figures are those without it.
TEST(SpectralEstimates, SmoothnessPriorsDetrendTheWelchAndArSpectraOnly) {
  const std::vector<double> drifting = modulatedIntervals(800, 20, 10, 0.5, 600);
  const Measures plain = computeMeasures(drifting);
  MeasureOptions options;
  options.detrend = Detrend::smoothnessPriors;
  const Measures detrended = computeMeasures(drifting, options);
  EXPECT_LT(valueOf(detrended, Measure::vlf), 0.2 * valueOf(plain, Measure::vlf));
  EXPECT_LT(valueOf(detrended, Measure::arVlf), 0.2 * valueOf(plain, Measure::arVlf));
  EXPECT_NEAR(valueOf(detrended, Measure::hf), valueOf(plain, Measure::hf),
              0.05 * valueOf(plain, Measure::hf));
  for (const Measure same : {Measure::sdnn, Measure::rmssd, Measure::sd2, Measure::lsVlf,
                             Measure::sampen, Measure::dfaAlpha1}) {
    EXPECT_EQ(valueOf(detrended, same), valueOf(plain, same)) << measureKey(same);
  }
}

// A lambda of 1e308 overflows the trend to NaN and one of 1e-300 leaves
// nothing: outside its range the detrended spectra are undefined, with the
// reason, and never NaN.
TEST(SpectralEstimates, SmoothnessPriorsOutsideTheirLambdaRangeLeaveTheSpectraUndefined) {
  const std::vector<double> drifting = modulatedIntervals(800, 20, 10, 0.5, 600);
  MeasureOptions options;
  options.detrend = Detrend::smoothnessPriors;
  for (const double lambda : {1e308, 1e-300, std::nan("")}) {
    options.lambda = lambda;
    const Measures m = computeMeasures(drifting, options);
    expectUndefined(m,
                    {Measure::vlf, Measure::lf, Measure::hf, Measure::totalPower, Measure::lfHf,
                     Measure::lfNu, Measure::hfNu, Measure::lfPeak, Measure::hfPeak, Measure::arVlf,
                     Measure::arLf, Measure::arHf, Measure::arLfHf, Measure::arHfPeak},
                    Undefined::lambdaOutOfRange);
    for (const Measure measure : allMeasures()) {
      EXPECT_TRUE(!m[measure].defined() || std::isfinite(m[measure].value())) << lambda;
    }
    EXPECT_TRUE(m[Measure::lsLf].defined());  // Lomb–Scargle never sees the trend
  }
}

TEST(NonlinearMeasures, EntropyAndDfaOfARegularSeriesAndTheirLowerBounds) {
  // A period of four intervals: every template recurs, so SampEn is 0.
  const std::vector<double> periodic = repeated({800, 820, 790, 810}, 80);
  const Measures m = computeMeasures(periodic);
  EXPECT_EQ(valueOf(m, Measure::sampen), 0);
  EXPECT_NEAR(valueOf(m, Measure::sampenR), 0.2 * valueOf(m, Measure::sdnn), 1e-12);
  EXPECT_TRUE(m[Measure::apen].defined());
  EXPECT_TRUE(m[Measure::dfaAlpha1].defined());
  EXPECT_TRUE(m[Measure::dfaAlpha2].defined());
  ASSERT_TRUE(m.dfa.alpha1.has_value());
  EXPECT_EQ(m.dfa.alpha1->slope, valueOf(m, Measure::dfaAlpha1));
  EXPECT_EQ(m.dfa.boxSizes.front(), 4u);
  EXPECT_EQ(m.dfa.boxSizes.back(), 64u);

  const Measures three = computeMeasures(std::vector<double>{800, 810, 790});
  expectUndefined(three, {Measure::sampen, Measure::apen}, Undefined::fewerThanFourIntervals);
  EXPECT_TRUE(three[Measure::sampenR].defined());
  expectUndefined(computeMeasures(repeated({800, 820, 790}, 21)), {Measure::dfaAlpha1},
                  Undefined::fewerThan64Intervals);
  const Measures sixtyFour = computeMeasures(repeated({800, 820, 790, 810}, 16));
  EXPECT_TRUE(sixtyFour[Measure::dfaAlpha1].defined());
  expectUndefined(sixtyFour, {Measure::dfaAlpha2}, Undefined::fewerThan256Intervals);

  // All equal: every template matches every other, and nothing fluctuates.
  const Measures flat = computeMeasures(std::vector<double>(300, 800));
  EXPECT_EQ(valueOf(flat, Measure::sampen), 0);
  EXPECT_EQ(valueOf(flat, Measure::apen), 0);
  expectUndefined(flat, {Measure::dfaAlpha1, Measure::dfaAlpha2}, Undefined::allIntervalsEqual);
  expectUndefined(flat, {Measure::arLfHf, Measure::lsLfHf}, Undefined::zeroDenominator);
  EXPECT_EQ(valueOf(flat, Measure::arTotalPower), 0);

  // A long flat stretch and then an alternation: the profile is a straight
  // line within the long boxes, whose fluctuation is rounding alone.
  std::vector<double> flatThenAlternating(277, 1000);
  for (int i = 0; i < 14; ++i) flatThenAlternating.insert(flatThenAlternating.end(), {900, 1101});
  const Measures rounding = computeMeasures(flatThenAlternating);
  expectUndefined(rounding, {Measure::dfaAlpha2}, Undefined::noFluctuation);
}

TEST(SpectralEstimates, LombScargleNeedsSixtyFourSecondsAndAtMostAnHour) {
  expectUndefined(computeMeasures(std::vector<double>(64, 1000)), {Measure::lsHf},
                  Undefined::tooShortForSpectrum);
  EXPECT_TRUE(computeMeasures(std::vector<double>(65, 1000))[Measure::lsHf].defined());
  // 3601 intervals of 1 s span 3600 s; one more is past the hour.
  EXPECT_TRUE(computeMeasures(std::vector<double>(3601, 1000))[Measure::lsHf].defined());
  expectUndefined(computeMeasures(std::vector<double>(3602, 1000)), {Measure::lsHf, Measure::lsVlf},
                  Undefined::longerThanAnHour);
}

TEST(MeasureGroups, TheGroupsNotAskedForStayUndefined) {
  MeasureOptions options;
  options.groups = kTimeDomain;
  const Measures m = computeMeasures(modulatedIntervals(800, 20, 10, 0, 700), options);
  EXPECT_TRUE(m[Measure::rmssd].defined());
  EXPECT_TRUE(m[Measure::sdann].defined());
  expectUndefined(m, {Measure::hti, Measure::sd1, Measure::lf, Measure::sampen, Measure::dfaAlpha1},
                  Undefined::notAskedFor);
  EXPECT_TRUE(m.spectrum.frequenciesHz.empty());
}

// Window k covers (k step, k step + width]: an interval ending exactly at a
// border belongs to the window that ends there, and only whole windows
// count.
TEST(Windows, MembershipAtExactBordersAndOnlyWholeWindows) {
  const std::vector<double> seconds(32, 1000);
  const std::vector<WindowMeasures> windows = windowedMeasures(seconds, {10, 5});
  ASSERT_EQ(windows.size(), 5u);  // the last from 20 to 30 s; 25 to 35 is not whole
  for (std::size_t k = 0; k < windows.size(); ++k) {
    EXPECT_EQ(windows[k].startSeconds, 5.0 * static_cast<double>(k));
    EXPECT_EQ(windows[k].endSeconds, 5.0 * static_cast<double>(k) + 10);
    EXPECT_EQ(windows[k].intervals, 10u) << k;  // the ends 5k + 1 ... 5k + 10
    EXPECT_EQ(valueOf(windows[k].measures, Measure::meanNn), 1000);
    EXPECT_TRUE(windows[k].measures.spectrum.frequenciesHz.empty());
  }
  // With gaps: the intervals keep their own end times.
  const std::vector<double> intervals{1000, 1000, 1000, 1000};
  const std::vector<double> ends{1000, 2000, 9000, 10000};
  const std::vector<WindowMeasures> gapped = windowedMeasures(intervals, ends, 12000, {5, 5});
  ASSERT_EQ(gapped.size(), 2u);
  EXPECT_EQ(gapped[0].intervals, 2u);
  EXPECT_EQ(gapped[1].intervals, 2u);
  EXPECT_TRUE(windowedMeasures(seconds, {40, 5}).empty());
}

// Every front end takes a measure's unit from its row and the batch tool
// and Python its key: a key that names another unit than the row, or a
// second row with the same key, would give two answers for one measure.
// The Python help finds an AR or Lomb–Scargle key's convention under the
// Welch key.
TEST(MeasureCatalogue, KeysAreUniqueAndAgreeWithTheirUnitAndConvention) {
  const std::pair<std::string_view, Unit> kSuffixes[] = {{"_ms2", Unit::ms2},
                                                         {"_ms", Unit::ms},
                                                         {"_hz", Unit::hz},
                                                         {"_pct", Unit::percent},
                                                         {"_bpm", Unit::bpm}};
  std::set<std::string_view> keys;
  for (const Measure measure : allMeasures()) {
    const MeasureEntry& entry = measureEntry(measure);
    const std::string_view key = entry.key;
    EXPECT_TRUE(keys.insert(key).second) << key;
    EXPECT_EQ(measureEntryOfKey(key), &entry) << key;
    Unit unit = entry.unit == Unit::normalized ? Unit::normalized : Unit::none;
    for (const auto& [suffix, named] : kSuffixes) {
      if (key.ends_with(suffix)) {
        unit = named;
        break;
      }
    }
    EXPECT_EQ(entry.unit, unit) << key;
    const bool spectral = key.starts_with("ar_") || key.starts_with("ls_");
    const MeasureEntry* welch = spectral ? measureEntryOfKey(key.substr(3)) : &entry;
    ASSERT_NE(welch, nullptr) << key;
    EXPECT_FALSE(welch->convention.empty()) << key;
    EXPECT_EQ(entry.band.has_value(), welch->band.has_value()) << key;
    EXPECT_FALSE(entry.windowName.empty() || entry.reportName.empty()) << key;
  }
  EXPECT_EQ(measureEntryOfKey("lf"), nullptr);
}

}  // namespace
}  // namespace rrscope::hrv
