#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <vector>

#include "pipeline/recording_analysis.h"
#include "tests/beats/synthetic_ecg.h"

namespace rrscope::pipeline {
namespace {

constexpr double kRate = 360;                          // the MIT-BIH rate
constexpr double kSeconds = 120;                       // long enough for thresholds to settle
constexpr double kBurstFrom = 50, kBurstTo = 56;       // seconds of noise in one lead
constexpr double kGain = 200;                          // converter steps per mV, as MIT-BIH
constexpr double kWindowMs = 150;                      // the scoring's usual match window
constexpr double kShortestMs = 735, kLongestMs = 865;  // the rhythm's 800 ms swinging by 60 ms

struct TwoLeads {
  std::vector<recordings::Recording> leads;
  std::vector<double> truth;  // the beats' positions in samples
};

recordings::Recording leadOf(std::span<const double> mv, const char* label) {
  recordings::Recording lead{.file = "two-leads",
                             .channel = label,
                             .units = "mV",
                             .rate = {static_cast<std::int64_t>(kRate), 1},
                             .values = {},
                             .gain = kGain,
                             .baseline = 0.0,
                             .invalid = {},
                             .warnings = {}};
  for (const double value : mv)
    lead.values.push_back(static_cast<std::int32_t>(std::lround(value * kGain)));
  return lead;
}

// One rhythm seen by two leads of different complexes; a burst of
// beat-like noise reaches the first lead only.
TwoLeads twoLeads() {
  const auto first = beats::test::breathingRhythm(kSeconds - 0.5, beats::test::normalBeat(0.4));
  const auto second = beats::test::breathingRhythm(kSeconds - 0.5, beats::test::beatOfWidth(0.09));
  beats::test::Recording noisy = beats::test::synthesise(first, kSeconds, kRate, {.noise = 0.02});
  beats::test::addNoiseBurst(noisy.samples, kBurstFrom, kBurstTo, kRate, 8);
  const beats::test::Recording clean =
      beats::test::synthesise(second, kSeconds, kRate, {.noise = 0.02, .seed = 2});
  return {{leadOf(noisy.samples, "MLII"), leadOf(clean.samples, "V5")}, noisy.beats};
}

// Alone, the first lead's burst gives false beats and hides true ones; the
// NN series must keep neither them nor the intervals that reach into the
// burst, while the clean intervals around it stay.
TEST(LeadAnalysis, IntervalsTouchingANoiseBurstStayOutOfTheNnSeries) {
  const TwoLeads recording = twoLeads();
  const std::vector<double>& truth = recording.truth;
  std::size_t cleanIntervals = 0;  // true intervals clear of the burst
  for (std::size_t i = 1; i < truth.size(); ++i) {
    if (truth[i] / kRate < kBurstFrom || truth[i - 1] / kRate > kBurstTo) ++cleanIntervals;
  }
  for (const bool correct : {false, true}) {
    SCOPED_TRACE(correct ? "corrected" : "as detected");
    const RecordingAnalysis a = analyseRecording(
        recording.leads.front(),
        {.correct = correct, .hrv = true, .measureOptions = {}, .progress = {}}, {});
    EXPECT_GT(a.excludedBeats, 0u);
    EXPECT_GT(a.excludedIntervals, a.excludedBeats);
    ASSERT_EQ(a.nnMs.size() + a.excludedIntervals + 1, a.nnBeats.size());
    // A false beat or a beat hidden in the burst would make an interval far
    // shorter or longer than the rhythm's, and one spanning it over 6 s.
    for (const double ms : a.nnMs) {
      EXPECT_GT(ms, kShortestMs);
      EXPECT_LT(ms, kLongestMs);
    }
    // Only the burst and the beats at its edges are lost.
    EXPECT_GE(a.nnMs.size() + 4, cleanIntervals);
    EXPECT_TRUE(a.measures.has_value());
  }
}

// The burst costs the first lead alone its beats there; with the second
// lead every beat is found, no false one is kept, and every interval of
// the NN series is one of the rhythm's.
TEST(LeadAnalysis, TheOtherLeadReadsThroughABurstInTheFirst) {
  const TwoLeads recording = twoLeads();
  const RecordingAnalysisOptions options{.correct = false,
                                         .hrv = true,
                                         .measureOptions = {},
                                         .matchWindowMs = kWindowMs,
                                         .progress = {}};
  const RecordingAnalysis alone =
      analyseRecording(recording.leads.front(), options, std::span<const double>(recording.truth));
  ASSERT_FALSE(alone.unreadable.empty());
  ASSERT_GT(alone.scoring->falseNegatives + alone.scoring->falsePositives, 0)
      << "the burst must trouble the first lead";

  const std::vector<OtherLead> other{
      detectOtherLead(recording.leads.back(), recording.leads.front())};
  const RecordingAnalysis merged = analyseRecording(
      recording.leads.front(), options, std::span<const double>(recording.truth), other);
  EXPECT_EQ(merged.leads, (std::vector<std::string>{"MLII", "V5"}));
  EXPECT_EQ(merged.scoring->falseNegatives, 0);
  EXPECT_EQ(merged.scoring->falsePositives, 0);
  EXPECT_TRUE(merged.unreadable.empty());
  EXPECT_EQ(merged.nnMs.size() + 1, recording.truth.size());
  for (const double ms : merged.nnMs) {
    EXPECT_GT(ms, kShortestMs);
    EXPECT_LT(ms, kLongestMs);
  }
}

// Leads at different rates cannot share sample positions; a lead that ends
// early cannot speak for what follows, where the first lead's beats stand.
TEST(LeadAnalysis, LeadsOfAnotherRateAreRefusedAndAShortLeadEndsItsSay) {
  TwoLeads recording = twoLeads();
  recordings::Recording faster = recording.leads.back();
  faster.rate = {2 * static_cast<std::int64_t>(kRate), 1};
  EXPECT_THROW(detectOtherLead(faster, recording.leads.front()), std::invalid_argument);

  // Cut the clean lead before the burst: the first lead alone remains.
  recording.leads.back().values.resize(static_cast<std::size_t>(kBurstFrom / 2 * kRate));
  const RecordingAnalysis alone = analyseRecording(recording.leads.front(), {}, std::nullopt);
  const std::vector<OtherLead> shorter{
      detectOtherLead(recording.leads.back(), recording.leads.front())};
  const RecordingAnalysis merged =
      analyseRecording(recording.leads.front(), {}, std::nullopt, shorter);
  EXPECT_EQ(merged.detected, alone.detected);
  ASSERT_EQ(merged.unreadable.size(), alone.unreadable.size());
  for (std::size_t i = 0; i < alone.unreadable.size(); ++i) {
    EXPECT_EQ(merged.unreadable[i].begin, alone.unreadable[i].begin);
    EXPECT_EQ(merged.unreadable[i].end, alone.unreadable[i].end);
  }
}

}  // namespace
}  // namespace rrscope::pipeline
