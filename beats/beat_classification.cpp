#include "beats/beat_classification.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "beats/beat_families.h"
#include "beats/beat_timing.h"
#include "beats/beat_waveforms.h"
#include "statistics/order_statistics.h"

// A beat is judged by its family (the recording's beats of one QRS shape)
// and by its own timing:
//
// - the normal family is the largest whose beats come on time as a rule,
//   not the largest outright: in bigeminy the ectopic family is as large;
// - a family most of whose beats come early is ectopic: ventricular when
//   unlike the normal complex or wider, supraventricular otherwise (a
//   supraventricular beat takes the normal path through the ventricles);
// - a family on time is of normal conduction however it looks (noise,
//   breathing and electrode contact change a complex, not its timing),
//   unless it is much wider, unlike and at least as tall: an escape beat;
// - a beat of normal conduction that comes early in a steady rhythm is
//   supraventricular, unless it is itself plainly unlike the normal complex;
// - a family whose complexes start with a pacing spike is paced.
//
// The shape measures follow Hamilton's beat classifier (template matching
// and width against the dominant beat) and the timing those of de Chazal et
// al. (the interval before against the local rhythm); the families are
// learnt from each recording alone, as patient-adaptive classifiers do.

namespace rrscope::beats {
namespace {

// A family most of whose beats come early is ectopic: a normal complex comes
// on time as a rule, and its early beats are the few premature ones.
constexpr double kEctopicFamily = 0.5;
// An ectopic family matching the normal complex less than this, or wider by
// kWiderRatio and kWiderByMs, is ventricular: a supraventricular complex
// matches a normal one at 0.9 and more over its QRS and T wave, a
// ventricular one at 0.7 or less, with its wide QRS and discordant T wave.
constexpr double kNormalShape = 0.8;
constexpr double kWiderRatio = 1.25;
constexpr double kWiderByMs = 10;
// A premature beat that joined a family of normal complexes yet matches the
// normal complex less than this, or is wider by kMuchWider, is ventricular:
// families follow slow changes, and a beat can join one by its likeness to
// the family's latest members.
constexpr double kUnlikeNormal = 0.7;
constexpr double kMuchWider = 1.5;
// A family on time is ventricular (escape beats, idioventricular rhythm)
// only when this unlike the normal complex, wider by kMuchWider and at
// least kEscapeSize as tall: noise and a lead's changing contact make
// complexes unlike the normal one too, but seldom both wide and as tall.
constexpr double kUnlikeOnTime = 0.5;
constexpr double kEscapeSize = 0.8;
// A family whose complexes owe this share of their largest departures to a
// spike (the median over its beats) is paced: a complex alone owes 0.04 to
// 0.11 to its sharpest peak, a paced one 0.15 and more. One beat alone must
// show more, its noise not being averaged out.
constexpr double kPacedFamily = 0.14;
constexpr double kPacedBeat = 0.3;
// A beat on time, of normal conduction, in a recording with frequent
// ventricular beats, is a fusion of a normal and a ventricular complex when it matches
// the normal complex below kFusionLikeness (normal complexes match at 0.95
// and more) and is wider by kFusionWider or taller by kFusionTaller: the
// ventricular front widens it and adds to it. Its interval is neither a
// normal one nor an ectopic one, and stays out of the NN series.
constexpr double kFusionLikeness = 0.93;
// A fusion needs a ventricular focus that fires often enough to meet a
// sinus beat: ventricular families holding this share of the beats.
constexpr double kFusionFocus = 0.01;
constexpr double kFusionWider = 1.15;
constexpr double kFusionTaller = 1.2;
// Families this small say little as families: their beats are judged one by
// one.
constexpr std::size_t kFewMembers = 3;

struct FamilyFacts {
  std::size_t members = 0;
  double widthMs = 0;     // median over its beats
  double spikeShare = 0;  // median
  double amplitude = 0;   // median
  double earlyShare = 0;  // of its beats that come early
};

std::vector<FamilyFacts> familyFacts(const BeatFamilies& families,
                                     std::span<const ComplexMeasures> measures,
                                     const std::vector<bool>& early) {
  const std::size_t count = families.families.size();
  std::vector<std::vector<double>> widths(count), spikes(count), amplitudes(count);
  std::vector<std::size_t> earlyCount(count, 0);
  for (std::size_t b = 0; b < measures.size(); ++b) {
    const std::size_t f = families.familyOf[b];
    widths[f].push_back(measures[b].widthMs);
    spikes[f].push_back(measures[b].spikeShare);
    amplitudes[f].push_back(measures[b].amplitude);
    if (early[b]) ++earlyCount[f];
  }
  std::vector<FamilyFacts> facts(count);
  for (std::size_t f = 0; f < count; ++f) {
    facts[f].members = families.families[f].members;
    facts[f].widthMs = statistics::upperMedian(std::move(widths[f]));
    facts[f].spikeShare = statistics::upperMedian(std::move(spikes[f]));
    facts[f].amplitude = statistics::upperMedian(std::move(amplitudes[f]));
    facts[f].earlyShare = static_cast<double>(earlyCount[f]) /
                          static_cast<double>(std::max<std::size_t>(1, facts[f].members));
  }
  return facts;
}

// The family of the normal beats: the largest that is neither ectopic nor
// paced; else the largest on time; else the largest.
std::size_t normalFamily(std::span<const FamilyFacts> facts) {
  std::optional<std::size_t> conducted, onTime;
  std::size_t largest = 0;
  const auto larger = [&](std::optional<std::size_t> than, std::size_t f) {
    return !than || facts[f].members > facts[*than].members;
  };
  for (std::size_t f = 0; f < facts.size(); ++f) {
    if (facts[f].members > facts[largest].members) largest = f;
    if (facts[f].earlyShare >= kEctopicFamily) continue;
    if (larger(onTime, f)) onTime = f;
    if (facts[f].spikeShare < kPacedFamily && larger(conducted, f)) conducted = f;
  }
  return conducted.value_or(onTime.value_or(largest));
}

bool widerThan(double widthMs, double normalWidthMs, double ratio) {
  return widthMs >= normalWidthMs * ratio && widthMs >= normalWidthMs + kWiderByMs;
}

// Where a family's beats start, by their shape and how many come early.
// A fusion is a beat's alone: a complex of normal conduction that the
// ventricles' own front joined.
enum class Origin { normal, supraventricular, ventricular, paced, fusion };

struct Likeness {
  double correlation = 1;  // with the normal complex
  double size = 1;         // amplitude against the normal complex's
};

Origin familyOrigin(const FamilyFacts& facts, const FamilyFacts& normal, const Likeness& like) {
  if (facts.spikeShare >= kPacedFamily) return Origin::paced;
  if (facts.earlyShare < kEctopicFamily) {
    const bool escape = like.correlation < kUnlikeOnTime && like.size >= kEscapeSize &&
                        widerThan(facts.widthMs, normal.widthMs, kMuchWider);
    return escape ? Origin::ventricular : Origin::normal;
  }
  const bool ventricular =
      like.correlation < kNormalShape || widerThan(facts.widthMs, normal.widthMs, kWiderRatio);
  return ventricular ? Origin::ventricular : Origin::supraventricular;
}

// A beat of a shape seen once or twice, judged alone: ventricular when it
// comes early and is unlike the normal complex, else of normal conduction.
Origin loneBeatOrigin(const ComplexMeasures& m, bool early, double correlation,
                      const FamilyFacts& normal) {
  if (m.spikeShare >= kPacedBeat) return Origin::paced;
  const bool unlike =
      correlation < kNormalShape || widerThan(m.widthMs, normal.widthMs, kWiderRatio);
  return early && unlike ? Origin::ventricular : Origin::normal;
}

bool looksFused(const Resemblance& r, const ComplexMeasures& m, const FamilyFacts& normal) {
  return r.correlation < kFusionLikeness &&
         (m.widthMs >= kFusionWider * normal.widthMs || r.size >= kFusionTaller);
}

BeatClass classOf(Origin origin, bool premature) {
  switch (origin) {
    case Origin::paced:
      return BeatClass::Q;
    case Origin::ventricular:
      return BeatClass::V;
    case Origin::fusion:
      return BeatClass::F;
    case Origin::supraventricular:
    case Origin::normal:
      break;
  }
  return premature ? BeatClass::S : BeatClass::N;
}

}  // namespace

std::vector<BeatClass> classifyBeats(const SampleSource& samples, double rate,
                                     std::span<const double> beats) {
  std::vector<BeatClass> classes(beats.size(), BeatClass::N);
  if (beats.size() < 3 || !(rate > 0)) return classes;
  const BeatWaveforms waves = beatWaveforms(samples, rate, beats);
  const BeatFamilies families = formFamilies(waves.waveforms);
  BeatTiming timing = beatTiming(beats);
  // Families are judged on every early beat, steady rhythm or not: a
  // ventricular beat in fibrillation comes early all the same.
  const std::vector<FamilyFacts> facts = familyFacts(families, waves.measures, timing.early);
  const std::size_t normal = normalFamily(facts);
  const Waveform& normalMean = families.families[normal].mean;

  std::vector<Origin> origins(facts.size(), Origin::normal);
  for (std::size_t f = 0; f < facts.size(); ++f) {
    if (facts[f].members < kFewMembers || f == normal) continue;
    const Likeness like{resemblance(normalMean, families.families[f].mean).correlation,
                        facts[f].amplitude / std::max(facts[normal].amplitude, 1e-12)};
    origins[f] = familyOrigin(facts[f], facts[normal], like);
  }
  origins[normal] = familyOrigin(facts[normal], facts[normal], {});
  // The timing again, judged on the beats of normal conduction alone.
  std::vector<bool> conducted(beats.size());
  for (std::size_t b = 0; b < beats.size(); ++b) {
    conducted[b] = origins[families.familyOf[b]] == Origin::normal;
  }
  timing = beatTiming(beats, &conducted);
  std::size_t ventricularBeats = 0;
  for (std::size_t f = 0; f < facts.size(); ++f) {
    if (facts[f].members >= kFewMembers && origins[f] == Origin::ventricular) {
      ventricularBeats += facts[f].members;
    }
  }
  const bool ventricularFamily =
      static_cast<double>(ventricularBeats) >= kFusionFocus * static_cast<double>(beats.size());
  // A beat is compared with the normal complex of its time: the mean of the
  // normal family's last beats on time before it. The family's final mean
  // is that of the recording's end, and a complex changes over hours.
  BeatFamily localNormal{normalMean, 0};
  for (std::size_t b = 0; b < beats.size(); ++b) {
    const std::size_t f = families.familyOf[b];
    const ComplexMeasures& m = waves.measures[b];
    Origin origin = origins[f];
    const bool lone = facts[f].members < kFewMembers;
    const bool premature = timing.premature[b];
    const bool mayBeFused = ventricularFamily && !timing.early[b];
    if (lone || (origin == Origin::normal && (premature || mayBeFused))) {
      const Resemblance r = resemblance(localNormal.mean, waves.waveforms[b]);
      if (lone) origin = loneBeatOrigin(m, timing.early[b], r.correlation, facts[normal]);
      if (origin == Origin::normal && premature &&
          (r.correlation < kUnlikeNormal ||
           widerThan(m.widthMs, facts[normal].widthMs, kMuchWider))) {
        origin = Origin::ventricular;
      } else if (origin == Origin::normal && mayBeFused && looksFused(r, m, facts[normal])) {
        origin = Origin::fusion;
      }
    }
    classes[b] = classOf(origin, premature);
    if (f == normal && !timing.early[b]) {
      if (localNormal.members == 0) localNormal.mean = waves.waveforms[b];
      followMember(localNormal, waves.waveforms[b], 0);
    }
  }
  return classes;
}

}  // namespace rrscope::beats
