#include "beats/r_peak_detector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <stdexcept>
#include <string>

#include "beats/beat_scoring.h"
#include "synthetic_ecg.h"

namespace rrscope::beats {
namespace {

using test::BeatShape;

// A rhythm with what makes detection hard: premature beats, wide ectopic
// complexes, bigeminy, a 3 s pause and a jump of the rate from 50 to 150 per
// minute.
std::vector<std::pair<double, BeatShape>> difficultRhythm() {
  std::vector<std::pair<double, BeatShape>> beats;
  double t = 0.6;
  auto add = [&](double interval, BeatShape shape = test::normalBeat()) {
    t += interval;
    beats.emplace_back(t, std::move(shape));
  };
  beats.emplace_back(t, test::normalBeat());
  for (int i = 0; i < 10; ++i) add(0.8);
  add(0.5);  // premature, normal shape
  add(1.1);  // its compensatory pause
  for (int i = 0; i < 4; ++i) add(0.8);
  add(0.55, test::wideBeat());  // premature ventricular
  add(1.05);
  for (int i = 0; i < 4; ++i) add(0.8);
  for (int i = 0; i < 8; ++i) {  // bigeminy: each normal beat followed by an ectopic one
    add(1.1);
    add(0.5, test::wideBeat());
  }
  add(1.1);
  add(3.0);                               // a pause
  for (int i = 0; i < 12; ++i) add(1.2);  // 50 per minute
  for (int i = 0; i < 40; ++i) add(0.4);  // 150 per minute
  return beats;
}

void expectEveryBeatFound(const test::Recording& r, double rate, const std::string& what) {
  const std::vector<double> found = detectRPeaks(r.samples, rate);
  // Every beat within 5 ms of its R peak, and nothing else.
  const Scoring s = scoreBeats(found, r.beats, rate, 5.0);
  EXPECT_EQ(s.falseNegatives, 0) << what;
  EXPECT_EQ(s.falsePositives, 0) << what;
  EXPECT_EQ(found.size(), r.beats.size()) << what;
}

// Every beat found within 40 ms, and each interval between two successive
// beats within `toleranceMs` of the true one, whichever point of the
// complex the detector takes as its fiducial.
void expectIntervalsWithin(const std::vector<double>& found, const test::Recording& r, double rate,
                           double toleranceMs, const std::string& what) {
  std::vector<double> matched;
  for (const double beat : r.beats) {
    const auto next = std::lower_bound(found.begin(), found.end(), beat);
    double nearest = next != found.end() ? *next : 1e300;
    if (next != found.begin() && beat - *(next - 1) < nearest - beat) nearest = *(next - 1);
    ASSERT_LT(std::abs(nearest - beat) * 1000 / rate, 40.0)
        << what << ": no beat found near " << beat / rate << " s";
    matched.push_back(nearest);
  }
  double worstMs = 0;
  std::size_t worst = 0;
  for (std::size_t i = 1; i < matched.size(); ++i) {
    const double errorMs =
        std::abs((matched[i] - matched[i - 1]) - (r.beats[i] - r.beats[i - 1])) * 1000 / rate;
    if (errorMs > worstMs) worstMs = errorMs, worst = i;
  }
  EXPECT_LE(worstMs, toleranceMs) << what << ": interval ending at " << r.beats[worst] / rate
                                  << " s is off by " << worstMs << " ms";
}

TEST(RPeakDetector, FindsEveryBeatOfADifficultRhythmAtEveryRate) {
  const auto rhythm = difficultRhythm();
  const double seconds = rhythm.back().first + 1.0;
  for (const double rate : {128.0, 360.0, 500.0, 1000.0, 6000.0}) {
    const test::Disturbance clean{};
    expectEveryBeatFound(test::synthesise(rhythm, seconds, rate, clean), rate,
                         "clean at " + std::to_string(rate));
    const test::Disturbance disturbed{.noise = 0.05, .wander = 0.6, .mains = 0.05, .seed = 7};
    test::Recording r = test::synthesise(rhythm, seconds, rate, disturbed);
    expectEveryBeatFound(r, rate, "disturbed at " + std::to_string(rate));
    // An inverted lead: the beats lie on its downward peaks.
    for (double& v : r.samples) v = -v;
    expectEveryBeatFound(r, rate, "inverted at " + std::to_string(rate));
  }
}

// The same rhythm at the lowest rates the detector takes, and at every
// size a lead may have: a complex of 0.2 to 5 mV. The beats stay where they
// are, within a sample at each rate, since nothing in the detector may
// count in samples or millivolts.
TEST(RPeakDetector, FindsTheSameBeatsAtLowRatesAndEverySize) {
  const auto rhythm = difficultRhythm();
  const double seconds = rhythm.back().first + 1.0;
  for (const double rate : {60.0, 64.0, 71.0, 71.5, 72.0, 250.0}) {
    for (const double size : {0.2, 1.0, 5.0}) {
      test::Recording r = test::synthesise(rhythm, seconds, rate, {.noise = 0.01, .seed = 3});
      for (double& v : r.samples) v *= size;
      const std::vector<double> found = detectRPeaks(r.samples, rate);
      const std::string what = std::to_string(rate) + " Hz, " + std::to_string(size) + " times";
      const Scoring s = scoreBeats(found, r.beats, rate, 1000.0 / rate + 1e-9);
      EXPECT_EQ(s.falseNegatives, 0) << what;
      EXPECT_EQ(s.falsePositives, 0) << what;
    }
  }
}

// Second-degree block: every fourth atrial beat is not conducted, so its P
// wave stands alone in an interval twice the normal one, and for a while
// only every second one is (2:1 block, half the rate). The search back after
// each long interval must not take the lone P wave, or the T wave before it,
// for the missing beat.
TEST(RPeakDetector, FindsEveryBeatOfAHeartBlockAndNoneInItsGaps) {
  std::vector<std::pair<double, BeatShape>> rhythm;
  std::vector<double> blocked;
  double t = 0.6;
  for (int i = 0; i < 40; ++i) {
    const bool dropped = i % 4 == 3 || (i >= 20 && i % 2 == 1);
    if (dropped) {
      blocked.push_back(t);
    } else {
      rhythm.emplace_back(t, test::normalBeat(0.6));
    }
    t += 0.8;
  }
  for (const double rate : {250.0, 360.0, 1000.0, 6000.0}) {
    test::Recording r =
        test::synthesise(rhythm, t, rate, {.noise = 0.03, .wander = 0.3, .seed = 5});
    for (const double time : blocked) test::addWave(r.samples, time, test::blockedPWave(), rate);
    expectEveryBeatFound(r, rate, "block at " + std::to_string(rate));
  }
}

// 2:1 block with tall narrow P waves: the blocked P wave alone in its long
// interval clears the normal thresholds and has the outline of a narrow
// complex, only a quarter as large. It leads the conducted complexes too,
// and is no beat. First 0.3 mV at a standard deviation of 15 ms, the rhythm
// conducted at first, so the levels are learnt on the complexes alone;
// then 0.4 mV at 20 ms with a long PR interval, 280 ms, blocked from the
// start, where the conducted P waves are taken too and lie beside the
// blocked ones.
TEST(RPeakDetector, TakesNoBlockedTallPWaveForABeat) {
  struct Block {
    test::Wave pWave;
    int firstBlocked;
    double atrialInterval;
  };
  for (const Block& block :
       {Block{{-0.16, 0.3, 0.015}, 20, 0.8}, Block{{-0.28, 0.4, 0.02}, 0, 0.9}}) {
    BeatShape conducted = test::normalBeat(0.4);
    conducted.waves.front() = block.pWave;
    std::vector<std::pair<double, BeatShape>> rhythm;
    std::vector<double> blocked;
    double t = 0.6;
    for (int i = 0; i < 120; ++i) {
      const bool dropped =
          (i >= block.firstBlocked && i < 100 && i % 2 == 1) || (i >= 100 && i % 4 == 3);
      if (dropped) {
        blocked.push_back(t);
      } else {
        rhythm.emplace_back(t, conducted);
      }
      t += block.atrialInterval;
    }
    for (const double rate : {128.0, 360.0, 1000.0}) {
      test::Recording r =
          test::synthesise(rhythm, t, rate, {.noise = 0.02, .wander = 0.2, .seed = 5});
      for (const double time : blocked) test::addWave(r.samples, time, block.pWave, rate);
      expectEveryBeatFound(r, rate,
                           "2:1 block, PR " + std::to_string(-block.pWave.offset) + " s, at " +
                               std::to_string(rate));
    }
  }
}

// Paced beats: the pacing spike before each wide complex is the steepest
// and tallest thing in the lead, but it is no beat of its own, and the beat
// lies on the complex it starts. A few spontaneous narrow beats mix in.
TEST(RPeakDetector, PlacesPacedBeatsOnTheirComplexNotOnThePacingSpike) {
  std::vector<std::pair<double, BeatShape>> rhythm;
  double t = 0.6;
  for (int i = 0; i < 50; ++i) {
    const bool spontaneous = i % 10 == 9;
    rhythm.emplace_back(t, spontaneous ? test::normalBeat() : test::pacedBeat());
    t += spontaneous ? 0.7 : 0.857;
  }
  for (const double rate : {360.0, 1000.0, 6000.0}) {
    const test::Recording r =
        test::synthesise(rhythm, t + 0.5, rate, {.noise = 0.03, .wander = 0.3, .seed = 9});
    expectEveryBeatFound(r, rate, "paced at " + std::to_string(rate));
    // The few spontaneous complexes are timed against the paced shape they
    // resemble most, which places them within a few milliseconds; a jump to
    // or from the pacing spike would be 40 ms.
    expectIntervalsWithin(detectRPeaks(r.samples, rate), r, rate, 3.0,
                          "paced at " + std::to_string(rate));
  }
}

// R and S waves of the same size: a beat whose fiducial point jumped between
// them would shift its two intervals by the 24 ms between the waves.
TEST(RPeakDetector, KeepsTheIntervalsOfComplexesWithEqualRAndSWaves) {
  const auto rhythm = test::breathingRhythm(89, test::equalRsBeat());
  for (const double rate : {250.0, 360.0, 1000.0}) {
    const test::Recording r = test::synthesise(rhythm, 90, rate, {.noise = 0.03, .seed = 11});
    expectIntervalsWithin(detectRPeaks(r.samples, rate), r, rate, 1.0,
                          "equal R and S at " + std::to_string(rate));
  }
}

// Atrial fibrillation: intervals at random from 0.35 to 1.2 s, no P waves
// but a fibrillatory ripple, and complexes of changing width and shape.
TEST(RPeakDetector, FindsEveryBeatOfAnIrregularRhythmWithChangingComplexes) {
  std::mt19937 random(21);
  std::uniform_real_distribution<double> interval(0.35, 1.2), width(0.06, 0.14);
  std::vector<std::pair<double, BeatShape>> rhythm;
  double t = 0.6;
  for (int i = 0; i < 150; ++i) {
    const int kind = i % 5;
    rhythm.emplace_back(t, kind == 0   ? test::wideBeat()
                           : kind == 1 ? test::beatOfWidth(width(random))
                                       : test::normalBeat(0.4));
    t += interval(random);
  }
  for (const double rate : {250.0, 360.0, 1000.0}) {
    test::Recording r =
        test::synthesise(rhythm, t + 0.5, rate, {.noise = 0.03, .wander = 0.3, .seed = 4});
    for (std::size_t i = 0; i < r.samples.size(); ++i) {
      r.samples[i] += 0.05 * std::sin(2 * M_PI * 6.3 * static_cast<double>(i) / rate);
    }
    expectEveryBeatFound(r, rate, "fibrillation at " + std::to_string(rate));
  }
}

// Complexes that point either way: a run of bidirectional ventricular
// tachycardia, each negative complex smaller than the positive one before
// it, at intervals of 0.63 and 0.47 s, and bigeminy whose wide ectopic
// complexes point down. Every complex is a beat, placed on its own main
// wave.
TEST(RPeakDetector, FindsComplexesOfAlternatingPolarity) {
  const BeatShape up{{{0.0, 1.0, 0.02}, {0.05, -0.3, 0.02}, {0.28, -0.4, 0.06}}};
  const auto down = [](double height) {
    return BeatShape{{{0.0, -height, 0.02}, {0.05, 0.3 * height, 0.02}, {0.28, 0.4, 0.06}}};
  };
  const BeatShape downEctopic{{{0.0, -0.9, 0.025}, {0.07, 0.3, 0.02}, {0.3, 0.5, 0.06}}};
  std::vector<std::pair<double, BeatShape>> rhythm;
  double t = 0.6;
  const auto add = [&](double interval, BeatShape shape) {
    rhythm.emplace_back(t, std::move(shape));
    t += interval;
  };
  for (int i = 0; i < 20; ++i) add(0.8, test::normalBeat(0.4));
  for (int i = 0; i < 60; ++i) add(i % 2 ? 0.47 : 0.63, i % 2 ? down(0.5 + 0.1 * (i % 4)) : up);
  for (int i = 0; i < 10; ++i) add(0.8, test::normalBeat(0.4));
  for (int i = 0; i < 30; ++i) add(i % 2 ? 1.1 : 0.5, i % 2 ? downEctopic : test::normalBeat(0.4));
  for (int i = 0; i < 10; ++i) add(0.8, test::normalBeat(0.4));
  for (const double rate : {128.0, 360.0, 1000.0}) {
    const test::Recording r =
        test::synthesise(rhythm, t, rate, {.noise = 0.02, .wander = 0.2, .seed = 5});
    expectEveryBeatFound(r, rate, "alternating polarity at " + std::to_string(rate));
  }
}

// Aberrant premature beats: a notched complex with far less slope than the
// sharp normal beats, early enough that the gap before the next beat stays
// below the search back's limit. One in four is tall enough for the
// thresholds; the others, half as tall, are found by the shape those recur
// with, and nothing else is.
TEST(RPeakDetector, FindsSmallAberrantPrematureBeatsByTheirRecurringShape) {
  const auto aberrant = [](double height) {
    return BeatShape{{{0.0, height, 0.014}, {0.032, 0.87 * height, 0.014}, {0.3, 0.3, 0.05}}};
  };
  std::vector<std::pair<double, BeatShape>> rhythm;
  double t = 0.6;
  for (int i = 0; i < 150; ++i) {
    const bool premature = i % 6 == 5;
    rhythm.emplace_back(t, premature ? aberrant(i % 24 == 5 ? 1.2 : 0.66) : test::normalBeat(0.3));
    t += premature ? 1.1 : i % 6 == 4 ? 0.5 : 1.0;
  }
  for (const double rate : {250.0, 360.0, 1000.0}) {
    const test::Recording r =
        test::synthesise(rhythm, t, rate, {.noise = 0.02, .wander = 0.2, .seed = 9});
    // The notched complex's fiducial point is its own, near its first peak.
    const Scoring s = scoreBeats(detectRPeaks(r.samples, rate), r.beats, rate, 40.0);
    EXPECT_EQ(s.falseNegatives, 0) << rate;
    EXPECT_EQ(s.falsePositives, 0) << rate;
  }
}

// A burst of beat-like noise makes the beats in it untrustworthy: it is
// marked, and the clean lead around it is not.
TEST(RPeakDetector, MarksABurstOfNoiseUnreadableAndNothingElse) {
  const auto rhythm = test::breathingRhythm(59, test::normalBeat(0.4));
  constexpr double burstFrom = 25, burstTo = 31;
  for (const double rate : {250.0, 360.0, 1000.0}) {
    test::Recording r = test::synthesise(rhythm, 60, rate, {.noise = 0.02, .seed = 2});
    test::addNoiseBurst(r.samples, burstFrom, burstTo, rate, 8);
    const DetectedBeats found = detectBeats(SpanSamples(r.samples), rate);
    const std::string what = "burst at " + std::to_string(rate);
    double coveredSeconds = 0;
    for (const SampleStretch& s : found.unreadable) {
      // A stretch runs from beat to beat, so it may reach the beat on either
      // side of the burst, an interval of 0.86 s at most, but no further.
      EXPECT_GE(s.begin / rate, burstFrom - 0.9) << what;
      EXPECT_LE(s.end / rate, burstTo + 0.9) << what;
      coveredSeconds +=
          std::max(0.0, std::min(s.end / rate, burstTo) - std::max(s.begin / rate, burstFrom));
    }
    EXPECT_GE(coveredSeconds, 0.75 * (burstTo - burstFrom)) << what;
  }
}

// Beats that keep a regular rhythm through a stretch of sharp noise, whose
// humps distort their complexes into shapes of their own: the stretch
// between them stays readable where both beats resemble the main complex,
// and every beat kept readable is a true one.
TEST(RPeakDetector, KeepsReadableTheIntervalsThatKeepTheRhythmThroughNoise) {
  const auto rhythm = test::breathingRhythm(119, test::normalBeat(0.4), 0.03);
  constexpr double noiseFrom = 40, noiseTo = 80;
  for (const double rate : {250.0, 360.0}) {
    test::Recording r = test::synthesise(rhythm, 120, rate, {.noise = 0.02, .seed = 2});
    std::mt19937 random(4);
    std::uniform_real_distribution<double> height(-1.0, 1.0), width(0.015, 0.03), gap(0.05, 0.15);
    for (double t = noiseFrom; t < noiseTo; t += gap(random)) {
      test::addWave(r.samples, t, {0, height(random), width(random)}, rate);
    }
    const DetectedBeats found = detectBeats(SpanSamples(r.samples), rate);
    const std::string what = "noise at " + std::to_string(rate);
    double markedSeconds = 0;
    std::vector<double> readable;
    for (const double beat : found.beats) {
      const bool inside = std::ranges::any_of(found.unreadable, [&](const SampleStretch& s) {
        return beat >= s.begin && beat <= s.end;
      });
      if (!inside) readable.push_back(beat);
    }
    for (const SampleStretch& s : found.unreadable) {
      markedSeconds +=
          std::max(0.0, std::min(s.end / rate, noiseTo) - std::max(s.begin / rate, noiseFrom));
    }
    EXPECT_EQ(scoreBeats(readable, r.beats, rate, 50.0).falsePositives, 0) << what;
    EXPECT_LT(markedSeconds, 0.15 * (noiseTo - noiseFrom)) << what;
  }
}

TEST(RPeakDetector, RecoversFromAnArtefactInTheLearningPhase) {
  std::vector<std::pair<double, BeatShape>> rhythm;
  for (int i = 0; i < 60; ++i) rhythm.emplace_back(0.6 + 0.8 * i, test::normalBeat());
  constexpr double rate = 1000.0;
  test::Recording r = test::synthesise(rhythm, 49.0, rate, {.noise = 0.03, .seed = 3});
  // A 6 mV electrode jump sets the first signal level far above every beat.
  for (std::size_t i = 300; i < 330; ++i) r.samples[i] += 6.0;
  const Scoring s = scoreBeats(detectRPeaks(r.samples, rate), r.beats, rate, 5.0);
  // The jump may count as a beat and hide the one beside it; all others are found.
  EXPECT_LE(s.falseNegatives, 1);
  EXPECT_LE(s.falsePositives, 2);
}

TEST(RPeakDetector, NoBeatsWithoutSignal) {
  constexpr double rate = 500.0;
  EXPECT_TRUE(detectRPeaks(std::vector<double>{}, rate).empty());
  EXPECT_TRUE(detectRPeaks(std::vector<double>(5000, 0.4), rate).empty());
  EXPECT_TRUE(detectRPeaks(std::vector<double>(3, 1.0), rate).empty());
}

}  // namespace
}  // namespace rrscope::beats
