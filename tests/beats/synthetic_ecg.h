#pragma once

#include <cmath>
#include <numbers>
#include <random>
#include <span>
#include <vector>

namespace rrscope::beats::test {

// One beat as a sum of Gaussian waves: the R wave's centre is the beat's
// position. Times and widths in seconds, heights in mV.
struct Wave {
  double offset, height, width;
};

struct BeatShape {
  std::vector<Wave> waves;
};

// An upright narrow complex with a T wave as tall as the R wave, which a
// plain amplitude threshold would count as a second beat.
inline BeatShape normalBeat(double tHeight = 1.0) {
  return {{{-0.16, 0.15, 0.025},
           {-0.025, -0.15, 0.008},
           {0.0, 1.2, 0.010},
           {0.025, -0.3, 0.008},
           {0.26, tHeight, 0.045}}};
}

// A wide ventricular complex with a discordant T wave.
inline BeatShape wideBeat() {
  return {{{0.0, 1.6, 0.022}, {0.06, -0.5, 0.02}, {0.3, -0.7, 0.06}}};
}

// A ventricular paced beat: a pacing spike of a millisecond, taller and far
// steeper than anything else in the lead, 40 ms before a wide complex.
inline BeatShape pacedBeat() {
  return {{{-0.04, 5.0, 0.0004}, {0.0, 1.3, 0.025}, {0.07, -0.4, 0.02}, {0.3, -0.6, 0.06}}};
}

// The P wave of a normal beat, alone: an atrial beat the block kept from
// the ventricles.
inline Wave blockedPWave(double height = 0.15) {
  return {-0.16, height, 0.025};
}

// A complex whose R and S waves are equally tall, so the largest deflection
// alone does not tell which one is the R wave.
inline BeatShape equalRsBeat() {
  return {{{-0.16, 0.15, 0.025}, {0.0, 1.0, 0.009}, {0.024, -1.0, 0.009}, {0.26, 0.3, 0.045}}};
}

// An upright complex lasting about `qrsSeconds`, with a small S wave and a
// T wave after it.
inline BeatShape beatOfWidth(double qrsSeconds) {
  return {{{0.0, 1.2, qrsSeconds / 6},
           {0.4 * qrsSeconds, -0.3, qrsSeconds / 8},
           {0.2 + qrsSeconds, 0.4, 0.05}}};
}

// Beats of `shape` from 0.6 s until `until`, 0.8 s apart on average and
// swinging by `swing` s either way over a 5 s breath.
inline std::vector<std::pair<double, BeatShape>> breathingRhythm(double until,
                                                                 const BeatShape& shape,
                                                                 double swing = 0.06) {
  std::vector<std::pair<double, BeatShape>> rhythm;
  for (double t = 0.6; t < until; t += 0.8 + swing * std::sin(2 * std::numbers::pi * t / 5)) {
    rhythm.emplace_back(t, shape);
  }
  return rhythm;
}

struct Recording {
  std::vector<double> samples;
  std::vector<double> beats;  // sample indices of the R peaks
};

struct Disturbance {
  double noise = 0.0;   // standard deviation of white noise, mV
  double wander = 0.0;  // amplitude of a 0.3 Hz baseline swing, mV
  double mains = 0.0;   // amplitude of 50 Hz interference, mV
  unsigned seed = 1;
};

// Adds wave `w` of a beat at `time` seconds to samples at `rate`.
inline void addWave(std::vector<double>& samples, double time, const Wave& w, double rate) {
  const auto n = static_cast<std::ptrdiff_t>(samples.size());
  const double centre = (time + w.offset) * rate;
  const double spread = w.width * rate;
  const auto from = static_cast<std::ptrdiff_t>(std::max(0.0, centre - 5 * spread));
  const auto to = std::min(n, static_cast<std::ptrdiff_t>(centre + 5 * spread) + 1);
  for (std::ptrdiff_t i = from; i < to; ++i) {
    const double z = (static_cast<double>(i) - centre) / spread;
    samples[static_cast<std::size_t>(i)] += w.height * std::exp(-0.5 * z * z);
  }
}

// Places each beat (time in seconds, shape) into a recording of `seconds`
// at `rate` samples per second.
inline Recording synthesise(std::span<const std::pair<double, BeatShape>> beats, double seconds,
                            double rate, const Disturbance& d) {
  Recording r;
  const auto n = static_cast<std::size_t>(seconds * rate);
  r.samples.assign(n, 0.0);
  for (const auto& [time, shape] : beats) {
    r.beats.push_back(time * rate);
    for (const Wave& w : shape.waves) addWave(r.samples, time, w, rate);
  }
  std::mt19937 random(d.seed);
  std::normal_distribution<double> noise(0.0, 1.0);
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / rate;
    r.samples[i] += d.noise * noise(random) + d.wander * std::sin(2 * M_PI * 0.3 * t) +
                    0.5 * d.wander * std::sin(2 * M_PI * 0.07 * t + 1.0) +
                    d.mains * std::sin(2 * M_PI * 50 * t);
  }
  return r;
}

// Adds random deflections of QRS-like width and height, of either sign,
// from `from` to `to` seconds: noise that looks like beats to a detector.
inline void addNoiseBurst(std::vector<double>& samples, double from, double to, double rate,
                          unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> height(-1.2, 1.2), width(0.004, 0.012), gap(0.01, 0.04);
  for (double t = from; t < to; t += gap(random))
    addWave(samples, t, {0, height(random), width(random)}, rate);
}

}  // namespace rrscope::beats::test
