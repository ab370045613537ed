// Accuracy and speed of the beat detector and the artefact correction.
//
//   rrscope_bench_beats accuracy RECORD.hea...
//       detects the beats of signal 0 of each WFDB record at the record's own
//       rate, as the batch tool does, and compares them with the record's
//       .atr beats: Se and +P at 150 ms, the error of the intervals between
//       matched normally conducted beats, the RMSSD of those intervals, and
//       the unreadable share of the record; one line per record and the pool
//   rrscope_bench_beats sensitivity RECORD.hea...
//       the pooled missed and false beats, Se, +P, interval RMS and
//       unreadable share of `accuracy` with each of the detector's own
//       thresholds (DetectorTuning) at 0.8 and 1.2 times its default, the
//       others at theirs, and the differences from the defaults
//   rrscope_bench_beats classes RECORD.hea...   (LEAD=1 in the environment: signal 1)
//       analyses signal 0 of each WFDB record as `rrscope-batch --correct`
//       does and compares its beat classes with the .atr labels mapped to
//       the EC57 classes: Se and +P of V and S; and SDNN, RMSSD, pNN50 and
//       LF/HF of the NN series against those of the experts' NN series
//       (consecutive beats both N, L or R, flutter left out), as relative
//       differences; one line per record and the pool
//   rrscope_bench_beats classes-detail RECORD.hea
//       one record's classes against the .atr labels as a table (rows: the
//       experts' class, columns: ours, '-' for no beat) and its longest NN
//       intervals; with LIST set in the environment, every beat classed
//       otherwise than by the experts
//   rrscope_bench_beats rates RECORD.hea...
//       every record resampled to 128, 250, 500 and 1000 per second and its
//       complexes scaled to 0.2, 1 and 5 mV: Se and +P pooled
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
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/run_stages.h"
#include "beats/artefact_correction.h"
#include "beats/beat_class.h"
#include "beats/beat_file.h"
#include "beats/beat_scoring.h"
#include "beats/r_peak_detector.h"
#include "hrv/hrv_measures.h"
#include "pipeline/blockwise_detection.h"
#include "pipeline/line_samples.h"
#include "pipeline/recording_analysis.h"
#include "pipeline/recording_samples.h"
#include "recordings/read_recording.h"
#include "recordings/wfdb_annotations.h"
#include "statistics/order_statistics.h"

