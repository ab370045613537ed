// Times the heart rate variability measures of a 24-hour series: 100,000
// intervals around 860 ms with breathing and slower waves and beat-to-beat
// noise, at the 1/6 ms resolution of 6000 samples per second. Prints the
// median of the runs.
//
//   rrscope_bench_hrv [--repeat N]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <numeric>
#include <random>
#include <vector>

#include "hrv/hrv_measures.h"

namespace {

using Clock = std::chrono::steady_clock;

std::vector<double> dayOfIntervals(std::size_t count) {
  std::mt19937 random(2026);
  std::normal_distribution<double> noise(0, 15);
  std::vector<double> series;
  series.reserve(count);
  double seconds = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const double wave = 40 * std::sin(2 * std::numbers::pi * 0.25 * seconds) +
                        60 * std::sin(2 * std::numbers::pi * 0.1 * seconds) +
                        80 * std::sin(2 * std::numbers::pi * seconds / 3600);
    const double samples = std::round((860 + wave + noise(random)) * 6);
    series.push_back(samples * 1000 / 6000);
    seconds += series.back() / 1000;
  }
  return series;
}

}  // namespace

int main(int argc, char** argv) {
  int repeat = 11;
  if (argc == 3 && std::strcmp(argv[1], "--repeat") == 0) repeat = std::atoi(argv[2]);
  const std::vector<double> series = dayOfIntervals(100'000);
  std::vector<double> times;
  double tinn = 0;
  for (int run = 0; run < repeat; ++run) {
    const auto start = Clock::now();
    const rrscope::hrv::Measures measures = rrscope::hrv::computeMeasures(series);
    times.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    tinn = measures[rrscope::hrv::Measure::tinn].value();
  }
  std::sort(times.begin(), times.end());
  std::printf(
      "hrv measures of %zu intervals (%.1f h): median %.1f ms, min %.1f ms over %d runs (TINN %.2f "
      "ms)\n",
      series.size(), std::accumulate(series.begin(), series.end(), 0.0) / 3.6e6,
      times[times.size() / 2] * 1000, times.front() * 1000, repeat, tinn);
}
