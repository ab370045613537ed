#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "beats/beat_waveforms.h"

namespace rrscope::beats {

// The families of QRS shapes of a recording: beats whose complexes match
// closely, each family with the running mean of its members.
struct BeatFamily {
  Waveform mean{};
  std::size_t members = 0;
};

struct BeatFamilies {
  std::vector<BeatFamily> families;
  std::vector<std::size_t> familyOf;  // for each beat, the index of its family
};

// Sorts the waveforms, in order, into families: a beat joins the first
// family (the largest first) it matches at kFamilyCorrelation or more, at a
// size within a factor of two, and otherwise starts a family of its own.
BeatFamilies formFamilies(std::span<const Waveform> waveforms);

// Adds a beat to a family, aligned by `shift` (as resemblance() gives it):
// the family's mean follows its last ~20 members, so that a complex that
// changes slowly over hours (posture, electrode contact) stays in one family.
void followMember(BeatFamily& family, const Waveform& w, int shift);

// How closely a beat must match a family to join it: complexes of one
// origin match at 0.95 and more apart from noise; a ventricular complex
// matches a normal one at 0.6 or less.
inline constexpr double kFamilyCorrelation = 0.90;

}  // namespace rrscope::beats