namespace {

using rrscope::statistics::upperMedian;

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

double peakResidentMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

std::vector<double> detectInFile(const std::string& path, double rate) {
  const rrscope::analysis::SampleLines lines = rrscope::analysis::readSampleFile(path);
  return rrscope::beats::detectRPeaks(rrscope::pipeline::LineSamples(lines), rate);
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
    rrscope::analysis::SampleLines lines;
    const Timing loading = timed([&] { lines = rrscope::analysis::readSampleFile(path); });
    const Timing detecting = timed([&] {
      beats = rrscope::beats::detectRPeaks(rrscope::pipeline::LineSamples(lines), kRate).size();
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
      upperMedian(load), upperMedian(detect), upperMedian(total), repeat, upperMedian(processor));
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
      beats.size(), 1000 * upperMedian(times), repeat, 1000 * upperMedian(processor), corrected);
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

// The annotation types that open and close ventricular flutter: the experts
// annotate no beats between them, so nothing there can be compared.
constexpr int kFlutterOnset = 32;  // '['
constexpr int kFlutterEnd = 33;    // ']'

using rrscope::beats::SampleStretch;
using rrscope::beats::Scoring;

// Beats conducted from the atria through the normal pathway: their
// intervals carry the variability that RMSSD is meant to describe.
bool isNormallyConducted(char label) {
  return label != '\0' && std::string_view("NLRej/").find(label) != std::string_view::npos;
}

// Reference beats in samples at the recording's rate, with their labels.
struct LabelledBeats {
  std::vector<double> positions;
  std::vector<char> labels;
};

// What an annotation file says about a record.
struct RecordAnnotations {
  LabelledBeats beats;
  std::vector<SampleStretch> flutter;
};

std::string annotationPathOf(const std::string& headerPath) {
  std::filesystem::path path(headerPath);
  path.replace_extension(".atr");
  return path.string();
}

// From each flutter onset to its end, marks included; an onset left open
// lasts to the end of the record.
std::vector<SampleStretch> flutterStretches(std::span<const rrscope::recordings::Annotation> marks,
                                            double samplesPerTick, double recordEnd) {
  std::vector<SampleStretch> stretches;
  bool inFlutter = false;
  for (const auto& mark : marks) {
    const double at = static_cast<double>(mark.sample) * samplesPerTick;
    if (mark.code == kFlutterOnset && !inFlutter) {
      stretches.push_back({at, recordEnd});
      inFlutter = true;
    } else if (mark.code == kFlutterEnd && inFlutter) {
      stretches.back().end = at;
      inFlutter = false;
    }
  }
  return stretches;
}

// The beats as the batch tool reads them for --reference=atr, with labels
// and flutter stretches from the same file.
RecordAnnotations readRecordAnnotations(const std::string& headerPath,
                                        const rrscope::recordings::Recording& recording) {
  namespace rec = rrscope::recordings;
  const rec::AnnotationFile file = rec::readAnnotations(annotationPathOf(headerPath));
  RecordAnnotations result;
  for (const std::int64_t sample : rec::beatSamples(file, recording.rate, recording.rate)) {
    result.beats.positions.push_back(static_cast<double>(sample));
  }
  for (const rec::Annotation& annotation : file.annotations) {
    if (rec::isBeatCode(annotation.code))
      result.beats.labels.push_back(rec::beatLabel(annotation.code));
  }
  if (result.beats.labels.size() != result.beats.positions.size()) {
    throw std::runtime_error(headerPath + ": beat labels and positions disagree in number");
  }
  const double samplesPerTick =
      recording.rate.hertz() / file.timeResolution.value_or(recording.rate).hertz();
  result.flutter = flutterStretches(file.annotations, samplesPerTick,
                                    static_cast<double>(recording.sampleCount()));
  return result;
}

bool insideAny(std::span<const SampleStretch> stretches, double position) {
  return std::ranges::any_of(stretches, [position](const SampleStretch& s) {
    return position >= s.begin && position <= s.end;
  });
}

// How many stretches end before `position`: two beats with different counts
// have a stretch between them.
std::size_t stretchesBefore(std::span<const SampleStretch> stretches, double position) {
  return static_cast<std::size_t>(std::ranges::count_if(
      stretches, [position](const SampleStretch& s) { return s.end < position; }));
}

std::vector<double> outsideStretches(std::span<const double> positions,
                                     std::span<const SampleStretch> stretches) {
  std::vector<double> kept;
  for (const double position : positions) {
    if (!insideAny(stretches, position)) kept.push_back(position);
  }
  return kept;
}

LabelledBeats outsideStretches(const LabelledBeats& beats,
                               std::span<const SampleStretch> stretches) {
  LabelledBeats kept;
  for (std::size_t i = 0; i < beats.positions.size(); ++i) {
    if (insideAny(stretches, beats.positions[i])) continue;
    kept.positions.push_back(beats.positions[i]);
    kept.labels.push_back(beats.labels[i]);
  }
  return kept;
}

// The interval from reference beat `first` to the next, both normally
// conducted, as the detector and as the experts place it.
struct MatchedInterval {
  std::size_t first = 0;
  double detectedMs = 0, referenceMs = 0;
};

// The intervals whose two beats are matched to two detections with none
// between them, and that cross no excluded stretch: there the detected
// interval is the same interval as the experts'.
std::vector<MatchedInterval> matchedNormalIntervals(
    const LabelledBeats& reference, std::span<const double> detected,
    std::span<const std::optional<std::size_t>> matches, std::span<const SampleStretch> excluded,
    double rate) {
  std::vector<MatchedInterval> intervals;
  const auto& at = reference.positions;
  for (std::size_t k = 0; k + 1 < at.size(); ++k) {
    const bool normal =
        isNormallyConducted(reference.labels[k]) && isNormallyConducted(reference.labels[k + 1]);
    const bool consecutive = matches[k] && matches[k + 1] && *matches[k + 1] == *matches[k] + 1;
    const bool unbroken = stretchesBefore(excluded, at[k]) == stretchesBefore(excluded, at[k + 1]);
    if (!normal || !consecutive || !unbroken) continue;
    intervals.push_back({k, (detected[*matches[k + 1]] - detected[*matches[k]]) * 1000.0 / rate,
                         (at[k + 1] - at[k]) * 1000.0 / rate});
  }
  return intervals;
}

double rootMeanOf(double squares, long long count) {
  return count == 0 ? 0.0 : std::sqrt(squares / static_cast<double>(count));
}

// Squared differences of successive intervals, for RMSSD.
struct SuccessiveDifferences {
  double detectedSquares = 0, referenceSquares = 0;
  long long count = 0;

  double detectedRmssd() const { return rootMeanOf(detectedSquares, count); }
  double referenceRmssd() const { return rootMeanOf(referenceSquares, count); }
  // detected / reference - 1, in percent.
  double differencePct() const {
    return referenceSquares == 0 ? 0.0 : 100.0 * (detectedRmssd() / referenceRmssd() - 1.0);
  }
};

// Over pairs of adjacent intervals (sharing a beat) only.
SuccessiveDifferences successiveDifferences(std::span<const MatchedInterval> intervals) {
  SuccessiveDifferences result;
  for (std::size_t i = 1; i < intervals.size(); ++i) {
    const MatchedInterval& a = intervals[i - 1];
    const MatchedInterval& b = intervals[i];
    if (b.first != a.first + 1) continue;
    const double detected = b.detectedMs - a.detectedMs;
    const double reference = b.referenceMs - a.referenceMs;
    result.detectedSquares += detected * detected;
    result.referenceSquares += reference * reference;
    ++result.count;
  }
  return result;
}

std::vector<double> intervalErrorsMs(std::span<const MatchedInterval> intervals) {
  std::vector<double> errors;
  for (const MatchedInterval& interval : intervals) {
    errors.push_back(interval.detectedMs - interval.referenceMs);
  }
  return errors;
}

double rootMeanSquare(std::span<const double> values) {
  if (values.empty()) return 0.0;
  double squares = 0;
  for (const double v : values) squares += v * v;
  return std::sqrt(squares / static_cast<double>(values.size()));
}

// The nearest-rank percentile of the magnitudes.
double magnitudePercentile(std::span<const double> values, double percent) {
  if (values.empty()) return 0.0;
  std::vector<double> magnitudes;
  for (const double v : values) magnitudes.push_back(std::abs(v));
  std::ranges::sort(magnitudes);
  const auto rank =
      static_cast<std::size_t>(std::ceil(percent / 100.0 * static_cast<double>(magnitudes.size())));
  return magnitudes[std::clamp<std::size_t>(rank, 1, magnitudes.size()) - 1];
}

double stretchSeconds(std::span<const SampleStretch> stretches, double rate) {
  double samples = 0;
  for (const SampleStretch& s : stretches) samples += s.end - s.begin;
  return samples / rate;
}

// How the detector did on one record, or on several pooled.
struct RecordAccuracy {
  std::string name;
  std::size_t referenceBeats = 0;
  Scoring scoring;
  std::vector<double> intervalErrorsMs;
  SuccessiveDifferences successive;
  double seconds = 0, unreadableSeconds = 0, flutterSeconds = 0;
};

// Signal 0 of a record and its annotations, read once so that the detector
// can run on them many times.
struct ReadRecord {
  std::string headerPath;
  rrscope::recordings::Recording recording;
  RecordAnnotations annotations;
};

ReadRecord readRecord(const std::string& headerPath) {
  namespace rec = rrscope::recordings;
  ReadRecord read{headerPath, rec::readWfdbRecording(headerPath, rec::ChannelRequest{"0"}), {}};
  read.annotations = readRecordAnnotations(headerPath, read.recording);
  return read;
}

RecordAccuracy measureRecord(const ReadRecord& read,
                             const rrscope::beats::DetectorTuning& tuning = {}) {
  const std::string& headerPath = read.headerPath;
  const rrscope::recordings::Recording& recording = read.recording;
  const double rate = recording.rate.hertz();
  const RecordAnnotations& annotations = read.annotations;
  const rrscope::beats::DetectedBeats found = rrscope::pipeline::detectBeatsInBlocks(
      rrscope::pipeline::RecordingSamples(recording), rate, {}, tuning);

  const std::vector<double> detected = outsideStretches(found.beats, annotations.flutter);
  const LabelledBeats reference = outsideStretches(annotations.beats, annotations.flutter);
  const double windowMs = rrscope::beats::kDefaultMatchWindowMs;
  RecordAccuracy result;
  result.name = std::filesystem::path(headerPath).stem().string();
  result.referenceBeats = reference.positions.size();
  result.scoring = rrscope::beats::scoreBeats(detected, reference.positions, rate, windowMs);

  const auto matches = rrscope::beats::matchBeats(detected, reference.positions, rate, windowMs);
  const std::vector<MatchedInterval> intervals =
      matchedNormalIntervals(reference, detected, matches, annotations.flutter, rate);
  result.intervalErrorsMs = intervalErrorsMs(intervals);
  result.successive = successiveDifferences(intervals);
  result.seconds = recording.durationSeconds();
  result.unreadableSeconds = stretchSeconds(found.unreadable, rate);
  result.flutterSeconds = stretchSeconds(annotations.flutter, rate);
  return result;
}

void addTo(RecordAccuracy& pool, const RecordAccuracy& record) {
  pool.referenceBeats += record.referenceBeats;
  pool.scoring.truePositives += record.scoring.truePositives;
  pool.scoring.falseNegatives += record.scoring.falseNegatives;
  pool.scoring.falsePositives += record.scoring.falsePositives;
  pool.intervalErrorsMs.insert(pool.intervalErrorsMs.end(), record.intervalErrorsMs.begin(),
                               record.intervalErrorsMs.end());
  pool.successive.detectedSquares += record.successive.detectedSquares;
  pool.successive.referenceSquares += record.successive.referenceSquares;
  pool.successive.count += record.successive.count;
  pool.seconds += record.seconds;
  pool.unreadableSeconds += record.unreadableSeconds;
  pool.flutterSeconds += record.flutterSeconds;
}

void printAccuracyHeading() {
  std::printf("%-7s %6s | %6s %4s %4s | %7s %7s | %6s %7s %7s | %5s %7s %7s %7s | %10s %7s\n",
              "record", "beats", "TP", "FN", "FP", "Se %", "+P %", "RR", "RMS ms", "p99 ms",
              "pairs", "RMSSD", "ref ms", "diff %", "unreadable", "flutter");
}

void printAccuracyRow(const RecordAccuracy& r) {
  const Scoring& s = r.scoring;
  std::printf(
      "%-7s %6zu | %6lld %4lld %4lld | %7.2f %7.2f | %6zu %7.2f %7.2f | %5lld %7.2f %7.2f %+7.2f "
      "| %9.2f%% %6.1fs\n",
      r.name.c_str(), r.referenceBeats, s.truePositives, s.falseNegatives, s.falsePositives,
      s.sensitivityPct(), s.positivePredictivityPct(), r.intervalErrorsMs.size(),
      rootMeanSquare(r.intervalErrorsMs), magnitudePercentile(r.intervalErrorsMs, 99),
      r.successive.count, r.successive.detectedRmssd(), r.successive.referenceRmssd(),
      r.successive.differencePct(), r.seconds == 0 ? 0.0 : 100.0 * r.unreadableSeconds / r.seconds,
      r.flutterSeconds);
}

int accuracy(std::span<const std::string> headerPaths) {
  std::vector<RecordAccuracy> records;
  for (const std::string& path : headerPaths) records.push_back(measureRecord(readRecord(path)));
  std::ranges::sort(records, {}, &RecordAccuracy::name);

  printAccuracyHeading();
  RecordAccuracy pool;
  pool.name = "pooled";
  for (const RecordAccuracy& record : records) {
    printAccuracyRow(record);
    addTo(pool, record);
  }
  printAccuracyRow(pool);

  const auto worstRms = std::ranges::max_element(
      records, {}, [](const RecordAccuracy& r) { return rootMeanSquare(r.intervalErrorsMs); });
  const auto worstRmssd = std::ranges::max_element(
      records, {}, [](const RecordAccuracy& r) { return std::abs(r.successive.differencePct()); });
  if (worstRms != records.end()) {
    std::printf("worst interval RMS: %s %.2f ms; worst RMSSD difference: %s %+.2f %%\n",
                worstRms->name.c_str(), rootMeanSquare(worstRms->intervalErrorsMs),
                worstRmssd->name.c_str(), worstRmssd->successive.differencePct());
  }
  return 0;
}

// The thresholds of the detector that are this project's own, each moved by
// a fifth either way on its own, the others at their defaults.
struct Tunable {
  const char* name;
  double rrscope::beats::DetectorTuning::*field;
};
using Tuning = rrscope::beats::DetectorTuning;
constexpr std::array kTunables{
    Tunable{"learningSeconds", &Tuning::learningSeconds},
    Tunable{"learntHumpsPerSecond", &Tuning::learntHumpsPerSecond},
    Tunable{"levelCeiling", &Tuning::levelCeiling},
    Tunable{"standOutRatio", &Tuning::standOutRatio},
    Tunable{"artefactSlope", &Tuning::artefactSlope},
    Tunable{"relearnSeconds", &Tuning::relearnSeconds},
    Tunable{"relearnIntervals", &Tuning::relearnIntervals},
    Tunable{"relearnRatio", &Tuning::relearnRatio},
    Tunable{"initialIntervalSeconds", &Tuning::initialIntervalSeconds},
    Tunable{"qrsSlopeFraction", &Tuning::qrsSlopeFraction},
    Tunable{"sameShape", &Tuning::sameShape},
    Tunable{"relatedShape", &Tuning::relatedShape},
    Tunable{"templateMemory", &Tuning::templateMemory},
    Tunable{"noisyRelatedShape", &Tuning::noisyRelatedShape},
    Tunable{"onAWave", &Tuning::onAWave},
    Tunable{"longGap", &Tuning::longGap},
    Tunable{"rWaveFraction", &Tuning::rWaveFraction},
    Tunable{"hiddenBeatMatch", &Tuning::hiddenBeatMatch},
    Tunable{"hiddenBeatGain", &Tuning::hiddenBeatGain},
    Tunable{"pWaveSlope", &Tuning::pWaveSlope},
    Tunable{"pWaveMatch", &Tuning::pWaveMatch},
    Tunable{"pWaveGain", &Tuning::pWaveGain},
    Tunable{"sameCoupling", &Tuning::sameCoupling},
    Tunable{"noiseRatio", &Tuning::noiseRatio},
    Tunable{"aboveUsual", &Tuning::aboveUsual},
    Tunable{"roomForABeat", &Tuning::roomForABeat},
    Tunable{"regularStray", &Tuning::regularStray},
    Tunable{"commonShare", &Tuning::commonShare},
    Tunable{"trustedMatch", &Tuning::trustedMatch},
    Tunable{"noiseShapeShare", &Tuning::noiseShapeShare},
    Tunable{"inTheRhythm", &Tuning::inTheRhythm},
    Tunable{"resemblesMain", &Tuning::resemblesMain},
};
constexpr std::array kSensitivityFactors{0.8, 1.2};

RecordAccuracy pooledAccuracy(std::span<const ReadRecord> records, const Tuning& tuning) {
  RecordAccuracy pool;
  for (const ReadRecord& record : records) addTo(pool, measureRecord(record, tuning));
  return pool;
}

double unreadablePct(const RecordAccuracy& pool) {
  return pool.seconds == 0 ? 0.0 : 100.0 * pool.unreadableSeconds / pool.seconds;
}

void printSensitivityRow(const std::string& name, const std::string& value,
                         const RecordAccuracy& pool, const RecordAccuracy& defaults) {
  const Scoring& s = pool.scoring;
  const Scoring& d = defaults.scoring;
  const double rms = rootMeanSquare(pool.intervalErrorsMs);
  std::printf("%-22s %8s | %5lld %5lld %7.2f %7.2f %7.3f %7.3f | %+5lld %+5lld %+7.3f %+7.3f\n",
              name.c_str(), value.c_str(), s.falseNegatives, s.falsePositives, s.sensitivityPct(),
              s.positivePredictivityPct(), rms, unreadablePct(pool),
              s.falseNegatives - d.falseNegatives, s.falsePositives - d.falsePositives,
              rms - rootMeanSquare(defaults.intervalErrorsMs),
              unreadablePct(pool) - unreadablePct(defaults));
  std::fflush(stdout);
}

// Pooled Se, +P, interval RMS and unreadable share with each tunable
// threshold at 0.8 and 1.2 times its default, and their differences from
// the defaults' figures.
int sensitivity(std::span<const std::string> headerPaths) {
  std::vector<ReadRecord> records;
  for (const std::string& path : headerPaths) records.push_back(readRecord(path));
  const RecordAccuracy defaults = pooledAccuracy(records, {});
  std::printf("%-22s %8s | %5s %5s %7s %7s %7s %7s | %5s %5s %7s %7s\n", "threshold", "value", "FN",
              "FP", "Se %", "+P %", "RMS ms", "unread%", "dFN", "dFP", "dRMS", "dUnread");
  printSensitivityRow("(defaults)", "", defaults, defaults);
  for (const Tunable& tunable : kTunables) {
    for (const double factor : kSensitivityFactors) {
      Tuning tuning;
      tuning.*tunable.field *= factor;
      char value[32];
      std::snprintf(value, sizeof value, "%.4g", tuning.*tunable.field);
      printSensitivityRow(tunable.name, value, pooledAccuracy(records, tuning), defaults);
    }
  }
  return 0;
}

// ---- beat classes and the NN series ------------------------------------

using rrscope::beats::BeatClass;

// Counts of one class, EC57 style: reference beats of the class matched to
// detections of the class, all reference beats of the class, and all
// detections of the class that are counted for +P.
struct ClassCount {
  long long matched = 0, reference = 0, detected = 0;
  double sePct() const { return reference == 0 ? 0.0 : 100.0 * matched / reference; }
  double ppPct() const { return detected == 0 ? 0.0 : 100.0 * matched / detected; }
  void add(const ClassCount& o) {
    matched += o.matched;
    reference += o.reference;
    detected += o.detected;
  }
};

// Detections matched to reference beats without an EC57 class or of class
// Q, and for V those matched to F beats, count for neither Se nor +P.
ClassCount countClass(BeatClass wanted, std::span<const BeatClass> detectedClasses,
                      std::span<const char> labels,
                      std::span<const std::optional<std::size_t>> matches) {
  ClassCount count;
  std::vector<bool> matchedDetection(detectedClasses.size(), false);
  for (std::size_t k = 0; k < labels.size(); ++k) {
    const std::optional<BeatClass> truth = rrscope::beats::aamiClassOfLabel(labels[k]);
    if (truth == wanted) ++count.reference;
    if (!matches[k]) continue;
    matchedDetection[*matches[k]] = true;
    const bool found = detectedClasses[*matches[k]] == wanted;
    const bool ignored =
        !truth || *truth == BeatClass::Q || (wanted == BeatClass::V && *truth == BeatClass::F);
    if (found && truth == wanted) ++count.matched;
    if (found && !ignored) ++count.detected;
  }
  for (std::size_t d = 0; d < detectedClasses.size(); ++d) {
    if (!matchedDetection[d] && detectedClasses[d] == wanted) ++count.detected;
  }
  return count;
}

// The experts' NN series: intervals between consecutive reference beats
// both N, L or R, none crossing a flutter stretch.
std::vector<double> expertNnMs(const LabelledBeats& reference,
                               std::span<const SampleStretch> flutter, double rate) {
  std::vector<double> intervals;
  const auto nlr = [](char label) { return label == 'N' || label == 'L' || label == 'R'; };
  for (std::size_t k = 0; k + 1 < reference.positions.size(); ++k) {
    if (!nlr(reference.labels[k]) || !nlr(reference.labels[k + 1])) continue;
    if (stretchesBefore(flutter, reference.positions[k]) !=
        stretchesBefore(flutter, reference.positions[k + 1]))
      continue;
    intervals.push_back((reference.positions[k + 1] - reference.positions[k]) * 1000.0 / rate);
  }
  return intervals;
}

using rrscope::hrv::Measure;
constexpr std::array<Measure, 4> kComparedMeasures{Measure::sdnn, Measure::rmssd, Measure::pnn50,
                                                   Measure::lfHf};

struct RecordClasses {
  std::string name;
  bool paced = false;
  ClassCount v, s;
  std::array<double, 4> ours{}, experts{};
  std::size_t ourIntervals = 0, expertIntervals = 0;
  rrscope::beats::ClassCounts counts{};
};

std::array<double, 4> comparedValues(std::span<const double> intervalsMs) {
  const rrscope::hrv::Measures m = rrscope::hrv::computeMeasures(intervalsMs);
  std::array<double, 4> values{};
  for (std::size_t i = 0; i < kComparedMeasures.size(); ++i) {
    values[i] = m[kComparedMeasures[i]].optional().value_or(std::nan(""));
  }
  return values;
}

// Signal 0 of a record analysed as `rrscope-batch --correct` analyses it,
// with the record's annotations.
struct ClassedRecord {
  double rate = 0;
  RecordAnnotations annotations;
  rrscope::pipeline::RecordingAnalysis analysis;
};

ClassedRecord classedRecord(const std::string& headerPath) {
  namespace rec = rrscope::recordings;
  const rec::Recording recording = rec::readWfdbRecording(
      headerPath, rec::ChannelRequest{std::getenv("LEAD") ? std::getenv("LEAD") : "0"});
  rrscope::pipeline::RecordingAnalysisOptions options;
  options.correct = true;
  return {recording.rate.hertz(), readRecordAnnotations(headerPath, recording),
          rrscope::pipeline::analyseRecording(recording, options, std::nullopt)};
}

RecordClasses measureClasses(const std::string& headerPath) {
  const auto [rate, annotations, analysis] = classedRecord(headerPath);

  RecordClasses result;
  result.name = std::filesystem::path(headerPath).stem().string();
  const LabelledBeats reference = outsideStretches(annotations.beats, annotations.flutter);
  result.paced = std::ranges::find(reference.labels, '/') != reference.labels.end();
  std::vector<double> detected;
  std::vector<BeatClass> classes;
  for (std::size_t i = 0; i < analysis.nnBeats.size(); ++i) {
    if (insideAny(annotations.flutter, analysis.nnBeats[i])) continue;
    detected.push_back(analysis.nnBeats[i]);
    classes.push_back(analysis.nnClasses[i]);
  }
  const auto matches = rrscope::beats::matchBeats(detected, reference.positions, rate,
                                                  rrscope::beats::kDefaultMatchWindowMs);
  result.v = countClass(BeatClass::V, classes, reference.labels, matches);
  result.s = countClass(BeatClass::S, classes, reference.labels, matches);
  result.counts = rrscope::beats::countClasses(analysis.nnClasses);
  const std::vector<double> experts = expertNnMs(reference, annotations.flutter, rate);
  result.ours = comparedValues(analysis.nnMs);
  result.experts = comparedValues(experts);
  result.ourIntervals = analysis.nnMs.size();
  result.expertIntervals = experts.size();
  return result;
}

double relativePct(double ours, double experts) {
  return 100.0 * (ours / experts - 1.0);
}

void printClassRow(const RecordClasses& r) {
  std::printf("%-7s %5lld %5lld %7.2f %7.2f | %5lld %5lld %7.2f %7.2f |", r.name.c_str(),
              r.v.reference, r.v.detected, r.v.sePct(), r.v.ppPct(), r.s.reference, r.s.detected,
              r.s.sePct(), r.s.ppPct());
  if (r.name == "pooled") {
    std::printf("\n");
    return;
  }
  for (std::size_t i = 0; i < kComparedMeasures.size(); ++i) {
    std::printf(" %8.2f %8.2f %+7.1f |", r.ours[i], r.experts[i],
                relativePct(r.ours[i], r.experts[i]));
  }
  std::printf(" %6zu %6zu\n", r.ourIntervals, r.expertIntervals);
}

int classesBench(std::span<const std::string> headerPaths) {
  std::vector<RecordClasses> records;
  for (const std::string& path : headerPaths) records.push_back(measureClasses(path));
  std::printf("%-7s %5s %5s %7s %7s | %5s %5s %7s %7s | %-25s | %-25s | %-25s | %-25s | %6s %6s\n",
              "record", "V ref", "V det", "V Se", "V +P", "S ref", "S det", "S Se", "S +P",
              "SDNN ours, experts, %", "RMSSD ours, experts, %", "pNN50 ours, experts, %",
              "LF/HF ours, experts, %", "NN", "NN ref");
  RecordClasses pool, unpaced;
  pool.name = "pooled";
  unpaced.name = "pooled";
  int sdnnWithin = 0, rmssdWithin = 0;
  for (const RecordClasses& r : records) {
    printClassRow(r);
    pool.v.add(r.v);
    pool.s.add(r.s);
    if (!r.paced) unpaced.v.add(r.v);
    if (std::abs(relativePct(r.ours[0], r.experts[0])) <= 5) ++sdnnWithin;
    if (std::abs(relativePct(r.ours[1], r.experts[1])) <= 10) ++rmssdWithin;
  }
  printClassRow(pool);
  std::printf("V without paced records: Se %.2f %% +P %.2f %% (%lld ref, %lld det)\n",
              unpaced.v.sePct(), unpaced.v.ppPct(), unpaced.v.reference, unpaced.v.detected);
  std::printf("SDNN within 5 %%: %d of %zu; RMSSD within 10 %%: %d of %zu\n", sdnnWithin,
              records.size(), rmssdWithin, records.size());
  return 0;
}

// The confusion of one record's classes (rows: reference, columns: ours,
// '-' for no beat), and the longest intervals of our NN series.
int classesDetail(const std::string& headerPath) {
  const auto [rate, annotations, analysis] = classedRecord(headerPath);
  const LabelledBeats& reference = annotations.beats;
  const auto matches = rrscope::beats::matchBeats(analysis.nnBeats, reference.positions, rate,
                                                  rrscope::beats::kDefaultMatchWindowMs);
  const std::string letters = "NSVFQ";
  long long table[6][6] = {};
  std::vector<bool> used(analysis.nnBeats.size(), false);
  const bool listAll = std::getenv("LIST") != nullptr;
  for (std::size_t k = 0; k < reference.positions.size(); ++k) {
    const auto truth = rrscope::beats::aamiClassOfLabel(reference.labels[k]);
    const std::size_t row = truth ? static_cast<std::size_t>(*truth) : 5;
    std::size_t column = 5;
    if (matches[k]) {
      used[*matches[k]] = true;
      column = static_cast<std::size_t>(analysis.nnClasses[*matches[k]]);
    }
    ++table[row][column];
    if (listAll && row != column && row < 5) {
      std::printf("  %9.0f %8.2fs ref %c (%c) ours %c\n", reference.positions[k],
                  reference.positions[k] / rate, reference.labels[k], letters[row],
                  column < 5 ? letters[column] : '-');
    }
  }
  for (std::size_t d = 0; d < used.size(); ++d) {
    if (!used[d]) ++table[5][static_cast<std::size_t>(analysis.nnClasses[d])];
  }
  std::printf("ref\\ours     N      S      V      F      Q      -\n");
  for (std::size_t row = 0; row < 6; ++row) {
    std::printf("%c      ", row < 5 ? letters[row] : '-');
    for (std::size_t column = 0; column < 6; ++column) std::printf(" %6lld", table[row][column]);
    std::printf("\n");
  }
  std::vector<std::size_t> order(analysis.nnMs.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::ranges::sort(
      order, [&](std::size_t a, std::size_t b) { return analysis.nnMs[a] > analysis.nnMs[b]; });
  for (std::size_t i = 0; i < std::min<std::size_t>(order.size(), 8); ++i) {
    const std::size_t end = analysis.nnEnds[order[i]];
    std::printf("long NN %.0f ms ending at %.2f s\n", analysis.nnMs[order[i]],
                analysis.nnBeats[end] / rate);
  }
  // Our NN intervals whose two beats are not both matched to reference N
  // beats, by what the reference has there: what our series holds that the
  // experts' leaves out.
  std::vector<char> labelOf(analysis.nnBeats.size(), '-');
  for (std::size_t k = 0; k < reference.positions.size(); ++k) {
    if (matches[k]) labelOf[*matches[k]] = reference.labels[k];
  }
  std::map<std::string, int> foreign;
  for (const std::size_t end : analysis.nnEnds) {
    const std::string pair{labelOf[end - 1], labelOf[end]};
    const auto nlr = [](char c) { return c == 'N' || c == 'L' || c == 'R'; };
    if (!nlr(pair[0]) || !nlr(pair[1])) ++foreign[pair];
  }
  for (const auto& [pair, count] : foreign)
    std::printf("NN interval over %s: %d\n", pair.c_str(), count);
  if (const char* path = std::getenv("REFDUMP")) {
    FILE* out = std::fopen(path, "w");
    for (std::size_t d = 0; d < labelOf.size(); ++d)
      std::fprintf(out, "%c %c\n", labelOf[d],
                   rrscope::beats::beatClassLetter(analysis.nnClasses[d]));
    std::fclose(out);
  }
  return 0;
}

// ---- other rates and amplitudes ------------------------------------------

// The lead resampled to `rate` (linear interpolation of a running mean as
// wide as one new sample, so nothing aliases) and scaled by `gain`.
std::vector<double> resampled(std::span<const double> lead, double from, double rate, double gain) {
  const auto width = static_cast<std::size_t>(std::max(1.0, std::floor(from / rate)));
  std::vector<double> smooth(lead.size());
  double sum = 0;
  for (std::size_t i = 0; i < lead.size(); ++i) {
    sum += lead[i];
    if (i >= width) sum -= lead[i - width];
    smooth[i] = sum / static_cast<double>(std::min(i + 1, width));
  }
  const double lag = (static_cast<double>(width) - 1) / 2;
  const auto count = static_cast<std::size_t>(static_cast<double>(lead.size()) * rate / from);
  std::vector<double> out(count);
  for (std::size_t k = 0; k < count; ++k) {
    const double at = std::clamp(static_cast<double>(k) * from / rate + lag, 0.0,
                                 static_cast<double>(lead.size() - 1));
    const auto i = static_cast<std::size_t>(at);
    const double part = at - static_cast<double>(i);
    const double next = smooth[std::min(i + 1, lead.size() - 1)];
    out[k] = gain * (smooth[i] * (1 - part) + next * part);
  }
  return out;
}

//   rrscope_bench_beats rates RECORD.hea...
// Every record at 128, 250, 500 and 1000 per second, its QRS complexes
// scaled to a median range of 0.2, 1 and 5 mV: Se and +P pooled, beside the
// record at its own rate and amplitude.
int ratesBench(std::span<const std::string> headerPaths) {
  namespace rec = rrscope::recordings;
  constexpr std::array<double, 4> kRates{128, 250, 500, 1000};
  constexpr std::array<double, 3> kRanges{0.2, 1.0, 5.0};
  std::printf("%-8s %-6s | %7s %7s | (TP FN FP) pooled over %zu records\n", "rate", "mV", "Se %",
              "+P %", headerPaths.size());
  std::vector<std::vector<Scoring>> pooled(kRates.size() + 1, std::vector<Scoring>(kRanges.size()));
  for (const std::string& path : headerPaths) {
    const rec::Recording recording = rec::readWfdbRecording(path, rec::ChannelRequest{"0"});
    const double own = recording.rate.hertz();
    const std::vector<double> lead = rec::physicalSamples(recording);
    const RecordAnnotations annotations = readRecordAnnotations(path, recording);
    std::vector<double> ranges;
    const auto half = static_cast<std::ptrdiff_t>(0.05 * own);
    for (const double beat : annotations.beats.positions) {
      const auto at = static_cast<std::ptrdiff_t>(beat);
      if (at - half < 0 || at + half >= std::ssize(lead)) continue;
      const auto [low, high] =
          std::minmax_element(lead.begin() + at - half, lead.begin() + at + half + 1);
      ranges.push_back(*high - *low);
    }
    std::ranges::nth_element(ranges, ranges.begin() + std::ssize(ranges) / 2);
    const double range = ranges[ranges.size() / 2];
    for (std::size_t r = 0; r <= kRates.size(); ++r) {
      const double rate = r < kRates.size() ? kRates[r] : own;
      for (std::size_t a = 0; a < kRanges.size(); ++a) {
        if (r == kRates.size() && a > 0) continue;
        const double gain = r == kRates.size() ? 1.0 : kRanges[a] / range;
        const std::vector<double> x = resampled(lead, own, rate, gain);
        const auto found =
            rrscope::pipeline::detectBeatsInBlocks(rrscope::beats::SpanSamples(x), rate);
        std::vector<double> reference;
        for (const double beat : annotations.beats.positions)
          reference.push_back(beat * rate / own);
        const Scoring s = rrscope::beats::scoreBeats(found.beats, reference, rate);
        pooled[r][a].truePositives += s.truePositives;
        pooled[r][a].falseNegatives += s.falseNegatives;
        pooled[r][a].falsePositives += s.falsePositives;
      }
    }
  }
  for (std::size_t r = 0; r <= kRates.size(); ++r) {
    for (std::size_t a = 0; a < kRanges.size(); ++a) {
      if (r == kRates.size() && a > 0) continue;
      const Scoring& s = pooled[r][a];
      char rateText[16], rangeText[16];
      std::snprintf(rateText, sizeof rateText, "%.0f", r < kRates.size() ? kRates[r] : 360.0);
      std::snprintf(rangeText, sizeof rangeText, "%.1f", kRanges[a]);
      std::printf("%-8s %-6s | %7.2f %7.2f | (%lld %lld %lld)\n",
                  r < kRates.size() ? rateText : "own", r < kRates.size() ? rangeText : "own",
                  s.sensitivityPct(), s.positivePredictivityPct(), s.truePositives,
                  s.falseNegatives, s.falsePositives);
    }
  }
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
    if (args.size() >= 2 && args[0] == "accuracy") {
      return accuracy(std::span<const std::string>(args).subspan(1));
    }
    if (args.size() >= 2 && args[0] == "sensitivity") {
      return sensitivity(std::span<const std::string>(args).subspan(1));
    }
    if (args.size() == 2 && args[0] == "classes-detail") return classesDetail(args[1]);
    if (args.size() >= 2 && args[0] == "rates") {
      return ratesBench(std::span<const std::string>(args).subspan(1));
    }
    if (args.size() >= 2 && args[0] == "classes") {
      return classesBench(std::span<const std::string>(args).subspan(1));
    }
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
