#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>
#include <utility>
#include <vector>

#include "tests/beats/synthetic_ecg.h"

namespace rrscope::test {

// An ECG-like lead of normal beats with a T wave a quarter as tall as the R
// wave, the beats 800 ms apart on average, swinging by 60 ms with a 5 s
// breathing period.
struct SyntheticLead {
  std::vector<std::int16_t> adc;  // at a gain of 200 steps per mV, baseline 0
  std::vector<std::int64_t> beats;
  double rate = 0;
};

inline SyntheticLead syntheticLead(double rate, double seconds) {
  std::vector<std::pair<double, beats::test::BeatShape>> placed;
  for (double t = 0.5; t < seconds - 0.5;
       t += 0.8 + 0.06 * std::sin(2 * std::numbers::pi * t / 5)) {
    placed.emplace_back(std::round(t * rate) / rate, beats::test::normalBeat(0.3));
  }
  const beats::test::Recording ecg = beats::test::synthesise(placed, seconds, rate, {});
  SyntheticLead lead{{}, {}, rate};
  for (const double beat : ecg.beats) lead.beats.push_back(std::llround(beat));
  for (const double mv : ecg.samples) {
    lead.adc.push_back(static_cast<std::int16_t>(std::lround(mv * 200)));
  }
  return lead;
}

}  // namespace rrscope::test
