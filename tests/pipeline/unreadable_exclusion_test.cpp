#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "pipeline/recording_analysis.h"
#include "tests/beats/synthetic_ecg.h"

namespace rrscope::pipeline {
namespace {

// A burst of beat-like noise gives false beats and hides true ones; the NN
// series must keep neither them nor the intervals that reach into the burst,
// while the clean intervals around it stay.
TEST(UnreadableExclusion, IntervalsTouchingANoiseBurstStayOutOfTheNnSeries) {
  constexpr double rate = 360, seconds = 120, burstFrom = 50, burstTo = 56;
  std::vector<std::pair<double, beats::test::BeatShape>> rhythm;
  for (double t = 0.6; t < seconds - 0.5; t += 0.8 + 0.06 * std::sin(2 * M_PI * t / 5)) {
    rhythm.emplace_back(t, beats::test::normalBeat(0.4));
  }
  beats::test::Recording ecg = beats::test::synthesise(rhythm, seconds, rate, {.noise = 0.02});
  beats::test::addNoiseBurst(ecg.samples, burstFrom, burstTo, rate, 8);
  recordings::Recording recording{.file = "burst",
                                  .channel = "II",
                                  .units = "mV",
                                  .rate = {360, 1},
                                  .values = {},
                                  .gain = 200.0,
                                  .baseline = 0.0,
                                  .invalid = {},
                                  .warnings = {}};
  for (const double mv : ecg.samples) recording.values.push_back(std::lround(mv * 200));
  // True intervals clear of the burst.
  std::size_t cleanIntervals = 0;
  for (std::size_t i = 1; i < ecg.beats.size(); ++i) {
    if (ecg.beats[i] / rate < burstFrom || ecg.beats[i - 1] / rate > burstTo) ++cleanIntervals;
  }

  for (const bool correct : {false, true}) {
    const std::string what = correct ? "corrected" : "as detected";
    const RecordingAnalysis a = analyseRecording(
        recording, {.correct = correct, .hrv = true, .measureOptions = {}, .progress = {}}, {});
    EXPECT_GT(a.excludedBeats, 0u) << what;
    EXPECT_GT(a.excludedIntervals, a.excludedBeats) << what;
    ASSERT_EQ(a.nnMs.size() + a.excludedIntervals + 1, a.nnBeats.size()) << what;
    // Every interval kept is one of the rhythm's, 742 to 858 ms: a false
    // beat or a beat hidden in the burst would make one far shorter or
    // longer, and one spanning the burst would last over 6 s.
    for (const double ms : a.nnMs) {
      EXPECT_GT(ms, 735) << what;
      EXPECT_LT(ms, 865) << what;
    }
    // Only the burst and the beats at its edges are lost.
    EXPECT_GE(a.nnMs.size() + 4, cleanIntervals) << what;
    EXPECT_TRUE(a.measures.has_value()) << what;
  }
}

}  // namespace
}  // namespace rrscope::pipeline
