// Noise stress test of the beat detector: electrode motion (em) and muscle
// artefact (ma) noise added to clean MIT-BIH records at 12, 6, 0 and -6 dB, and
// the beats found in the mixture as the batch tool finds those of a WFDB
// record (blockwise detection of the whole lead at its own rate, in mV).
//
//   rrscope_bench_noise MITDB_FOLDER NSTDB_FOLDER [old] RECORD...
//
// How the noise is added, the way the noise stress test database builds its
// records:
// - The ECG is signal 0 of RECORD; the noise is signal 0 of the noise record
//   em or ma (gain 0 in its header, read as 200 steps per mV). Both are at
//   360 samples per second, so sample i of the noise goes onto sample i of
//   the ECG.
// - Two amplitudes fix the scale, each a trimmed mean (the lowest and
//   highest 5 % of the values left out): the signal amplitude A, the
//   peak-to-peak range of the clean ECG within 50 ms either side of each of
//   the first 300 reference beats; and the noise amplitude R, the RMS of the
//   noise in consecutive 1-second windows, each window's own mean removed
//   first, over the first 300 windows.
// - SNR = 20 log10(A / (sqrt(8) R')), R' the noise amplitude once scaled: at
//   a wanted SNR of x dB the noise is multiplied by 10^(-x/20) A /
//   (sqrt(8) R). Measured on the database's own test records, this gives
//   its scale within 3 %. An earlier form of this bench took the mean square
//   of the whole noise record, wander included, for R^2 and the median
//   range for A: about 7 dB gentler on em at the same nominal SNR; `old`
//   in the arguments runs that scale beside this one.
// - The first 5 minutes stay clean. From then on the scaled noise is added
//   in 2-minute stretches every other 2 minutes: 5-7, 9-11, ..., 25-27 min,
//   and 29 min to the end of the record. These are the noisy time; the rest
//   is the clean time.
//
// What is scored: the detected beats against the reference beats of
// RECORD.atr, matched within 150 ms. The noisy columns keep only the
// reference beats and detections inside the noisy stretches, the whole
// columns keep all of them; the readable columns drop in addition the
// detections inside the detector's unreadable stretches or at their ends,
// and the reference beats within the match window of them.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <functional>
#include <iterator>
#include <numeric>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "beats/beat_scoring.h"
#include "beats/detected_beats.h"
#include "beats/sample_source.h"
#include "pipeline/blockwise_detection.h"
#include "recordings/read_recording.h"
#include "statistics/order_statistics.h"

