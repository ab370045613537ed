// The beat classes on synthetic leads whose every beat's class is known.
#include "beats/beat_classification.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "beats/beat_class.h"
#include "beats/beat_families.h"
#include "synthetic_ecg.h"

namespace rrscope::beats {
namespace {

using test::BeatShape;

// A beat of the lead to be: when it comes, what it looks like, and the
// class it must get.
struct PlannedBeat {
  double time;
  BeatShape shape;
  char expected;
};

// Builds a lead from the plan and returns the classes found, one letter a
// beat, and the letters expected.
std::pair<std::string, std::string> classify(const std::vector<PlannedBeat>& plan, double rate,
                                             double noise = 0.01) {
  std::vector<std::pair<double, BeatShape>> placed;
  std::string expected;
  for (const PlannedBeat& beat : plan) {
    placed.emplace_back(beat.time, beat.shape);
    expected.push_back(beat.expected);
  }
  const double seconds = plan.back().time + 1.0;
  const test::Recording lead = test::synthesise(placed, seconds, rate, {.noise = noise});
  const SpanSamples samples(lead.samples);
  return {beatClassLetters(classifyBeats(samples, rate, lead.beats)), expected};
}

// A sinus rhythm of `count` beats at about `intervalSeconds`, varying by a
// few percent from beat to beat as a resting heart does, into which
// `insert` puts ectopic beats by returning the time of the next beat.
class Rhythm {
 public:
  explicit Rhythm(double intervalSeconds) : interval_(intervalSeconds) {}

  void normal(std::vector<PlannedBeat>& plan, int count) {
    for (int i = 0; i < count; ++i) {
      t_ += interval_ * (1.0 + jitter_(random_));
      plan.push_back({t_, test::normalBeat(0.3), 'N'});
    }
  }
  // An atrial premature beat `prematurity` of the interval early; the sinus
  // node is reset, so the next interval is about a normal one.
  void supraventricular(std::vector<PlannedBeat>& plan, double prematurity = 0.65) {
    t_ += interval_ * prematurity;
    plan.push_back({t_, test::normalBeat(0.3), 'S'});
  }
  // Ventricular premature beats, with the full compensatory pause after the
  // last.
  void ventricular(std::vector<PlannedBeat>& plan, int count = 1) {
    const double start = t_;
    for (int i = 0; i < count; ++i) {
      t_ += interval_ * 0.6;
      plan.push_back({t_, test::wideBeat(), 'V'});
    }
    t_ = start + interval_ * (0.6 * count + 1.4 - 0.6);
  }
  void pause(double seconds) { t_ += seconds - interval_; }

