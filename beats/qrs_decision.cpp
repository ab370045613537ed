#include "beats/qrs_decision.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <numeric>
#include <optional>
#include <span>

#include "beats/physiology.h"
#include "beats/value_statistics.h"
#include "statistics/order_statistics.h"

namespace rrscope::beats {
namespace {

// Timing rules after Pan and Tompkins (1985): the refractory period and the
// T-wave window (physiology.h). The thresholds of this project's own are in
// DetectorTuning.

// A candidate is a QRS complex when it rises a quarter of the way from the
// noise level to the signal level, in both signals.
constexpr double kThresholdFraction = 0.25;
// Running levels: each new peak weighs one eighth; a beat found in the
// search back, being closer to the noise, weighs one quarter.
constexpr double kPeakWeight = 0.125;
constexpr double kSearchBackWeight = 0.25;
// The search back accepts peaks above half the normal thresholds.
constexpr double kSearchBackScale = 0.5;
// The typical slope of the beats is their median once this many are known.
// Not tuned.
constexpr std::size_t kTypicalFromBeats = 3;

// A beat is missed when none comes within 166 % of the average interval; the
// average counts only intervals within 92 % to 116 % of itself, so that
// single early or late beats do not move it.
constexpr double kMissedBeatFactor = 1.66;
constexpr double kRegularLow = 0.92;
constexpr double kRegularHigh = 1.16;
constexpr std::size_t kAveragedIntervals = 8;
// Levels are learnt anew (DetectorTuning::relearnSeconds) only from a
// silence that holds at least three tall humps. Not tuned.
constexpr std::size_t kRelearnHumps = 3;

struct Level {
  double signal = 0;
  double noise = 0;
  double threshold() const { return noise + kThresholdFraction * (signal - noise); }
};

void towards(double& level, double peak, double weight) {
  level += weight * (peak - level);
}

struct Candidate {
  std::int64_t index = 0;
  double integrated = 0;  // height of the integration hump
  double bandPassed = 0;  // largest |band-passed| under the hump
  double slope = 0;       // steepest |slope| under the hump
};

// True when no sample within `reach` of i is higher, and none before it as high.
bool dominates(std::span<const double> x, std::int64_t i, std::int64_t reach) {
  const auto n = static_cast<std::int64_t>(x.size());
  for (std::int64_t j = std::max<std::int64_t>(0, i - reach); j < i; ++j) {
    if (x[j] >= x[i]) return false;
  }
  for (std::int64_t j = i + 1; j < std::min(n, i + reach + 1); ++j) {
    if (x[j] > x[i]) return false;
  }
  return true;
}

// Humps of the integrated signal. As Hamilton and Tompkins do, a peak that
// precedes or follows a larger one by less than the refractory period is
// ignored: this leaves one candidate per QRS complex, at its largest hump,
// and drops the ripples, P waves and T waves right beside it.
std::vector<Candidate> findCandidates(const QrsSignals& s, std::int64_t refractory) {
  std::vector<Candidate> candidates;
  const auto n = static_cast<std::int64_t>(s.integrated.size());
  const std::int64_t half = s.integrationHalfWidth;
  for (std::int64_t i = 1; i + 1 < n; ++i) {
    const double v = s.integrated[i];
    if (!(v > s.integrated[i - 1] && v >= s.integrated[i + 1]) || v <= 0) continue;
    if (!dominates(s.integrated, i, refractory)) continue;
    const std::int64_t begin = std::max<std::int64_t>(0, i - half);
    const auto width = static_cast<std::size_t>(std::min(n, i + half + 1) - begin);
    candidates.push_back({i, v, largestMagnitude(std::span(s.bandPassed).subspan(begin, width)),
                          largestMagnitude(std::span(s.slope).subspan(begin, width))});
  }
  return candidates;
}

class Decision {
 public:
  Decision(const QrsSignals& s, std::span<const Candidate> candidates, const DetectorTuning& tuning)
      : tuning_(tuning),
        refractory_(std::llround(kRefractorySeconds * s.rate)),
        tWave_(std::llround(kTWaveSeconds * s.rate)),
        averageAll_(tuning.initialIntervalSeconds * s.rate),
        averageRegular_(averageAll_),
        relearnGap_(std::llround(tuning.relearnSeconds * s.rate)),
        integratedSignal_(s.integrated) {
    learn(s, candidates);
  }

