#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "beats/detected_beats.h"

namespace rrscope::pipeline {

// The interval series that HRV is computed from: the intervals between
// successive beats in ms, less every interval that touches an unreadable
// stretch, since the beats at its ends cannot be trusted.
struct ReadableSeries {
  std::vector<double> intervalsMs;
  std::vector<std::size_t> ends;      // for each interval, the index of its last beat
  std::size_t excludedBeats = 0;      // beats strictly inside an unreadable stretch
  std::size_t excludedIntervals = 0;  // intervals left out
};

// `beats` and `unreadable` in samples at `rate`, both increasing.
ReadableSeries readableSeries(std::span<const double> beats,
                              std::span<const beats::SampleStretch> unreadable, double rate);

}  // namespace rrscope::pipeline
