#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "beats/beat_class.h"
#include "beats/detected_beats.h"

namespace rrscope::pipeline {

// What becomes of an interval that touches a beat other than `N`.
enum class EctopicHandling {
  exclude,      // left out of the series, as the NN series is defined
  interpolate,  // replaced by the median of the NN intervals around it
};

// The interval series that HRV is computed from: the intervals between
// successive beats in ms, less every interval that touches an unreadable
// stretch, since the beats at its ends cannot be trusted, and, when the
// beats are classified, less (or in place of) every interval that does not
// join two normal beats.
struct ReadableSeries {
  std::vector<double> intervalsMs;
  std::vector<std::size_t> ends;      // for each interval, the index of its last beat
  std::size_t excludedBeats = 0;      // beats strictly inside an unreadable stretch
  std::size_t excludedIntervals = 0;  // intervals left out for an unreadable stretch
  // Intervals touching a beat other than N: left out, or replaced by the
  // median of the NN intervals around them (those with no NN interval near
  // are left out all the same).
  std::size_t ectopicIntervals = 0;
  std::size_t interpolatedIntervals = 0;
};

// `beats` and `unreadable` in samples at `rate`, both increasing.
// `classes` holds one class per beat, or nothing when the beats are not
// classified: every beat then counts as normal.
ReadableSeries readableSeries(std::span<const double> beats,
                              std::span<const beats::SampleStretch> unreadable, double rate,
                              std::span<const beats::BeatClass> classes = {},
                              EctopicHandling ectopic = EctopicHandling::exclude);

// For each interval of a series, the time its last beat comes after the
// first beat of the series in ms: the intervals left out leave gaps in it.
// `ends` are the series' ends, indices into `beats`, at `rate`.
std::vector<double> intervalEndsMs(std::span<const double> beats, std::span<const std::size_t> ends,
                                   double rate);

// How many NN intervals on each side of an ectopic interval give the
// median that replaces it: five a side spans some ten seconds, short
// against the breathing and blood pressure waves the series carries.
inline constexpr std::size_t kInterpolationNeighbours = 5;

}  // namespace rrscope::pipeline
