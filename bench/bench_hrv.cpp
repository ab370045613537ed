// Times the heart rate variability measures: every measure of a 5-minute
// series (about 350 intervals), of a 24-hour series of 100,000 intervals
// (the entropies and the DFA included; Lomb–Scargle is null past an hour),
// and of the 300-s windows every 30 s over that day, on the machine's
// cores. The intervals wander around 860 ms with breathing and slower waves
// and beat-to-beat noise, at the 1/6 ms resolution of 6000 samples per
// second. Prints the median and the fastest of the runs.
//
//   rrscope_bench_hrv [--repeat N]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <numbers>
#include <numeric>
#include <random>
#include <vector>

#include "hrv/hrv_measures.h"

namespace {

using Clock = std::chrono::steady_clock;
using rrscope::hrv::Measure;

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

// The median and the fastest of `repeat` runs of `run`, in ms.
void time(const char* what, int repeat, const std::function<void()>& run) {
  std::vector<double> times;
  for (int i = 0; i < repeat; ++i) {
    const auto start = Clock::now();
    run();
    times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  std::printf("%-58s median %9.2f ms, fastest %9.2f ms over %d runs\n", what,
              times[times.size() / 2], times.front(), repeat);
}

}  // namespace

int main(int argc, char** argv) {
  int repeat = 11;
  if (argc == 3 && std::strcmp(argv[1], "--repeat") == 0) repeat = std::atoi(argv[2]);
  const std::vector<double> day = dayOfIntervals(100'000);
  std::size_t fiveMinutes = 0;
  for (double ms = 0; ms < 300'000; ms += day[fiveMinutes++]) {
  }
  const std::span<const double> short_(day.data(), fiveMinutes);
  std::printf("series: %zu intervals in 5 min; %zu intervals in %.1f h\n", fiveMinutes, day.size(),
              std::accumulate(day.begin(), day.end(), 0.0) / 3.6e6);

  rrscope::hrv::Measures measures;
  time("every measure of 5 minutes", 10 * repeat,
       [&] { measures = rrscope::hrv::computeMeasures(short_); });
  std::printf("  (SampEn %.4f, DFA alpha1 %.4f, LS HF %.1f ms2, AR HF %.1f ms2)\n",
              measures[Measure::sampen].value(), measures[Measure::dfaAlpha1].value(),
              measures[Measure::lsHf].value(), measures[Measure::arHf].value());
  time("every measure of the day", repeat, [&] { measures = rrscope::hrv::computeMeasures(day); });
  std::printf("  (SampEn %.4f, ApEn %.4f, DFA alpha1 %.4f alpha2 %.4f, TINN %.2f ms)\n",
              measures[Measure::sampen].value(), measures[Measure::apen].value(),
              measures[Measure::dfaAlpha1].value(), measures[Measure::dfaAlpha2].value(),
              measures[Measure::tinn].value());
  std::size_t windows = 0;
  time("every measure of each 300-s window every 30 s over the day", std::max(1, repeat / 4), [&] {
    windows = rrscope::hrv::windowedMeasures(day, {300, 30}).size();
  });
  std::printf("  (%zu windows)\n", windows);
}
