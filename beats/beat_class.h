#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace rrscope::beats {

// The class of a beat, from the five of ANSI/AAMI EC57: the NN series of
// heart rate variability keeps only the intervals between two `N` beats.
// The values never change: saved beat files keep them.
enum class BeatClass : std::uint8_t {
  N = 0,  // normal: sinus, bundle branch block, escape beats
  S = 1,  // supraventricular ectopic
  V = 2,  // ventricular ectopic
  F = 3,  // fusion of a normal and a ventricular beat
  Q = 4,  // paced or unclassifiable
};

inline constexpr std::size_t kBeatClassCount = 5;
inline constexpr std::array<BeatClass, kBeatClassCount> kBeatClasses{
    BeatClass::N, BeatClass::S, BeatClass::V, BeatClass::F, BeatClass::Q};

// 'N', 'S', 'V', 'F' or 'Q'.
char beatClassLetter(BeatClass beatClass);

// The class of one of those letters, upper or lower case; none for others.
std::optional<BeatClass> beatClassOfLetter(char letter);

// The class of an MIT beat label as EC57 groups them: N L R e j are N;
// A a J S are S; V E are V; F is F; / f Q are Q. None for a character
// that labels no beat or one EC57 leaves out (such as B, r, n, ?).
std::optional<BeatClass> aamiClassOfLabel(char label);

// One letter per class, in order: the text form of a beat list's classes.
std::string beatClassLetters(std::span<const BeatClass> classes);

// How many beats of each class, indexed by the class's value.
using ClassCounts = std::array<std::size_t, kBeatClassCount>;

ClassCounts countClasses(std::span<const BeatClass> classes);

// The ectopic burden of a series of classified beats: the share of
// ventricular and supraventricular beats among all beats, and their runs:
// a couplet is exactly two in a row, a run three or more.
struct EctopicBurden {
  double ventricularPct = 0;
  double supraventricularPct = 0;
  std::size_t ventricularCouplets = 0;
  std::size_t ventricularRuns = 0;
  std::size_t supraventricularCouplets = 0;
  std::size_t supraventricularRuns = 0;
};

EctopicBurden ectopicBurden(std::span<const BeatClass> classes);

}  // namespace rrscope::beats
