// Accuracy and speed of the beat detector and the artefact correction.
//
//   rrscope_bench_beats score FILE.txt BEATS [RATE]
//       detects the beats of a sample file and scores them against reference
//       beats at 150 and 50 ms; prints one line "file n_ref tp150 fn150 fp150
//       tp50 fn50 fp50 mean_ms max_ms" for bench/bench-beats to pool
//   rrscope_bench_beats detect FILE.txt
//       prints the detected beats as 1-based sample positions, one per line
//   rrscope_bench_beats speed [--repeat N] FILE.txt
//       load, detection and refinement times (medians) and peak memory
//   rrscope_bench_beats correction-speed [--repeat N]
//       correction of 100,000 beats
//   rrscope_bench_beats correction FILE.txt BEATS [SEED]   (FILE names the record only)
//       SDNN and RMSSD of the reference series, with 1 % each of dropped,
//       spurious and moved beats inserted, and after correction
#include <sys/resource.h>
#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "analysis/run_stages.h"
#include "beats/artefact_correction.h"
#include "beats/beat_file.h"
#include "beats/beat_scoring.h"
#include "beats/line_samples.h"
#include "beats/r_peak_detector.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kRate = 6000.0;

double seconds(const std::function<void()>& work) {
  const auto start = Clock::now();
  work();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The processor time the work took: on a machine shared with other jobs it
// tells the cost of the work apart from the waits for a core.
double processorSeconds(const std::function<void()>& work) {
  timespec start{}, end{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &start);
  work();
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &end);
  return static_cast<double>(end.tv_sec - start.tv_sec) +
         1e-9 * static_cast<double>(end.tv_nsec - start.tv_nsec);
}

// Elapsed and processor seconds of the same work.
struct Timing {
  double elapsed = 0, processor = 0;
};

