#pragma once

#include <span>
#include <vector>

namespace rrscope::beats {

// When each beat of a series comes against the rhythm around it.
struct BeatTiming {
  // The rhythm around each beat: the median of the intervals near it, those
  // of early beats and of the beats right after them left out (NaN for the
  // first beat and where no interval is left), in the beats' unit.
  std::vector<double> rhythm;
  // Beats that come early, all at once (or go on a run of early beats):
  // premature, or out of step in an irregular rhythm.
  std::vector<bool> early;
  // The early beats of a steady rhythm: premature beats. Where the rhythm is
  // too irregular to tell (atrial fibrillation) none is.
  std::vector<bool> premature;
};

// The timing of the beats at `beats` (positions in any one unit,
// increasing). `conducted`, when given, marks the beats known to be of
// normal conduction: the rhythm and its steadiness are then judged on the
// intervals between two of them only, so that ventricular beats and their
// pauses neither shorten the rhythm nor make it look irregular.
BeatTiming beatTiming(std::span<const double> beats, const std::vector<bool>* conducted = nullptr);

// The rhythm around a beat is the median of this many intervals on each
// side: some ten seconds, which follows the heart rate's changes with
// breathing and exercise.
inline constexpr std::size_t kRhythmNeighbours = 8;

// A beat coming sooner than this share of the rhythm around it is early:
// sinus rhythm strays from its median by a few percent, and premature beats
// come 15 % early and more. The experts' own borderline lies near 0.85-0.9.
inline constexpr double kEarlyShare = 0.87;

// ...and sooner than this share of the interval before it, unless the beat
// before was early too: a sinus rhythm speeds up by a few percent a beat, a
// premature beat all at once.
inline constexpr double kSuddenStep = 0.92;

// The rhythm is too irregular to call early beats premature when the
// intervals around (those of early beats and of the beats after them left
// out) differ from one another by this share of the rhythm at every lag up
// to kPatternLags: a steady sinus rhythm strays by 1-4 % and fibrillation
// by 5-15 % even without its shortest intervals; a bigeminal or trigeminal
// rhythm repeats itself at lag 2 or 3.
inline constexpr double kIrregular = 0.08;
inline constexpr std::size_t kPatternLags = 3;

}  // namespace rrscope::beats
