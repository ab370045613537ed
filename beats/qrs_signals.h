#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "beats/sample_source.h"

namespace rrscope::beats {

// Keeps the frequencies of a QRS complex, 5 to 30 Hz, without moving them in
// time. Changes `signal` in place.
void bandPassQrs(std::span<double> signal, double rate);

// Only the upper edge of that band: removes noise above the QRS frequencies
// and keeps the shape of wide complexes, which the 5 Hz edge distorts.
void lowPassQrs(std::span<double> signal, double rate);

// The lead at the rate the decisions are made at. Sample k stands for the
// full-rate time k * factor + offset (in full-rate samples).
struct ReducedSignal {
  std::vector<double> samples;
  std::int64_t factor = 1;
  double rate = 0;
  double offset = 0;
};

// Averages blocks of samples when the rate is well above what a QRS complex
// needs, so that the decisions cost the same at 6000 samples per second as
// at 250; otherwise copies the samples.
ReducedSignal reduceRate(const SampleSource& samples, double rate);

// The signals of the decision rules, all at one rate and aligned in time.
struct QrsSignals {
  std::vector<double> bandPassed;  // the lead, band-passed to the QRS frequencies
  std::vector<double> slope;       // its five-point derivative
  std::vector<double> integrated;  // the squared slope, averaged over 150 ms
  double rate = 0;
  std::int64_t integrationHalfWidth = 0;  // in samples
};

// The lead without pacing spikes: a running median of 14 ms, which takes
// out a spike of a few ms and leaves a QRS complex of 60 ms and more nearly
// whole. A lead whose rate gives fewer than three samples in 14 ms is
// returned as it is.
std::vector<double> withoutSpikes(std::span<const double> lead, double rate);

// A lead for the shapes and for the decisions, both without pacing spikes
// (a short running median): `lowPassed` as lowPassQrs leaves it, to choose
// fiducial points on, and the decisions' band-pass, derivative, squaring and
// moving integration; the two filters share their passes.
struct ShapeAndQrsSignals {
  std::vector<double> lowPassed;
  QrsSignals qrs;
};
ShapeAndQrsSignals computeShapeAndQrsSignals(std::span<const double> lead, double rate);

}  // namespace rrscope::beats
