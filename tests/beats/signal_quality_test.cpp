#include "beats/signal_quality.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

namespace rrscope::beats {
namespace {

constexpr double kRate = 250.0;
constexpr double kInterval = 200.0;  // samples: 0.8 s

// Beats and the QRS band they stand in: a unit pulse at each beat, so that
// every beat is a complex of the typical size and nothing lies between.
struct Lead {
  std::vector<ShapedBeat> beats;
  std::vector<double> bandPassed;
};

Lead regularRhythm(int count) {
  Lead lead;
  for (int i = 0; i < count; ++i) {
    lead.beats.push_back({100.0 + kInterval * i, 0, 0, 0.97});
  }
  return lead;
}

// Sets each beat's shape size from the beats given and draws the pulses.
void finish(Lead& lead) {
  std::vector<std::size_t> counts(8, 0);
  for (const ShapedBeat& b : lead.beats) ++counts[b.shape];
  for (ShapedBeat& b : lead.beats) b.shapeSize = counts[b.shape];
  lead.bandPassed.assign(static_cast<std::size_t>(lead.beats.back().position) + 200, 0.0);
  for (const ShapedBeat& b : lead.beats) {
    lead.bandPassed[static_cast<std::size_t>(b.position)] = 1.0;
  }
}

void insertBeat(Lead& lead, double position, std::size_t shape) {
  const auto at = std::ranges::lower_bound(lead.beats, position, {}, &ShapedBeat::position);
  lead.beats.insert(at, {position, shape, 0, 0.95});
}

bool covered(const std::vector<SampleStretch>& stretches, double position) {
  return std::ranges::any_of(
      stretches, [&](const SampleStretch& s) { return position > s.begin && position < s.end; });
}

// Ectopic beats that keep to the rhythm: each premature beat is followed
// by a compensatory pause. A recurring ectopic shape is one of the
// recording's shapes, and its beats are readable.
TEST(SignalQuality, LeavesEctopicBeatsWithTheirPausesReadable) {
  Lead lead = regularRhythm(200);
  for (int i = 20; i < 200; i += 20) {
    lead.beats[i].position -= 0.4 * kInterval;
    lead.beats[i].shape = 1;
  }
  finish(lead);
  EXPECT_TRUE(unreadableStretches(lead.bandPassed, lead.beats, kRate).empty());
}

// Noise taken for beats crowds into intervals that the main rhythm keeps,
// in a shape of its own, together with true beats the noise distorted into
// that shape. The stretch is marked; the clean rhythm around it is not.
TEST(SignalQuality, MarksFalseBeatsThatCrowdTheRhythm) {
  Lead lead = regularRhythm(200);
  std::vector<double> falseBeats;
  for (int i = 100; i < 110; ++i) {
    lead.beats[i].shape = 1;  // distorted by the noise
    falseBeats.push_back(lead.beats[i].position + 0.45 * kInterval);
  }
  for (const double at : falseBeats) insertBeat(lead, at, 1);
  finish(lead);
  const std::vector<SampleStretch> stretches =
      unreadableStretches(lead.bandPassed, lead.beats, kRate);
  const double from = 100.0 + kInterval * 100, to = 100.0 + kInterval * 110;
  for (double at = from + 10; at < to; at += kInterval / 2) {
    EXPECT_TRUE(covered(stretches, at)) << "noisy at " << at;
  }
  for (const SampleStretch& s : stretches) {
    EXPECT_GE(s.begin, from - 2 * kInterval);
    EXPECT_LE(s.end, to + 2 * kInterval);
  }
}

// A deflection between two beats as large as a complex is noise that could
// hide a beat: the interval it lies in is marked when it has room for a
// beat, as where one was missed; in an interval of the usual length it
// hides nothing and is left alone.
TEST(SignalQuality, MarksALargeDeflectionOnlyWhereItCouldHideABeat) {
  Lead lead = regularRhythm(50);
  lead.beats.erase(lead.beats.begin() + 26);  // a missed beat: 25 to 26 spans two intervals
  finish(lead);
  const double inGap = lead.beats[25].position + kInterval;
  const double inUsual = lead.beats[40].position + kInterval / 2;
  lead.bandPassed[static_cast<std::size_t>(inGap)] = 0.8;
  lead.bandPassed[static_cast<std::size_t>(inUsual)] = 0.8;
  const std::vector<SampleStretch> stretches =
      unreadableStretches(lead.bandPassed, lead.beats, kRate);
  ASSERT_EQ(stretches.size(), 1u);
  EXPECT_DOUBLE_EQ(stretches[0].begin, lead.beats[25].position);
  EXPECT_DOUBLE_EQ(stretches[0].end, lead.beats[26].position);
}

// A beat of the main shape halfway through an interval of a regular rhythm
// is noise in the form of a complex: no beat of the rhythm leaves its
// neighbours so close. In atrial fibrillation, whose intervals stray widely,
// two short ones in a row are the rhythm's own and stay readable.
TEST(SignalQuality, MarksAComplexLikeArtefactInARegularRhythmOnly) {
  Lead regular = regularRhythm(100);
  const double artefact = regular.beats[50].position + 0.45 * kInterval;
  insertBeat(regular, artefact, 0);
  finish(regular);
  EXPECT_TRUE(covered(unreadableStretches(regular.bandPassed, regular.beats, kRate), artefact));

  Lead fibrillation;
  const std::array<double, 8> irregular{0.55, 0.6, 1.25, 1.1, 0.9, 1.3, 0.7, 1.0};
  double at = 100;
  for (std::size_t i = 0; i < 200; ++i) {
    fibrillation.beats.push_back({at, 0, 0, 0.97});
    at += kInterval * irregular[i % irregular.size()];
  }
  finish(fibrillation);
  EXPECT_TRUE(unreadableStretches(fibrillation.bandPassed, fibrillation.beats, kRate).empty());
}

}  // namespace
}  // namespace rrscope::beats
