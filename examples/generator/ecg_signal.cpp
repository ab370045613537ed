#include "examples/generator/ecg_signal.h"

#include <cmath>
#include <numbers>
#include <ostream>
#include <string>
#include <vector>

namespace rrscope {
namespace {

constexpr double kRate = 6000;

// Small deterministic generator, so that examples and benchmarks repeat.
class Random {
 public:
  explicit Random(std::uint32_t seed) : state_(seed * 2654435761u + 1) {}
  double uniform() {  // in [-1, 1)
    state_ = state_ * 1664525u + 1013904223u;
    return static_cast<double>(state_ >> 8) / double(1u << 23) - 1.0;
  }

 private:
  std::uint32_t state_;
};

double wave(double t, double centre, double width, double height) {
  const double z = (t - centre) / width;
  return height * std::exp(-z * z);
}

// One heartbeat around its R peak at t = 0 (seconds).
double beat(double t) {
  if (t < -0.4 || t > 0.6) return 0;
  return wave(t, -0.16, 0.025, 0.15) + wave(t, -0.03, 0.008, -0.1) + wave(t, 0, 0.011, 1.1) +
         wave(t, 0.03, 0.009, -0.25) + wave(t, 0.28, 0.05, 0.3);
}

// Times of the R peaks, in seconds, covering `seconds` with a margin.
std::vector<double> peakTimes(double seconds, Random& random) {
  std::vector<double> peaks;
  for (double t = 0.35; t < seconds + 1.5;) {
    peaks.push_back(t);
    const double breathing = 0.06 * std::sin(2 * std::numbers::pi * t / 4.5);
    const double drift = 0.08 * std::sin(2 * std::numbers::pi * t / 97.0);
    t += 0.85 + breathing + drift + 0.02 * random.uniform();
  }
  return peaks;
}

void appendMillivolts(std::string& out, double value) {
  long thousandths = std::lround(value * 1000);
  if (thousandths < 0) {
    out += '-';
    thousandths = -thousandths;
  }
  out += std::to_string(thousandths / 1000);
  out += '.';
  const long fraction = thousandths % 1000;
  out += static_cast<char>('0' + fraction / 100);
  out += static_cast<char>('0' + fraction / 10 % 10);
  out += static_cast<char>('0' + fraction % 10);
  out += '\n';
}

}  // namespace

void writeEcgSignal(std::ostream& out, std::int64_t lines, std::uint32_t seed) {
  Random random(seed);
  const std::vector<double> peaks = peakTimes(static_cast<double>(lines) / kRate, random);
  std::size_t next = 0;  // first peak not yet behind the current sample
  std::string buffer;
  buffer.reserve(1 << 20);
  for (std::int64_t k = 0; k < lines; ++k) {
    const double t = static_cast<double>(k) / kRate;
    while (next + 1 < peaks.size() && peaks[next] < t - 0.6) ++next;
    double value = 0.05 * std::sin(2 * std::numbers::pi * 0.23 * t) + 0.012 * random.uniform();
    for (std::size_t p = next; p < peaks.size() && peaks[p] < t + 0.4; ++p) {
      value += beat(t - peaks[p]);
    }
    appendMillivolts(buffer, value);
    if (buffer.size() > (1 << 20) - 64) {
      out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
      buffer.clear();
    }
  }
  out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
}

}  // namespace rrscope
