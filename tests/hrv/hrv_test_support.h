#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
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

// `n` values drawn evenly from [low, high) over a fixed seed.
inline std::vector<double> uniformSeries(std::size_t n, double low, double high,
                                         std::uint64_t seed) {
  std::mt19937_64 generator(seed);
  std::uniform_real_distribution<double> uniform(low, high);
  std::vector<double> series(n);
  for (double& value : series) value = uniform(generator);
  return series;
}

// Standard normal values by Box-Muller from a fixed-seed generator, the same
// on every standard library, unlike std::normal_distribution.
inline std::vector<double> whiteNoise(std::size_t n, std::uint64_t seed = 2024) {
  std::mt19937_64 random(seed);
  const auto uniform = [&] { return (static_cast<double>(random() >> 11) + 1) * 0x1p-53; };
  std::vector<double> noise;
  while (noise.size() < n) {
    const double radius = std::sqrt(-2 * std::log(uniform()));
    const double angle = 2 * std::numbers::pi * uniform();
    noise.push_back(radius * std::cos(angle));
    noise.push_back(radius * std::sin(angle));
  }
  noise.resize(n);
  return noise;
}

// The power of `spectrum` from `loHz` to `hiHz` by the trapezoid rule, over
// the bins that lie wholly inside.
inline double bandPower(const Spectrum& spectrum, double loHz = 0, double hiHz = 1e300) {
  double power = 0;
  const auto& f = spectrum.frequenciesHz;
  const auto& p = spectrum.densitiesMs2PerHz;
  for (std::size_t k = 1; k < f.size(); ++k)
    if (f[k - 1] >= loHz && f[k] < hiHz) power += (f[k] - f[k - 1]) * (p[k] + p[k - 1]) / 2;
  return power;
}

}  // namespace rrscope::hrv
