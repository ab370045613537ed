#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace rrscope::test {

// An ECG-like lead: a narrow R wave and a broad T wave per beat, the beats
// 800 ms apart on average, swinging by 60 ms with a 5 s breathing period.
struct SyntheticLead {
  std::vector<std::int16_t> adc;  // at a gain of 200 steps per mV, baseline 0
  std::vector<std::int64_t> beats;
  double rate = 0;
};

inline SyntheticLead syntheticLead(double rate, double seconds) {
  SyntheticLead lead;
  lead.rate = rate;
  std::vector<double> mv(static_cast<std::size_t>(rate * seconds), 0.0);
  const auto wave = [&](double centre, double height, double width) {
    for (auto i = static_cast<std::int64_t>((centre - 5 * width) * rate);
         i <= static_cast<std::int64_t>((centre + 5 * width) * rate); ++i) {
      if (i < 0 || i >= static_cast<std::int64_t>(mv.size())) continue;
      const double t = static_cast<double>(i) / rate - centre;
      mv[static_cast<std::size_t>(i)] += height * std::exp(-t * t / (2 * width * width));
    }
  };
  for (double t = 0.5; t < seconds - 0.5;) {
    const auto sample = static_cast<std::int64_t>(std::llround(t * rate));
    lead.beats.push_back(sample);
    wave(static_cast<double>(sample) / rate, 1.3, 0.006);
    wave(static_cast<double>(sample) / rate + 0.25, 0.3, 0.040);
    t += 0.8 + 0.06 * std::sin(2 * std::numbers::pi * t / 5.0);
  }
  for (const double value : mv)
    lead.adc.push_back(static_cast<std::int16_t>(std::lround(value * 200)));
  return lead;
}

}  // namespace rrscope::test
