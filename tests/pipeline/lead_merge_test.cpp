#include "pipeline/lead_merge.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace rrscope::pipeline {
namespace {

constexpr double kRate = 360;         // the MIT-BIH rate
constexpr double kBeatSamples = 288;  // 800 ms between beats
// 60 ms: the farthest apart two leads place one fiducial point.
constexpr double kLeadOffset = 22;
constexpr std::size_t kBeatCount = 60;  // enough for the offset's median to rest on many beats

std::vector<double> rhythm(double shift) {
  std::vector<double> beats;
  for (std::size_t i = 1; i <= kBeatCount; ++i) beats.push_back(i * kBeatSamples + shift);
  return beats;
}

// The beats of `lead` that lie inside `stretch`, removed, as the noise of a
// burst hides them.
void hide(beats::DetectedBeats& lead, beats::SampleStretch stretch) {
  std::erase_if(lead.beats, [&](double b) { return b > stretch.begin && b < stretch.end; });
}

void addFalseBeat(beats::DetectedBeats& lead, double position) {
  lead.beats.insert(std::ranges::upper_bound(lead.beats, position), position);
}

// A burst in the primary, marked unreadable there, hides two true beats and
// adds two false ones; the other lead, readable there, supplies the true
// beats, moved onto the primary's fiducial point.
TEST(LeadMerge, ANoiseBurstInOneLeadKeepsTheBeatsTheOtherLeadSees) {
  const beats::SampleStretch burst{10.5 * kBeatSamples, 12.5 * kBeatSamples};
  beats::DetectedBeats primary{rhythm(0), {burst}};
  hide(primary, burst);
  addFalseBeat(primary, 11.3 * kBeatSamples);
  addFalseBeat(primary, 11.7 * kBeatSamples);
  const beats::DetectedBeats other{rhythm(kLeadOffset), {}};

  for (const bool primaryFirst : {true, false}) {
    SCOPED_TRACE(primaryFirst ? "burst in the primary" : "burst in the other lead");
    const std::vector<beats::DetectedBeats> leads =
        primaryFirst ? std::vector{primary, other} : std::vector{other, primary};
    const beats::DetectedBeats merged = mergeLeads(leads, kRate);
    const std::vector<double> expected = rhythm(primaryFirst ? 0 : kLeadOffset);
    ASSERT_EQ(merged.beats.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
      EXPECT_NEAR(merged.beats[i], expected[i], 1e-9);
    EXPECT_TRUE(merged.unreadable.empty());
  }
}

// Where both leads are readable, a beat only one of them sees is a false
// beat of the other lead and is dropped; with three leads the majority of
// the readable leads decides, also against the primary.
TEST(LeadMerge, ABeatOnlyAMinorityOfReadableLeadsSeesIsDropped) {
  const double falseBeat = 20.5 * kBeatSamples;
  beats::DetectedBeats other{rhythm(kLeadOffset), {}};
  addFalseBeat(other, falseBeat);
  const std::vector<beats::DetectedBeats> two{{rhythm(0), {}}, other};
  EXPECT_EQ(mergeLeads(two, kRate).beats, rhythm(0));

  beats::DetectedBeats primary{rhythm(0), {}};
  addFalseBeat(primary, falseBeat);
  const double missed = 30 * kBeatSamples;
  std::erase(primary.beats, missed);
  const std::vector<beats::DetectedBeats> three{
      primary, {rhythm(kLeadOffset), {}}, {rhythm(-kLeadOffset), {}}};
  EXPECT_EQ(mergeLeads(three, kRate).beats, rhythm(0));
}

// The merged unreadable stretches are where no lead can be read; there the
// primary's beats stand as detected, since no lead can outvote them.
TEST(LeadMerge, WhereNoLeadIsReadableThePrimaryStandsAndStaysUnreadable) {
  const beats::SampleStretch primaryNoise{5 * kBeatSamples + 50, 15 * kBeatSamples + 50};
  const beats::SampleStretch otherNoise{10 * kBeatSamples + 50, 20 * kBeatSamples + 50};
  beats::DetectedBeats primary{rhythm(0), {primaryNoise}};
  const double falseBeat = 12.5 * kBeatSamples;
  addFalseBeat(primary, falseBeat);
  beats::DetectedBeats other{rhythm(kLeadOffset), {otherNoise}};
  hide(other, otherNoise);

  const beats::DetectedBeats merged = mergeLeads(std::vector{primary, other}, kRate);
  EXPECT_EQ(merged.beats, primary.beats);
  ASSERT_EQ(merged.unreadable.size(), 1u);
  EXPECT_EQ(merged.unreadable.front().begin, otherNoise.begin);
  EXPECT_EQ(merged.unreadable.front().end, primaryNoise.end);
}

// A wide complex can lead two leads to place their fiducial points further
// apart than kSameBeatMs; at the edge of the primary's unreadable stretch
// that would count it twice. One beat stands, the one a readable lead saw.
TEST(LeadMerge, TwoBeatsWithinTheRefractoryPeriodAreOne) {
  // 180 ms: past kSameBeatMs even once aligned, within the refractory period.
  constexpr double kApart = 0.18 * kRate;
  const double wide = 20 * kBeatSamples;
  beats::DetectedBeats primary{rhythm(0), {{wide - 1, 25 * kBeatSamples}}};
  beats::DetectedBeats other{rhythm(kLeadOffset), {{15 * kBeatSamples, wide + kApart - 1}}};
  std::ranges::replace(other.beats, wide + kLeadOffset, wide + kApart);

  const std::vector<double> merged = mergeLeads(std::vector{primary, other}, kRate).beats;
  std::vector<double> expected = rhythm(0);
  std::ranges::replace(expected, wide, wide + kApart - kLeadOffset);
  EXPECT_EQ(merged, expected);
}

// Leads that never agree, one lead alone and no lead: nothing to align on,
// and nothing may break.
TEST(LeadMerge, LeadsWithoutSharedBeatsAndSingleLeadsAreSound) {
  const beats::DetectedBeats primary{rhythm(0), {}};
  const beats::DetectedBeats apart{rhythm(kBeatSamples / 2), {}};  // always 400 ms away
  EXPECT_EQ(mergeLeads(std::vector{primary, apart}, kRate).beats, primary.beats);
  EXPECT_EQ(mergeLeads(std::vector{primary}, kRate).beats, primary.beats);
  EXPECT_TRUE(mergeLeads({}, kRate).beats.empty());
  const beats::DetectedBeats silent{{}, {}};
  EXPECT_EQ(mergeLeads(std::vector{primary, silent}, kRate).beats, primary.beats);
}

}  // namespace
}  // namespace rrscope::pipeline
