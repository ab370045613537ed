// Long intervals: a pause of the heart stays, a lead that swings is marked.
#include "beats/disturbed_pauses.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "synthetic_ecg.h"

namespace rrscope::beats {
namespace {

constexpr double kRate = 360;

// Beats every 0.8 s with two gaps of 3.2 s: the first a flat pause, the
// second hiding three small beats under a swing of the baseline as a
// saturated amplifier recovers (a step of twice a complex, decaying).
struct TwoGaps {
  test::Recording lead;
  double pauseEnd = 0, swingEnd = 0;
};

TwoGaps twoGaps() {
  std::vector<std::pair<double, test::BeatShape>> beats;
  double t = 0.5;
  const auto run = [&](int count) {
    for (int i = 0; i < count; ++i, t += 0.8) beats.emplace_back(t, test::normalBeat(0.3));
  };
  run(20);
  t += 2.4;  // the pause: 3.2 s from the last beat
  const double pauseEnd = t;
  run(20);
  const double swingStart = t - 0.8;
  t += 2.4;
  const double swingEnd = t;
  run(20);
  TwoGaps gaps{test::synthesise(beats, t + 0.5, kRate, {.noise = 0.02, .wander = 0.1}), pauseEnd,
               swingEnd};
  for (std::size_t i = 0; i < gaps.lead.samples.size(); ++i) {
    const double s = static_cast<double>(i) / kRate;
    if (s > swingStart + 0.4 && s < swingEnd - 0.1) {
      gaps.lead.samples[i] += 3.0 * std::exp(-(s - swingStart - 0.4) / 0.8);
    }
  }
  for (const double hidden : {swingStart + 0.8, swingStart + 1.6, swingStart + 2.4}) {
    test::addWave(gaps.lead.samples, hidden, {0, 0.3, 0.01}, kRate);
  }
  return gaps;
}

TEST(DisturbedPauses, AFlatPauseStaysAndASwingingLeadIsMarkedFromBeatToBeat) {
  const TwoGaps gaps = twoGaps();
  const SpanSamples samples(gaps.lead.samples);
  const std::vector<SampleStretch> marked = disturbedPauses(samples, kRate, gaps.lead.beats);
  ASSERT_EQ(marked.size(), 1u);
  EXPECT_DOUBLE_EQ(marked[0].end, gaps.swingEnd * kRate);
  EXPECT_DOUBLE_EQ(marked[0].begin, (gaps.swingEnd - 3.2) * kRate);
}

TEST(DisturbedPauses, AFlatLeadOrTooFewBeatsMarkNothing) {
  const std::vector<double> flat(10000, 0.0);
  const SpanSamples samples(flat);
  EXPECT_TRUE(disturbedPauses(samples, kRate, std::vector<double>{100, 400, 2000, 2300}).empty());
  EXPECT_TRUE(disturbedPauses(samples, kRate, std::vector<double>{100, 400}).empty());
}

}  // namespace
}  // namespace rrscope::beats