Timing timed(const std::function<void()>& work) {
  Timing t;
  t.elapsed = seconds([&] { t.processor = processorSeconds(work); });
  return t;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double peakResidentMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

std::vector<double> detectInFile(const std::string& path, double rate) {
  const rrscope::SampleLines lines = rrscope::readSampleFile(path);
  return rrscope::beats::detectRPeaks(rrscope::beats::LineSamples(lines), rate);
}

int score(const std::string& path, const std::string& beatsPath, double rate) {
  const std::vector<double> detected = detectInFile(path, rate);
  const std::vector<double> reference = rrscope::beats::readBeatFile(beatsPath);
  const auto wide = rrscope::beats::scoreBeats(detected, reference, rate, 150);
  const auto narrow = rrscope::beats::scoreBeats(detected, reference, rate, 50);
  std::printf("%s %zu %lld %lld %lld %lld %lld %lld %.3f %.3f\n", path.c_str(), reference.size(),
              wide.truePositives, wide.falseNegatives, wide.falsePositives, narrow.truePositives,
              narrow.falseNegatives, narrow.falsePositives, wide.meanAbsErrorMs,
              wide.maxAbsErrorMs);
  return 0;
}

int speed(const std::string& path, int repeat) {
  std::vector<double> load, detect, total, processor;
  std::size_t beats = 0;
  for (int i = 0; i < repeat; ++i) {
    rrscope::SampleLines lines;
    const Timing loading = timed([&] { lines = rrscope::readSampleFile(path); });
    const Timing detecting = timed([&] {
      beats = rrscope::beats::detectRPeaks(rrscope::beats::LineSamples(lines), kRate).size();
    });
    load.push_back(loading.elapsed);
    detect.push_back(detecting.elapsed);
    total.push_back(loading.elapsed + detecting.elapsed);
    processor.push_back(loading.processor + detecting.processor);
  }
  struct stat info {};
  stat(path.c_str(), &info);
  const double fileMegabytes = static_cast<double>(info.st_size) / (1024.0 * 1024.0);
  std::printf("file %s: %.1f MiB, %zu beats\n", path.c_str(), fileMegabytes, beats);
  std::printf(
      "load %.3f s + detection and refinement %.3f s = %.3f s (medians of %d); "
      "processor time %.3f s\n",
      median(load), median(detect), median(total), repeat, median(processor));
  std::printf("peak resident memory %.1f MiB (limit %.1f MiB)\n", peakResidentMegabytes(),
              1.5 * fileMegabytes + 50);
  return 0;
}

// Beats of a heart at 60 to 90 per minute with breathing, slow drifts and a
// little beat-to-beat noise, in samples.
std::vector<double> syntheticSeries(std::size_t count, std::mt19937& random) {
  std::normal_distribution<double> jitter(0.0, 0.005);
  std::vector<double> beats{0.0};
  for (std::size_t i = 1; i < count; ++i) {
    const double t = beats.back() / kRate;
    const double interval = 0.85 + 0.05 * std::sin(2 * M_PI * 0.25 * t) +
                            0.08 * std::sin(2 * M_PI * 0.01 * t) + jitter(random);
    beats.push_back(beats.back() + interval * kRate);
  }
  return beats;
}

struct Variability {
  double sdnn = 0, rmssd = 0;
};

// SDNN and RMSSD in ms of the intervals between successive beats.
Variability variability(const std::vector<double>& beats) {
  std::vector<double> rr;
  for (std::size_t i = 1; i < beats.size(); ++i)
    rr.push_back((beats[i] - beats[i - 1]) * 1000 / kRate);
  double mean = 0;
  for (const double v : rr) mean += v;
  mean /= static_cast<double>(rr.size());
  double square = 0, successive = 0;
  for (std::size_t i = 0; i < rr.size(); ++i) {
    square += (rr[i] - mean) * (rr[i] - mean);
    if (i > 0) successive += (rr[i] - rr[i - 1]) * (rr[i] - rr[i - 1]);
  }
  return {std::sqrt(square / static_cast<double>(rr.size() - 1)),
          std::sqrt(successive / static_cast<double>(rr.size() - 1))};
}

// Drops, adds and moves 1 % of the beats each, at random places at least
// four beats apart, so that each artefact stands alone as in the published
// evaluation of the method.
std::vector<double> withArtefacts(const std::vector<double>& beats, std::mt19937& random) {
  const std::size_t each = beats.size() / 100;
  std::vector<std::size_t> order(beats.size() - 8);
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i + 4;
  std::shuffle(order.begin(), order.end(), random);
  std::vector<std::size_t> chosen;
  for (const std::size_t i : order) {
    if (chosen.size() == 3 * each) break;
    const bool near = std::any_of(chosen.begin(), chosen.end(),
                                  [&](std::size_t c) { return (c > i ? c - i : i - c) < 4; });
    if (!near) chosen.push_back(i);
  }
  enum class Kind { drop, add, move };
  std::vector<std::pair<std::size_t, Kind>> artefacts;
  for (std::size_t k = 0; k < chosen.size(); ++k) {
    artefacts.emplace_back(chosen[k], k < each       ? Kind::drop
                                      : k < 2 * each ? Kind::add
                                                     : Kind::move);
  }
  std::sort(artefacts.begin(), artefacts.end());
  std::uniform_real_distribution<double> where(0.2, 0.8);
  std::vector<double> damaged;
  for (std::size_t i = 0, next = 0; i < beats.size(); ++i) {
    const bool hit = next < artefacts.size() && artefacts[next].first == i;
    const Kind kind = hit ? artefacts[next++].second : Kind::move;
    if (!hit) {
      damaged.push_back(beats[i]);
    } else if (kind == Kind::add) {
      damaged.push_back(beats[i - 1] + where(random) * (beats[i] - beats[i - 1]));
      damaged.push_back(beats[i]);
    } else if (kind == Kind::move) {
      const bool later = random() % 2 == 0;
      damaged.push_back(
          beats[i] + (later ? 0.3 * (beats[i + 1] - beats[i]) : -0.3 * (beats[i] - beats[i - 1])));
    }
  }
  return damaged;
}

int correctionSpeed(int repeat) {
  std::mt19937 random(1);
  // Dropped, spurious and moved beats, 1 % each, as in the correction check.
  const std::vector<double> beats = withArtefacts(syntheticSeries(100'000, random), random);
  std::vector<double> times, processor;
  int corrected = 0;
  for (int i = 0; i < repeat; ++i) {
    const Timing t =
        timed([&] { corrected = rrscope::beats::correctArtefacts(beats).counts.total(); });
    times.push_back(t.elapsed);
    processor.push_back(t.processor);
  }
  std::printf(
      "correction of %zu beats: median %.1f ms over %d runs (processor time %.1f ms), "
      "%d beats corrected\n",
      beats.size(), 1000 * median(times), repeat, 1000 * median(processor), corrected);
  return 0;
}

int correction(const std::string& path, const std::string& beatsPath, unsigned seed) {
  const std::vector<double> reference = rrscope::beats::readBeatFile(beatsPath);
  // The clean series: the reference beats after their own correction, so
  // that the record's own ectopic beats do not count as inserted artefacts.
  const std::vector<double> clean = rrscope::beats::correctArtefacts(reference).beats;
  std::mt19937 random(seed);
  const std::vector<double> damaged = withArtefacts(clean, random);
  const auto corrected = rrscope::beats::correctArtefacts(damaged);
  const Variability a = variability(clean), b = variability(damaged),
                    c = variability(corrected.beats);
  std::printf(
      "%s clean SDNN %.2f RMSSD %.2f | damaged %.2f %.2f | corrected %.2f %.2f "
      "(%+.2f %%, %+.2f %%) extra %d missed %d ectopic %d long_short %d\n",
      path.c_str(), a.sdnn, a.rmssd, b.sdnn, b.rmssd, c.sdnn, c.rmssd, 100 * (c.sdnn / a.sdnn - 1),
      100 * (c.rmssd / a.rmssd - 1), corrected.counts.extra, corrected.counts.missed,
      corrected.counts.ectopic, corrected.counts.longShort);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  int repeat = 5;
  if (auto it = std::find(args.begin(), args.end(), "--repeat");
      it != args.end() && it + 1 != args.end()) {
    repeat = std::max(1, std::atoi((it + 1)->c_str()));
    args.erase(it, it + 2);
  }
  try {
    if (args.size() >= 3 && args[0] == "score") {
      return score(args[1], args[2], args.size() > 3 ? std::atof(args[3].c_str()) : kRate);
    }
    if (args.size() == 2 && args[0] == "detect") {
      for (const double beat : detectInFile(args[1], kRate)) std::printf("%.1f\n", beat + 1);
      return 0;
    }
    if (args.size() == 2 && args[0] == "speed") return speed(args[1], repeat);
    if (args.size() == 1 && args[0] == "correction-speed") return correctionSpeed(repeat);
    if (args.size() >= 3 && args[0] == "correction") {
      return correction(args[1], args[2], args.size() > 3 ? std::atoi(args[3].c_str()) : 1);
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "rrscope_bench_beats: %s\n", error.what());
    return 1;
  }
  std::fprintf(stderr, "usage: see the comment at the top of bench/bench_beats.cpp\n");
  return 2;
}
