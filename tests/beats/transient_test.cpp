// The detector after what a device does when it starts, saturates or loses
// an electrode: the beats around are all found, and nothing is made up.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "beats/beat_scoring.h"
#include "beats/r_peak_detector.h"
#include "synthetic_ecg.h"

namespace rrscope::beats {
namespace {

constexpr double kRate = 500;
constexpr double kSeconds = 60;

// A dry-electrode lead: complexes of half a millivolt in noise of a tenth.
test::Recording quietLead() {
  std::vector<std::pair<double, test::BeatShape>> beats;
  for (double t = 0.6; t < kSeconds - 0.5; t += 0.85) {
    test::BeatShape shape = test::normalBeat(0.3);
    for (test::Wave& w : shape.waves) w.height *= 0.4;
    beats.emplace_back(t, shape);
  }
  return test::synthesise(beats, kSeconds, kRate, {.noise = 0.03, .wander = 0.05, .seed = 4});
}

// Puts an artefact into the samples; returns the stretch in which it hides
// the ECG, or looks like a complex itself.
using Artefact = std::function<SampleStretch(std::vector<double>&)>;

Artefact ringingAt(double seconds, double mv, double length) {
  return [=](std::vector<double>& x) {
    const auto first = static_cast<std::size_t>(seconds * kRate);
    for (std::size_t i = 0; i < static_cast<std::size_t>(length * kRate) && first + i < x.size();
         ++i) {
      const double t = static_cast<double>(i) / kRate;
      x[first + i] += mv * std::exp(-3 * t / length) * std::sin(2 * M_PI * 25 * t);
    }
    // A detector may take the ringing for a complex: it looks like one.
    return SampleStretch{seconds * kRate, (seconds + length) * kRate};
  };
}

Artefact railAt(double seconds, double length) {
  return [=](std::vector<double>& x) {
    const auto first = static_cast<std::size_t>(seconds * kRate);
    const auto end = std::min(x.size(), first + static_cast<std::size_t>(length * kRate));
    std::fill(x.begin() + static_cast<std::ptrdiff_t>(first),
              x.begin() + static_cast<std::ptrdiff_t>(end), 5.0);
    return SampleStretch{static_cast<double>(first), static_cast<double>(end)};
  };
}

// Flat while the electrode is off, then the ECG on a step that the
// amplifier's high-pass takes back.
Artefact leadOffAt(double seconds, double length) {
  return [=](std::vector<double>& x) {
    const auto first = static_cast<std::size_t>(seconds * kRate);
    const auto end = std::min(x.size(), first + static_cast<std::size_t>(length * kRate));
    std::fill(x.begin() + static_cast<std::ptrdiff_t>(first),
              x.begin() + static_cast<std::ptrdiff_t>(end), 0.0);
    for (std::size_t i = end; i < x.size(); ++i) {
      x[i] += 3.0 * std::exp(-static_cast<double>(i - end) / kRate);
    }
    return SampleStretch{static_cast<double>(first), static_cast<double>(end)};
  };
}

Artefact noiseFrom(double seconds, double length) {
  return [=](std::vector<double>& x) {
    test::addNoiseBurst(x, seconds, seconds + length, kRate, 9);
    return SampleStretch{seconds * kRate, (seconds + length) * kRate};
  };
}

// Se and +P of the detections against the beats outside the stretches the
// artefacts replaced (and a beat's length beyond them).
Scoring scoreAround(const std::vector<Artefact>& artefacts) {
  test::Recording lead = quietLead();
  std::vector<SampleStretch> hidden;
  for (const Artefact& artefact : artefacts) {
    const SampleStretch s = artefact(lead.samples);
    // A complex this near is outranked by the artefact's larger hump.
    if (s.end > s.begin) hidden.push_back({s.begin - 0.3 * kRate, s.end + 0.3 * kRate});
  }
  const auto visible = [&](double position) {
    return std::ranges::none_of(
        hidden, [&](const SampleStretch& s) { return position >= s.begin && position <= s.end; });
  };
  std::vector<double> found, reference;
  std::ranges::copy_if(detectRPeaks(SpanSamples(lead.samples), kRate), std::back_inserter(found),
                       visible);
  std::ranges::copy_if(lead.beats, std::back_inserter(reference), visible);
  return scoreBeats(found, reference, kRate);
}

TEST(Transients, TheBeatsAroundEveryStartUpAndElectrodeArtefactAreFound) {
  const std::vector<std::pair<std::string, std::vector<Artefact>>> cases = {
      {"clean", {}},
      {"40 ms of ringing at 5.5 mV at the start", {ringingAt(0, 5.5, 0.04)}},
      {"200 ms of ringing at 10 mV at the start", {ringingAt(0, 10, 0.2)}},
      {"ringing at the start, in the middle and at the end",
       {ringingAt(0, 5, 0.1), ringingAt(30, 5, 0.1), ringingAt(59.5, 5, 0.1)}},
      {"2 s at the rail at the start and in the middle", {railAt(0, 2), railAt(25, 2)}},
      {"lead off for 4 s at the start, then on", {leadOffAt(0, 4)}},
      {"lead off and on in the middle", {leadOffAt(20, 4)}},
      {"10 s of noise at the start", {noiseFrom(0, 10)}},
      {"a burst of noise longer than the relearning time", {noiseFrom(20, 8)}},
  };
  for (const auto& [name, artefacts] : cases) {
    const Scoring s = scoreAround(artefacts);
    EXPECT_EQ(s.falseNegatives, 0) << name;
    EXPECT_EQ(s.falsePositives, 0) << name;
    EXPECT_GT(s.truePositives, 40) << name;
  }
}

}  // namespace
}  // namespace rrscope::beats
