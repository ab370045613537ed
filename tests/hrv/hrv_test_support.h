#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "hrv/hrv_measures.h"

namespace rrscope::hrv {

inline double valueOf(const Measures& measures, Measure measure) {
  const MeasureValue& value = measures[measure];
  EXPECT_TRUE(value.defined()) << measureKey(measure) << ": " << undefinedText(value.reason());
  return value.defined() ? value.value() : -1;
}

inline void expectUndefined(const Measures& measures, std::initializer_list<Measure> which,
                            Undefined reason) {
  for (const Measure measure : which) {
    EXPECT_FALSE(measures[measure].defined()) << measureKey(measure);
    EXPECT_EQ(measures[measure].reason(), reason) << measureKey(measure);
  }
}

inline std::vector<double> repeated(std::vector<double> pattern, std::size_t times) {
  std::vector<double> series;
  for (std::size_t i = 0; i < times; ++i)
    series.insert(series.end(), pattern.begin(), pattern.end());
  return series;
}

// Beats whose interval, ending at time T, is base + a1 sin(2 pi 0.1 T) + a2
// sin(2 pi 0.25 T) + drift T ms, for `seconds`: an LF and an HF wave of
// known power, and a slow trend.
inline std::vector<double> modulatedIntervals(double base, double a1, double a2,
                                              double driftMsPerSecond, double seconds) {
  std::vector<double> series;
  double endMs = 0;
  while (endMs < seconds * 1000) {
    double interval = base;
    for (int step = 0; step < 50; ++step) {
      const double t = (endMs + interval) / 1000;
      interval = base + a1 * std::sin(2 * std::numbers::pi * 0.1 * t) +
                 a2 * std::sin(2 * std::numbers::pi * 0.25 * t) + driftMsPerSecond * t;
    }
    series.push_back(interval);
    endMs += interval;
  }
  return series;
}

}  // namespace rrscope::hrv