 private:
  double interval_;
  double t_ = 0.5;
  std::mt19937 random_{7};
  std::uniform_real_distribution<double> jitter_{-0.02, 0.02};
};

TEST(BeatClassification, ATellsPrematureNarrowBeatsFromWideOnesAtEveryRate) {
  for (const double rate : {128.0, 250.0, 360.0, 1000.0}) {
    std::vector<PlannedBeat> plan;
    Rhythm rhythm(0.8);
    for (int i = 0; i < 6; ++i) {
      rhythm.normal(plan, 12);
      rhythm.supraventricular(plan);
      rhythm.normal(plan, 9);
      rhythm.ventricular(plan);
    }
    rhythm.normal(plan, 10);
    const auto [found, expected] = classify(plan, rate);
    EXPECT_EQ(found, expected) << "at " << rate << " Hz";
  }
}

TEST(BeatClassification, PacedBeatsAreQAndTheNormalBeatsAmongThemN) {
  // A pacing spike as a Holter recorder passes it: a couple of ms wide.
  BeatShape paced = test::pacedBeat();
  paced.waves.front() = {-0.04, 3.0, 0.001};
  for (const double rate : {360.0, 500.0}) {
    std::vector<PlannedBeat> plan;
    for (int i = 0; i < 60; ++i) {
      const bool ownBeat = i % 10 == 5;
      plan.push_back(
          {0.5 + 0.85 * i, ownBeat ? test::normalBeat(0.3) : paced, ownBeat ? 'N' : 'Q'});
    }
    const auto [found, expected] = classify(plan, rate);
    EXPECT_EQ(found, expected) << "at " << rate << " Hz";
  }
}

// Rhythms whose every beat must get its class, at 360 samples a second
// unless the case says otherwise.
TEST(BeatClassification, EachRhythmGivesEveryBeatItsClass) {
  using Plan = std::vector<PlannedBeat>;
  struct Case {
    const char* name;
    std::function<void(Plan&)> build;
    double rate = 360, noise = 0.01;
  };
  const Case cases[] = {
      {"bigeminy keeps the narrow beats normal though they are no more",
       [](Plan& plan) {
         Rhythm rhythm(0.8);
         rhythm.normal(plan, 3);
         for (int i = 0; i < 40; ++i) {
           rhythm.ventricular(plan);
           rhythm.normal(plan, 1);
         }
       }},
      {"runs of ventricular beats are all ventricular",
       [](Plan& plan) {
         Rhythm rhythm(0.75);
         for (const int run : {3, 2, 5, 3}) {
           rhythm.normal(plan, 15);
           rhythm.ventricular(plan, run);
         }
         rhythm.normal(plan, 15);
       }},
      // Frequent ventricular beats, and a few that fire just as a sinus beat
      // arrives: a normal complex widened and heightened by a wide front.
      {"a complex on time that the ventricles joined is a fusion",
       [](Plan& plan) {
         BeatShape fused = test::normalBeat(0.3);
         fused.waves.push_back({0.02, 0.9, 0.022});
         Rhythm rhythm(0.8);
         for (int i = 0; i < 12; ++i) {
           rhythm.normal(plan, 6);
           rhythm.ventricular(plan);
           rhythm.normal(plan, 3);
           if (i % 3 == 1) plan.back() = {plan.back().time, fused, 'F'};
         }
         rhythm.normal(plan, 5);
       }},
      {"beats around a sinus pause stay normal",
       [](Plan& plan) {
         Rhythm rhythm(0.9);
         rhythm.normal(plan, 20);
         rhythm.pause(3.2);
         rhythm.normal(plan, 20);
         rhythm.pause(2.5);
         rhythm.normal(plan, 20);
       }},
      // Breathing swings the intervals by 10 % either way over a breath of
      // eight beats: gradual, never premature.
      {"a rhythm that speeds up and slows down has no ectopic beats",
       [](Plan& plan) {
         double t = 0.5;
         for (int i = 0; i < 150; ++i) {
           t += 0.8 * (1.0 + 0.10 * std::sin(2 * M_PI * i / 8.0));
           plan.push_back({t, test::normalBeat(0.3), 'N'});
         }
       },
       250, 0.03},
      // Complete heart block: after the sinus rhythm the ventricles beat on
      // their own, slowly, in wide complexes that point the other way. They
      // come late, not early, and are ventricular all the same; the sinus
      // beats after them are normal again.
      {"a wide escape rhythm is ventricular though never early",
       [](Plan& plan) {
         Rhythm rhythm(0.8);
         rhythm.normal(plan, 40);
         double t = plan.back().time;
         const BeatShape escape{{{0.0, -1.6, 0.022}, {0.06, 0.5, 0.02}, {0.3, 0.7, 0.06}}};
         for (int i = 0; i < 15; ++i) plan.push_back({t += 1.5, escape, 'V'});
         for (int i = 0; i < 30; ++i) plan.push_back({t += 0.8, test::normalBeat(0.3), 'N'});
       }},
  };
  for (const Case& c : cases) {
    Plan plan;
    c.build(plan);
    const auto [found, expected] = classify(plan, c.rate, c.noise);
    EXPECT_EQ(found, expected) << c.name;
  }
}

TEST(BeatClassification, FibrillationsShortIntervalsAreNotPrematureBeats) {
  // Intervals anywhere from 0.4 to 1.2 s, as fibrillation conducts them:
  // a third of the beats come early against the median, none premature.
  std::vector<PlannedBeat> plan;
  std::mt19937 random(3);
  std::uniform_real_distribution<double> interval(0.4, 1.2);
  double t = 0.5;
  for (int i = 0; i < 300; ++i) {
    t += interval(random);
    plan.push_back({t, test::normalBeat(0.3), 'N'});
  }
  const auto [found, expected] = classify(plan, 360);
  // Without the test of steadiness some 90 would be premature.
  EXPECT_LE(std::ranges::count(found, 'S'), 60) << found;
  EXPECT_EQ(std::ranges::count(found, 'V'), 0) << found;
}

TEST(BeatClassification, FewBeatsAreNormal) {
  const std::vector<double> beats{100, 400};
  const std::vector<double> lead(1000, 0.0);
  const SpanSamples samples(lead);
  EXPECT_EQ(beatClassLetters(classifyBeats(samples, 360, beats)), "NN");
  EXPECT_TRUE(classifyBeats(samples, 360, {}).empty());
}

// Past the most families followed at once, a new shape takes the place of
// the family joined longest ago: that shape, seen again, starts a family of
// its own, while a family still followed takes its beat and, now the
// largest, moves first.
TEST(BeatFamilies, ANewShapeTakesThePlaceOfTheFamilyJoinedLongestAgo) {
  std::mt19937 random(5);
  std::normal_distribution<float> noise;
  std::vector<Waveform> shapes(25);  // none like another
  for (Waveform& shape : shapes) {
    for (float& value : shape) value = noise(random);
  }
  std::vector<Waveform> waveforms = shapes;
  waveforms.push_back(shapes[5]);
  waveforms.push_back(shapes[0]);
  const BeatFamilies families = formFamilies(waveforms);
  ASSERT_EQ(families.families.size(), 26u);
  EXPECT_EQ(families.familyOf[24], 24u);
  EXPECT_EQ(families.familyOf[25], 5u);
  EXPECT_EQ(families.families[5].members, 2u);
  EXPECT_EQ(families.familyOf[26], 25u);
}

}  // namespace
}  // namespace rrscope::beats