namespace {

using rrscope::statistics::upperMedian;

using rrscope::beats::SampleStretch;
using rrscope::beats::Scoring;

constexpr std::array<std::string_view, 2> kNoiseKinds{"em", "ma"};
constexpr std::array<double, 4> kSnrsDb{12.0, 6.0, 0.0, -6.0};
// The database's amplitudes: trimmed means of the first 300 beats and of
// the first 300 one-second windows.
constexpr std::size_t kAmplitudeCount = 300;
constexpr double kTrimmedShare = 0.05;
constexpr double kCleanStartSeconds = 300.0;
constexpr double kNoiseStretchSeconds = 120.0;
constexpr double kQrsHalfWidthSeconds = 0.05;
constexpr double kMatchWindowMs = 150.0;

struct Lead {
  std::vector<double> samples;  // mV
  double rate = 0;
};

Lead readSignalZero(const std::string& headerPath) {
  const rrscope::recordings::Recording recording =
      rrscope::recordings::readWfdbRecording(headerPath, {.text = "0"});
  return {rrscope::recordings::physicalSamples(recording), recording.rate.hertz()};
}

// The mean of the values less the lowest and highest kTrimmedShare of them.
double trimmedMean(std::vector<double> values) {
  if (values.empty()) return 0;
  std::ranges::sort(values);
  const auto cut = static_cast<std::size_t>(kTrimmedShare * static_cast<double>(values.size()));
  const auto first = values.begin() + static_cast<std::ptrdiff_t>(cut);
  const auto last = values.end() - static_cast<std::ptrdiff_t>(cut);
  return std::accumulate(first, last, 0.0) / static_cast<double>(last - first);
}

// The ranges of the signal within a QRS half-width of each beat.
std::vector<double> qrsRanges(std::span<const double> ecg, std::span<const double> beats,
                              double rate) {
  const auto halfWidth = static_cast<std::ptrdiff_t>(std::llround(kQrsHalfWidthSeconds * rate));
  const auto size = static_cast<std::ptrdiff_t>(ecg.size());
  std::vector<double> ranges;
  for (const double beat : beats) {
    const auto at = static_cast<std::ptrdiff_t>(std::llround(beat));
    const std::ptrdiff_t first = std::max<std::ptrdiff_t>(0, at - halfWidth);
    const std::ptrdiff_t last = std::min(size, at + halfWidth + 1);
    if (first >= last) continue;
    const auto [low, high] = std::minmax_element(ecg.begin() + first, ecg.begin() + last);
    ranges.push_back(*high - *low);
  }
  return ranges;
}

// The signal amplitude A of the database: the trimmed mean of the QRS
// ranges of the first 300 beats.
double qrsPeakToPeak(std::span<const double> ecg, std::span<const double> beats, double rate) {
  return trimmedMean(qrsRanges(ecg, beats.first(std::min(beats.size(), kAmplitudeCount)), rate));
}

// The earlier, gentler amplitude: the median range over every beat.
double medianPeakToPeak(std::span<const double> ecg, std::span<const double> beats, double rate) {
  return upperMedian(qrsRanges(ecg, beats, rate));
}

// The noise amplitude R of the database: the trimmed mean of the RMS of the
// first 300 one-second windows, each about its own mean.
double noiseAmplitude(std::span<const double> noise, double rate) {
  const auto window = static_cast<std::size_t>(std::llround(rate));
  std::vector<double> rms;
  for (std::size_t first = 0; first + window <= noise.size() && rms.size() < kAmplitudeCount;
       first += window) {
    const std::span<const double> part = noise.subspan(first, window);
    const double mean =
        std::accumulate(part.begin(), part.end(), 0.0) / static_cast<double>(window);
    double squares = 0;
    for (const double v : part) squares += (v - mean) * (v - mean);
    rms.push_back(std::sqrt(squares / static_cast<double>(window)));
  }
  return trimmedMean(std::move(rms));
}

struct CleanRecord {
  std::string name;
  Lead ecg;
  std::vector<double> reference;  // 0-based sample positions
  double qrsAmplitude = 0;        // peak to peak, mV, as the database takes it
  double medianAmplitude = 0;     // the earlier bench's
};

CleanRecord readCleanRecord(const std::string& folder, const std::string& name) {
  const std::string header = folder + "/" + name + ".hea";
  const rrscope::recordings::Recording recording =
      rrscope::recordings::readWfdbRecording(header, {.text = "0"});
  std::vector<double> reference;
  for (const std::int64_t beat :
       rrscope::recordings::readWfdbReferenceBeats(header, recording.rate)) {
    reference.push_back(static_cast<double>(beat));
  }
  Lead ecg{rrscope::recordings::physicalSamples(recording), recording.rate.hertz()};
  const double amplitude = qrsPeakToPeak(ecg.samples, reference, ecg.rate);
  const double medianAmplitude = medianPeakToPeak(ecg.samples, reference, ecg.rate);
  return {name, std::move(ecg), std::move(reference), amplitude, medianAmplitude};
}

double meanSquare(std::span<const double> values) {
  const double sum = std::accumulate(values.begin(), values.end(), 0.0,
                                     [](double s, double v) { return s + v * v; });
  return values.empty() ? 0 : sum / static_cast<double>(values.size());
}

// The factor that brings noise of amplitude `noise` (R) to `snrDb` below a
// QRS amplitude `peakToPeak` (A), as the database scales it.
double noiseScale(double peakToPeak, double noise, double snrDb) {
  return std::pow(10.0, -snrDb / 20.0) * peakToPeak / (std::sqrt(8.0) * noise);
}

// The earlier bench's factor: noise power the mean square of the whole
// noise record, signal power A^2 / 8 with A the median range.
double oldNoiseScale(double peakToPeak, double noisePower, double snrDb) {
  const double signalPower = peakToPeak * peakToPeak / 8.0;
  return std::sqrt(signalPower / (noisePower * std::pow(10.0, snrDb / 10.0)));
}

std::vector<SampleStretch> noisyStretches(std::size_t size, double rate) {
  const auto end = static_cast<double>(size);
  const auto length = static_cast<double>(std::llround(kNoiseStretchSeconds * rate));
  std::vector<SampleStretch> stretches;
  for (auto begin = static_cast<double>(std::llround(kCleanStartSeconds * rate)); begin < end;
       begin += 2 * length) {
    stretches.push_back({begin, std::min(end, begin + length)});
  }
  return stretches;
}

// The parts of [0, size) outside `stretches`.
std::vector<SampleStretch> complement(std::span<const SampleStretch> stretches, std::size_t size) {
  std::vector<SampleStretch> gaps;
  double from = 0;
  for (const SampleStretch& stretch : stretches) {
    if (stretch.begin > from) gaps.push_back({from, stretch.begin});
    from = stretch.end;
  }
  if (from < static_cast<double>(size)) gaps.push_back({from, static_cast<double>(size)});
  return gaps;
}

std::vector<double> withNoise(std::span<const double> ecg, std::span<const double> noise,
                              double scale, std::span<const SampleStretch> noisy) {
  std::vector<double> mixed(ecg.begin(), ecg.end());
  for (const SampleStretch& stretch : noisy) {
    for (auto i = static_cast<std::size_t>(stretch.begin);
         i < static_cast<std::size_t>(stretch.end); ++i) {
      mixed[i] += scale * noise[i];
    }
  }
  return mixed;
}

bool inside(std::span<const SampleStretch> stretches, double position) {
  const auto after = std::ranges::upper_bound(stretches, position, {}, &SampleStretch::end);
  return after != stretches.end() && after->begin <= position;
}

double totalLength(std::span<const SampleStretch> stretches) {
  double total = 0;
  for (const SampleStretch& stretch : stretches) total += stretch.end - stretch.begin;
  return total;
}

double overlapLength(std::span<const SampleStretch> a, std::span<const SampleStretch> b) {
  double total = 0;
  for (const SampleStretch& x : a) {
    for (const SampleStretch& y : b) {
      total += std::max(0.0, std::min(x.end, y.end) - std::max(x.begin, y.begin));
    }
  }
  return total;
}

std::vector<double> positionsWhere(std::span<const double> positions, const auto& keep) {
  std::vector<double> kept;
  std::ranges::copy_if(positions, std::back_inserter(kept), keep);
  return kept;
}

Scoring scoreWhere(std::span<const double> detected, std::span<const double> reference, double rate,
                   const auto& keep) {
  return scoreWhere(detected, reference, rate, keep, keep);
}

// With a rule of its own for the reference beats.
Scoring scoreWhere(std::span<const double> detected, std::span<const double> reference, double rate,
                   const auto& keepDetected, const auto& keepReference) {
  return rrscope::beats::scoreBeats(positionsWhere(detected, keepDetected),
                                    positionsWhere(reference, keepReference), rate, kMatchWindowMs);
}

// An unreadable stretch runs from one beat to another, and the HRV series
// leaves out every interval that touches it: the beats at its two ends
// begin or end no interval of the series, so they count as inside it, as
// the beats between them do. A reference beat counts as inside when it lies
// within the match window of the stretch, so that the annotation of a beat
// at an end goes with it.
bool inOrAt(std::span<const SampleStretch> stretches, double position, double margin) {
  return std::ranges::any_of(stretches, [&](const SampleStretch& s) {
    return position >= s.begin - margin && position <= s.end + margin;
  });
}

// One record under one noise, or several pooled.
struct Outcome {
  long long noisyBeats = 0, allBeats = 0;
  Scoring noisyAll, noisyReadable, wholeAll, wholeReadable;
  double noisyTime = 0, cleanTime = 0;  // samples
  double unreadableNoisy = 0, unreadableClean = 0;
};

Outcome scoreRecord(const rrscope::beats::DetectedBeats& found, const CleanRecord& record,
                    std::span<const SampleStretch> noisy) {
  const std::vector<SampleStretch> clean = complement(noisy, record.ecg.samples.size());
  const double rate = record.ecg.rate;
  const auto inNoise = [&](double at) { return inside(noisy, at); };
  const double window = kMatchWindowMs * rate / 1000.0;
  const auto readable = [&](double at) { return !inOrAt(found.unreadable, at, 0); };
  const auto readableReference = [&](double at) { return !inOrAt(found.unreadable, at, window); };
  const auto readableInNoise = [&](double at) { return inNoise(at) && readable(at); };
  const auto readableReferenceInNoise = [&](double at) {
    return inNoise(at) && readableReference(at);
  };
  const auto anywhere = [](double) { return true; };
  Outcome outcome;
  outcome.noisyBeats = std::ranges::count_if(record.reference, inNoise);
  outcome.allBeats = static_cast<long long>(record.reference.size());
  outcome.noisyAll = scoreWhere(found.beats, record.reference, rate, inNoise);
  outcome.noisyReadable =
      scoreWhere(found.beats, record.reference, rate, readableInNoise, readableReferenceInNoise);
  outcome.wholeAll = scoreWhere(found.beats, record.reference, rate, anywhere);
  outcome.wholeReadable =
      scoreWhere(found.beats, record.reference, rate, readable, readableReference);
  outcome.noisyTime = totalLength(noisy);
  outcome.cleanTime = totalLength(clean);
  outcome.unreadableNoisy = overlapLength(found.unreadable, noisy);
  outcome.unreadableClean = overlapLength(found.unreadable, clean);
  return outcome;
}

void addCounts(Scoring& total, const Scoring& part) {
  total.truePositives += part.truePositives;
  total.falseNegatives += part.falseNegatives;
  total.falsePositives += part.falsePositives;
}

void addOutcome(Outcome& total, const Outcome& part) {
  total.noisyBeats += part.noisyBeats;
  total.allBeats += part.allBeats;
  addCounts(total.noisyAll, part.noisyAll);
  addCounts(total.noisyReadable, part.noisyReadable);
  addCounts(total.wholeAll, part.wholeAll);
  addCounts(total.wholeReadable, part.wholeReadable);
  total.noisyTime += part.noisyTime;
  total.cleanTime += part.cleanTime;
  total.unreadableNoisy += part.unreadableNoisy;
  total.unreadableClean += part.unreadableClean;
}

double percentOf(double part, double whole) {
  return whole > 0 ? 100.0 * part / whole : 0.0;
}

void printColumnKey() {
  std::printf(
      "Columns (Se and +P in %%, beats matched within %.0f ms):\n"
      "  beats noisy, all             reference beats in the noisy stretches, in the whole record\n"
      "  noisy stretches, all         Se and +P of the reference beats and detections inside\n"
      "                               the noisy stretches (where noise was added)\n"
      "  noisy stretches, readable    the same, less the reference beats and detections\n"
      "                               inside the detector's unreadable stretches\n"
      "  whole record, all            every reference beat and detection of the record\n"
      "  whole record, readable       the same, less those inside the unreadable stretches\n"
      "  unreadable, noisy            share of the noisy time the detector marked unreadable\n"
      "  unreadable, clean            share of the clean time (no noise added) it marked\n"
      "  (TP FN FP)                   the counts of noisy stretches, all\n"
      "Without noise, the noisy stretches are the same stretches of the clean record.\n\n",
      kMatchWindowMs);
}

void printTableHead(const std::string& title) {
  std::printf("%s\n", title.c_str());
  std::printf("%-19s | %-29s | %-29s | %-13s |\n", "", "noisy stretches", "whole record",
              "unreadable %");
  std::printf("%-7s %-11s | %-13s | %-13s | %-13s | %-13s | %-13s |\n", "", "beats", "all",
              "readable", "all", "readable", "of the time");
  std::printf("%-7s %5s %5s | %6s %6s | %6s %6s | %6s %6s | %6s %6s | %6s %6s |\n", "record",
              "noisy", "all", "Se", "+P", "Se", "+P", "Se", "+P", "Se", "+P", "noisy", "clean");
}

void printRow(const std::string& name, const Outcome& o) {
  std::printf(
      "%-7s %5lld %5lld | %6.2f %6.2f | %6.2f %6.2f | %6.2f %6.2f | %6.2f %6.2f | %6.2f %6.2f | "
      "(%lld %lld %lld)\n",
      name.c_str(), o.noisyBeats, o.allBeats, o.noisyAll.sensitivityPct(),
      o.noisyAll.positivePredictivityPct(), o.noisyReadable.sensitivityPct(),
      o.noisyReadable.positivePredictivityPct(), o.wholeAll.sensitivityPct(),
      o.wholeAll.positivePredictivityPct(), o.wholeReadable.sensitivityPct(),
      o.wholeReadable.positivePredictivityPct(), percentOf(o.unreadableNoisy, o.noisyTime),
      percentOf(o.unreadableClean, o.cleanTime), o.noisyAll.truePositives,
      o.noisyAll.falseNegatives, o.noisyAll.falsePositives);
}

// Detects and scores every record with `noise` times scaleOf(record) added in
// its noisy stretches; prints a row a record and one for the records pooled.
void runCondition(const std::string& title, std::span<const CleanRecord> records,
                  std::span<const double> noise, const auto& scaleOf) {
  printTableHead(title);
  Outcome pooled;
  for (const CleanRecord& record : records) {
    const std::vector<SampleStretch> noisy =
        noisyStretches(record.ecg.samples.size(), record.ecg.rate);
    const std::vector<double> mixed = withNoise(record.ecg.samples, noise, scaleOf(record), noisy);
    const rrscope::beats::DetectedBeats found =
        rrscope::pipeline::detectBeatsInBlocks(rrscope::beats::SpanSamples(mixed), record.ecg.rate);
    const Outcome outcome = scoreRecord(found, record, noisy);
    printRow(record.name, outcome);
    addOutcome(pooled, outcome);
  }
  printRow("pooled", pooled);
  std::printf("\n");
}

int run(const std::string& mitdb, const std::string& nstdb, std::span<const std::string> names,
        bool alsoOld) {
  std::vector<CleanRecord> records;
  std::printf(
      "%-7s %8s %10s   (QRS peak-to-peak amplitude A: the database's trimmed mean; the "
      "earlier median)\n",
      "record", "A mV", "median mV");
  for (const std::string& name : names) {
    records.push_back(readCleanRecord(mitdb, name));
    std::printf("%-7s %8.3f %10.3f\n", name.c_str(), records.back().qrsAmplitude,
                records.back().medianAmplitude);
  }
  std::printf("\n");

  std::vector<Lead> noises;
  for (const std::string_view kind : kNoiseKinds) {
    noises.push_back(readSignalZero(nstdb + "/" + std::string(kind) + ".hea"));
    const Lead& noise = noises.back();
    std::printf(
        "noise %s: %zu samples at %.0f Hz, R = %.5f mV (windowed, trimmed), "
        "whole-record RMS %.5f mV\n",
        std::string(kind).c_str(), noise.samples.size(), noise.rate,
        noiseAmplitude(noise.samples, noise.rate), std::sqrt(meanSquare(noise.samples)));
    for (const CleanRecord& record : records) {
      if (noise.rate != record.ecg.rate || noise.samples.size() < record.ecg.samples.size()) {
        std::fprintf(stderr, "noise %s does not cover record %s at its rate\n",
                     std::string(kind).c_str(), record.name.c_str());
        return 1;
      }
    }
  }
  std::printf("\n");
  printColumnKey();

  runCondition("no noise", records, noises.front().samples, [](const CleanRecord&) { return 0.0; });
  for (std::size_t k = 0; k < kNoiseKinds.size(); ++k) {
    const double noise = noiseAmplitude(noises[k].samples, noises[k].rate);
    const double noisePower = meanSquare(noises[k].samples);
    for (const double snr : kSnrsDb) {
      const std::string kind(kNoiseKinds[k]);
      char title[96];
      std::snprintf(title, sizeof title, "%s at %.0f dB", kind.c_str(), snr);
      runCondition(title, records, noises[k].samples, [&](const CleanRecord& record) {
        return noiseScale(record.qrsAmplitude, noise, snr);
      });
      if (!alsoOld) continue;
      std::snprintf(title, sizeof title, "%s at %.0f dB, the earlier scale", kind.c_str(), snr);
      runCondition(title, records, noises[k].samples, [&](const CleanRecord& record) {
        return oldNoiseScale(record.medianAmplitude, noisePower, snr);
      });
    }
  }
  return 0;
}

// ---- start-up transients ----------------------------------------------------
//
//   rrscope_bench_noise MITDB_FOLDER NSTDB_FOLDER transients RECORD...
//
// Each case puts one artefact at the start of the record and the same once
// in the middle (at 15 minutes), as a device does when it starts and when
// an electrode comes off and back: Se and +P over the whole record, pooled,
// beside those of the unmodified record. The reference beats and the
// detections inside a stretch where the artefact replaces the ECG (the
// saturation, the flat lead) are left out: nothing there can be found.

constexpr double kMiddleSeconds = 900.0;
// The ringing of an amplifier starting: a damped 25 Hz oscillation.
constexpr double kRingingHertz = 25.0;
// The rail of a Holter recorder of 11 bits at 200 steps per mV.
constexpr double kRailMv = 5.12;
constexpr double kSaturationSeconds = 2.0;
// A lead coming back after being off: flat, then the ECG on a step that an
// amplifier's high-pass takes back with this time constant.
constexpr double kLeadOffSeconds = 4.0;
constexpr double kStepMv = 3.0;
constexpr double kStepDecaySeconds = 1.0;

struct Transient {
  std::string name;
  // Puts the artefact into `ecg` from sample `at`; returns the stretch in
  // which it replaces the ECG (empty when it only adds to it).
  std::function<SampleStretch(std::vector<double>& ecg, std::size_t at, double rate)> apply;
};

SampleStretch ringing(std::vector<double>& ecg, std::size_t at, double rate, double mv,
                      double seconds) {
  const auto length = static_cast<std::size_t>(seconds * rate);
  for (std::size_t i = 0; i < length && at + i < ecg.size(); ++i) {
    const double t = static_cast<double>(i) / rate;
    ecg[at + i] += mv * std::exp(-3.0 * t / seconds) * std::sin(2 * M_PI * kRingingHertz * t);
  }
  return {};
}

SampleStretch saturation(std::vector<double>& ecg, std::size_t at, double rate) {
  const auto length = static_cast<std::size_t>(kSaturationSeconds * rate);
  const std::size_t end = std::min(ecg.size(), at + length);
  std::fill(ecg.begin() + static_cast<std::ptrdiff_t>(at),
            ecg.begin() + static_cast<std::ptrdiff_t>(end), kRailMv);
  return {static_cast<double>(at), static_cast<double>(end)};
}

SampleStretch leadOff(std::vector<double>& ecg, std::size_t at, double rate) {
  const auto flat = static_cast<std::size_t>(kLeadOffSeconds * rate);
  const std::size_t end = std::min(ecg.size(), at + flat);
  std::fill(ecg.begin() + static_cast<std::ptrdiff_t>(at),
            ecg.begin() + static_cast<std::ptrdiff_t>(end), 0.0);
  for (std::size_t i = end; i < ecg.size(); ++i) {
    const double t = static_cast<double>(i - end) / rate;
    if (t > 8 * kStepDecaySeconds) break;
    ecg[i] += kStepMv * std::exp(-t / kStepDecaySeconds);
  }
  return {static_cast<double>(at), static_cast<double>(end)};
}

std::vector<Transient> transients() {
  std::vector<Transient> cases;
  for (const double mv : {1.0, 10.0}) {
    for (const double seconds : {0.02, 0.2}) {
      char name[64];
      std::snprintf(name, sizeof name, "ringing %.0f ms at %.0f mV", seconds * 1000, mv);
      cases.push_back({name, [=](std::vector<double>& ecg, std::size_t at, double rate) {
                         return ringing(ecg, at, rate, mv, seconds);
                       }});
    }
  }
  cases.push_back({"2 s at the rail", saturation});
  cases.push_back({"lead off 4 s, then a 3 mV step", leadOff});
  return cases;
}

Scoring scoreOutside(const rrscope::beats::DetectedBeats& found, const CleanRecord& record,
                     std::span<const SampleStretch> hidden) {
  const auto visible = [&](double position) { return !inside(hidden, position); };
  return scoreWhere(found.beats, record.reference, record.ecg.rate, visible);
}

void printTransientRow(const std::string& name, const Scoring& s, const Scoring& clean) {
  std::printf("%-34s | %7.2f %7.2f | %+6.2f %+6.2f | (%lld %lld %lld)\n", name.c_str(),
              s.sensitivityPct(), s.positivePredictivityPct(),
              s.sensitivityPct() - clean.sensitivityPct(),
              s.positivePredictivityPct() - clean.positivePredictivityPct(), s.truePositives,
              s.falseNegatives, s.falsePositives);
}

int runTransients(const std::string& mitdb, std::span<const std::string> names) {
  std::vector<CleanRecord> records;
  for (const std::string& name : names) records.push_back(readCleanRecord(mitdb, name));
  std::printf("%-34s | %7s %7s | %6s %6s | (TP FN FP), pooled over %zu records\n", "case", "Se %",
              "+P %", "dSe", "d+P", records.size());
  Scoring clean;
  std::vector<Scoring> cleanOf;
  for (const CleanRecord& record : records) {
    const auto found = rrscope::pipeline::detectBeatsInBlocks(
        rrscope::beats::SpanSamples(record.ecg.samples), record.ecg.rate);
    cleanOf.push_back(scoreOutside(found, record, {}));
    addCounts(clean, cleanOf.back());
  }
  printTransientRow("unmodified", clean, clean);
  for (const Transient& transient : transients()) {
    Scoring pooled;
    Scoring cleanHere;
    std::string worst;
    double worstDrop = 0;
    for (std::size_t r = 0; r < records.size(); ++r) {
      const CleanRecord& record = records[r];
      std::vector<double> ecg = record.ecg.samples;
      const double rate = record.ecg.rate;
      std::vector<SampleStretch> hidden;
      for (const double at : {0.0, kMiddleSeconds * rate}) {
        if (at >= static_cast<double>(ecg.size())) continue;
        const SampleStretch replaced = transient.apply(ecg, static_cast<std::size_t>(at), rate);
        if (replaced.end > replaced.begin) hidden.push_back(replaced);
      }
      const auto found =
          rrscope::pipeline::detectBeatsInBlocks(rrscope::beats::SpanSamples(ecg), rate);
      const Scoring s = scoreOutside(found, record, hidden);
      // The unmodified record scored over the same beats.
      const auto cleanFound = rrscope::pipeline::detectBeatsInBlocks(
          rrscope::beats::SpanSamples(record.ecg.samples), rate);
      const Scoring c = scoreOutside(cleanFound, record, hidden);
      addCounts(pooled, s);
      addCounts(cleanHere, c);
      const double loss = std::max(c.sensitivityPct() - s.sensitivityPct(),
                                   c.positivePredictivityPct() - s.positivePredictivityPct());
      if (loss > worstDrop) {
        worstDrop = loss;
        worst = record.name;
      }
    }
    printTransientRow(transient.name, pooled, cleanHere);
    if (!worst.empty())
      std::printf("%34s   worst record %s: %.2f points lost\n", "", worst.c_str(), worstDrop);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const auto old = std::ranges::find(args, "old");
  const bool alsoOld = old != args.end();
  if (alsoOld) args.erase(old);
  if (args.size() < 3) {
    std::fprintf(stderr, "usage: rrscope_bench_noise MITDB_FOLDER NSTDB_FOLDER [old] RECORD...\n");
    return 2;
  }
  try {
    if (args[2] == "transients") return runTransients(args[0], std::span(args).subspan(3));
    return run(args[0], args[1], std::span(args).subspan(2), alsoOld);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "rrscope_bench_noise: %s\n", error.what());
    return 1;
  }
}
