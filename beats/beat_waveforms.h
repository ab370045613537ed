#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <limits>
#include <span>
#include <vector>

#include "beats/sample_source.h"

namespace rrscope::beats {

// The QRS complexes of a lead, each resampled around its beat onto one
// grid, whatever the recording's rate, so that shapes recorded at 128 Hz
// and at 1000 Hz are compared alike.
//
// The grid runs at 180 points a second: a QRS complex carries little above
// 40 Hz, and a point every 5.6 ms still shows a narrow complex (60-100 ms)
// with ten points or more.
inline constexpr double kWaveformRate = 180.0;
// The part of a beat that its shape is judged on: from 100 ms before the
// fiducial point (the Q wave of a wide complex, not the P wave) to 150 ms
// after it (the end of a wide complex and the start of its ST segment).
inline constexpr std::size_t kShapeBefore = 18;  // points: 100 ms
inline constexpr std::size_t kShapeAfter = 45;   // points: 250 ms
inline constexpr std::size_t kShapeLength = kShapeBefore + kShapeAfter + 1;
// How far apart two complexes may be fiducially placed and still be
// aligned: the detector puts the point of a differently shaped beat on its
// own main wave, which can lie some 30 ms from where a normal beat's lies.
inline constexpr std::size_t kMaxShift = 6;  // points: 33 ms
inline constexpr std::size_t kWaveformLength = kShapeLength + 2 * kMaxShift;

using Waveform = std::array<float, kWaveformLength>;

// A value as a waveform holds it: single precision is plenty for a shape,
// and halves the memory of a day's 100,000 waveforms. A value beyond
// single precision's range (a corrupt file's) is held at its end, since
// converting it would be undefined.
inline float waveformValue(double value) {
  constexpr double kLargest = std::numeric_limits<float>::max();
  return static_cast<float>(std::clamp(value, -kLargest, kLargest));
}

// What a beat's complex looks like, apart from its resemblance to others.
struct ComplexMeasures {
  double widthMs = 0;    // the time holding the middle 80 % of the complex's slope energy
  double amplitude = 0;  // largest minus smallest value of the shape part
  // The share of the complex's largest step between two samples of the
  // lead that a pacing spike before it takes: near 1 for a paced beat.
  double spikeShare = 0;
};

struct BeatWaveforms {
  std::vector<Waveform> waveforms;
  std::vector<ComplexMeasures> measures;
};

// The waveform of each beat of `beats` (full-rate positions of `samples`,
// increasing) and its measures. A beat too near either end of the lead is
// padded with the nearest sample.
BeatWaveforms beatWaveforms(const SampleSource& samples, double rate,
                            std::span<const double> beats);

// Pearson's correlation of two waveforms' shape parts, the second shifted by
// up to kMaxShift points either way: the best over the shifts, the shift
// that gives it, and the least-squares size of `b` against `a` there
// (b ≈ size · a, about their means). A flat `a` resembles nothing: -1.
struct Resemblance {
  double correlation = 0;
  int shift = 0;
  double size = 0;
};
Resemblance resemblance(const Waveform& a, const Waveform& b);

}  // namespace rrscope::beats