  void consider(const Candidate& c) {
    while (overdue(c.index) && (searchBack() || relearn(c.index))) {
    }
    if (lastBeat_ && c.index - *lastBeat_ < refractory_) return;
    if (c.integrated > integrated_.threshold() && c.bandPassed > bandPassed_.threshold() &&
        !isTWave(c)) {
      accept(c, kPeakWeight, false);
    } else {
      towards(integrated_.noise, c.integrated, kPeakWeight);
      towards(bandPassed_.noise, c.bandPassed, kPeakWeight);
      skipped_.push_back(c);
    }
  }

  // At the end of the recording, a beat may still be missing before it.
  void finish(std::int64_t end) {
    while (overdue(end) && (searchBack() || relearn(end))) {
    }
  }

  std::vector<QrsHump> beats() && { return std::move(beats_); }

 private:
  void learn(const QrsSignals& s, std::span<const Candidate> candidates) {
    // Where the lead comes alive: its first candidate hump.
    if (candidates.empty()) return;
    const auto total = static_cast<std::int64_t>(s.integrated.size());
    const std::int64_t from = candidates.front().index;
    const std::int64_t to =
        std::min<std::int64_t>(total, from + std::llround(tuning_.learningSeconds * s.rate));
    std::vector<double> humps, humpsBandPassed, slopes;
    for (const Candidate& c : candidates) {
      if (c.index >= to) break;
      humps.push_back(c.integrated);
      humpsBandPassed.push_back(c.bandPassed);
      slopes.push_back(c.slope);
    }
    const auto seconds = static_cast<double>(to - from) / s.rate;
    const auto tallest =
        static_cast<std::size_t>(std::max(1.0, std::ceil(tuning_.learntHumpsPerSecond * seconds)));
    integrated_.signal = middleOfTallest(std::move(humps), tallest);
    bandPassed_.signal = middleOfTallest(std::move(humpsBandPassed), tallest);
    typicalSlope_ = middleOfTallest(std::move(slopes), tallest);
    const std::span integrated =
        std::span(s.integrated)
            .subspan(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
    const std::span bandPassed =
        std::span(s.bandPassed)
            .subspan(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
    integrated_.noise = std::accumulate(integrated.begin(), integrated.end(), 0.0) /
                        static_cast<double>(integrated.size());
    double sum = 0;
    for (const double v : bandPassed) sum += std::abs(v);
    bandPassed_.noise = sum / static_cast<double>(bandPassed.size());
  }

  // The upper median of the `count` largest values.
  static double middleOfTallest(std::vector<double> values, std::size_t count) {
    count = std::min(count, values.size());
    if (count == 0) return 0;
    std::ranges::nth_element(values, values.end() - static_cast<std::ptrdiff_t>(count));
    return statistics::upperMedian(
        {values.end() - static_cast<std::ptrdiff_t>(count), values.end()});
  }

  bool overdue(std::int64_t index) const {
    const double since = static_cast<double>(index - lastBeatOrStart());
    return since > kMissedBeatFactor * std::min(averageRegular_, averageAll_);
  }

  std::int64_t lastBeatOrStart() const { return lastBeat_ ? *lastBeat_ : -refractory_; }

  // The T-wave test takes the last beat's slope, unless that beat was far
  // steeper than the typical beat: an artefact (the ringing of an amplifier,
  // the edge of a saturation) would otherwise take the next complex for its
  // T wave. The typical slope then stands in for it.
  bool isTWave(const Candidate& c) const {
    const bool artefact = typicalSlope_ > 0 && lastSlope_ > tuning_.artefactSlope * typicalSlope_;
    const double slope = artefact ? typicalSlope_ : lastSlope_;
    return lastBeat_ && c.index - *lastBeat_ < tWave_ && c.slope < kTWaveSlopeRatio * slope;
  }

  // The highest skipped peak since the last beat becomes a beat when it
  // clears the lowered thresholds. A beat is known to be missing, so the
  // integrated threshold keeps halving as long as one peak stands out: it
  // clears the lowered threshold of the band-passed signal and towers over
  // every other peak of the gap. A wide ectopic beat with little slope is
  // found so; a true pause holds only noise peaks of about one height, and
  // no beat is made up.
  bool searchBack() {
    const Candidate* best = nullptr;
    double runnerUp = 0;
    for (const Candidate& c : skipped_) {
      if (c.index - lastBeatOrStart() < refractory_ || isTWave(c)) continue;
      if (!best || c.integrated > best->integrated) {
        if (best) runnerUp = best->integrated;
        best = &c;
      } else {
        runnerUp = std::max(runnerUp, c.integrated);
      }
    }
    if (!best) return false;
    const bool clearsLowered = best->integrated > kSearchBackScale * integrated_.threshold() &&
                               best->bandPassed > kSearchBackScale * bandPassed_.threshold();
    const bool aboveNoise =
        best->integrated > integrated_.noise && best->bandPassed > bandPassed_.noise;
    const bool standsOut =
        best->integrated > tuning_.standOutRatio * runnerUp &&
        (best->bandPassed > kSearchBackScale * bandPassed_.threshold() || aboveNoise);
    if (!clearsLowered && !standsOut) return false;
    accept(*best, kSearchBackWeight, true);
    return true;
  }

  // A large artefact can set the signal level so high that no beat reaches
  // even the lowered thresholds again: the levels only learn from beats.
  // After a long silence that still holds several humps far above the rest
  // of its peaks, those humps are taken as the beats they are: the levels
  // are learnt anew from the silence, and its peaks are judged again. A
  // silence of noise alone has no such humps.
  bool relearn(std::int64_t now) {
    if (relearning_) return false;
    const double gap = static_cast<double>(now - lastBeatOrStart());
    if (gap < std::max(static_cast<double>(relearnGap_),
                       tuning_.relearnIntervals * kMissedBeatFactor * averageRegular_)) {
      return false;
    }
    // The typical level of the integrated signal over the last stretch of
    // the silence: the noise, with the beats only a small part of it.
    // Before the first beat the silence starts with the lead: never before it.
    const std::int64_t from = std::max({std::int64_t{0}, lastBeatOrStart() + 1, now - relearnGap_});
    const double typical = statistics::upperMedian(
        {integratedSignal_.begin() + from, integratedSignal_.begin() + now});
    std::vector<double> tall, tallBandPassed, rest, restBandPassed;
    for (const Candidate& c : skipped_) {
      if (c.integrated > tuning_.relearnRatio * typical) {
        tall.push_back(c.integrated);
        tallBandPassed.push_back(c.bandPassed);
      } else {
        rest.push_back(c.integrated);
        restBandPassed.push_back(c.bandPassed);
      }
    }
    if (tall.size() < kRelearnHumps) return false;
    integrated_ = {statistics::upperMedian(tall), statistics::upperMedian(rest)};
    bandPassed_ = {statistics::upperMedian(tallBandPassed),
                   statistics::upperMedian(restBandPassed)};
    std::vector<Candidate> again;
    again.swap(skipped_);
    const std::size_t beatsBefore = beats_.size();
    relearning_ = true;
    for (const Candidate& c : again) consider(c);
    relearning_ = false;
    // Relearning again from the same silence would judge the same peaks the
    // same way, so it counts as progress only with a beat found, by itself
    // or by a search back at the levels just learnt; otherwise the caller's
    // loop would never end.
    return beats_.size() > beatsBefore || searchBack();
  }

  void accept(const Candidate& c, double weight, bool searchedBack) {
    raiseTowards(integrated_.signal, c.integrated, weight);
    raiseTowards(bandPassed_.signal, c.bandPassed, weight);
    if (lastBeat_) noteInterval(static_cast<double>(c.index - *lastBeat_));
    lastBeat_ = c.index;
    lastSlope_ = c.slope;
    push(slopes_, c.slope);
    if (slopes_.size() >= kTypicalFromBeats) {
      typicalSlope_ = statistics::upperMedian({slopes_.begin(), slopes_.end()});
    }
    beats_.push_back({c.index, c.slope, searchedBack});
    std::erase_if(skipped_, [&](const Candidate& s) { return s.index <= c.index; });
  }

  void noteInterval(double interval) {
    push(all_, interval);
    averageAll_ = mean(all_);
    if (interval >= kRegularLow * averageRegular_ && interval <= kRegularHigh * averageRegular_) {
      push(regular_, interval);
      averageRegular_ = mean(regular_);
      irregularRun_ = 0;
    } else if (++irregularRun_ >= kAveragedIntervals) {
      // Eight intervals in a row outside the limits: the rate has changed,
      // and the recent intervals become the new reference.
      regular_ = all_;
      averageRegular_ = averageAll_;
      irregularRun_ = 0;
    }
  }

  // A beat moves a signal level towards its peak, but raises it by at most
  // DetectorTuning::levelCeiling times; a level never learnt (a flat lead)
  // takes the peak.
  void raiseTowards(double& level, double peak, double weight) const {
    if (!(level > 0)) {
      level = peak;
      return;
    }
    towards(level, std::min(peak, tuning_.levelCeiling * level), weight);
  }

  static void push(std::deque<double>& intervals, double interval) {
    intervals.push_back(interval);
    if (intervals.size() > kAveragedIntervals) intervals.pop_front();
  }
  static double mean(const std::deque<double>& intervals) {
    return std::accumulate(intervals.begin(), intervals.end(), 0.0) / double(intervals.size());
  }

  const DetectorTuning& tuning_;
  std::int64_t refractory_;
  std::int64_t tWave_;
  Level integrated_;
  Level bandPassed_;
  std::optional<std::int64_t> lastBeat_;
  double lastSlope_ = 0;
  std::deque<double> slopes_;  // of the last beats
  // Their median once there are a few, else the steepest humps' of the
  // learning seconds.
  double typicalSlope_ = 0;
  std::deque<double> all_;
  std::deque<double> regular_;
  double averageAll_;
  double averageRegular_;
  std::size_t irregularRun_ = 0;
  std::vector<Candidate> skipped_;
  std::int64_t relearnGap_;
  std::span<const double> integratedSignal_;
  bool relearning_ = false;
  std::vector<QrsHump> beats_;
};

// The candidates that did not become beats, without those within the
// T-wave interval after a beat whose slope they do not reach half of: the
// same test that kept them from being beats.
std::vector<QrsHump> passedOver(std::span<const Candidate> candidates,
                                std::span<const QrsHump> beats, std::int64_t tWave) {
  std::vector<QrsHump> passed;
  std::size_t next = 0;  // the first beat after the candidate
  for (const Candidate& c : candidates) {
    while (next < beats.size() && beats[next].index < c.index) ++next;
    if (next < beats.size() && beats[next].index == c.index) continue;
    if (next > 0) {
      const QrsHump& before = beats[next - 1];
      if (c.index - before.index < tWave && c.slope < kTWaveSlopeRatio * before.slope) continue;
    }
    passed.push_back({c.index, c.slope, false});
  }
  return passed;
}

}  // namespace

QrsDecisions decideQrs(const QrsSignals& signals, const DetectorTuning& tuning) {
  const std::int64_t refractory = std::llround(kRefractorySeconds * signals.rate);
  const std::vector<Candidate> candidates = findCandidates(signals, refractory);
  Decision decision(signals, candidates, tuning);
  for (const Candidate& c : candidates) decision.consider(c);
  decision.finish(static_cast<std::int64_t>(signals.integrated.size()));
  QrsDecisions decisions{std::move(decision).beats(), {}};
  decisions.passedOver =
      passedOver(candidates, decisions.beats, std::llround(kTWaveSeconds * signals.rate));
  return decisions;
}

}  // namespace rrscope::beats
