#include "beats/qrs_decision.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <numeric>
#include <optional>
#include <span>

#include "beats/value_statistics.h"

namespace rrscope::beats {
namespace {

// Timing rules, in seconds, after Pan and Tompkins (1985):
// no two QRS complexes closer than the heart can repolarise,
constexpr double kRefractorySeconds = 0.200;
// a candidate this soon after a beat may be the T wave of that beat,
constexpr double kTWaveSeconds = 0.360;
// and the first two seconds set the initial signal and noise levels.
constexpr double kLearningSeconds = 2.0;

// A candidate is a QRS complex when it rises a quarter of the way from the
// noise level to the signal level, in both signals.
constexpr double kThresholdFraction = 0.25;
// Running levels: each new peak weighs one eighth; a beat found in the
// search back, being closer to the noise, weighs one quarter.
constexpr double kPeakWeight = 0.125;
constexpr double kSearchBackWeight = 0.25;
// A beat raises the signal levels by at most this many times their value:
// a large ectopic complex, ten times a normal one, would otherwise lift the
// thresholds above the normal beats that follow it, and in bigeminy keep
// them there. The levels still follow a rhythm whose complexes grow.
constexpr double kLevelCeiling = 1.5;
// The search back accepts peaks above half the normal thresholds.
constexpr double kSearchBackScale = 0.5;
// In the search back, a peak stands out of the gap when it is this many
// times higher than any other peak there.
constexpr double kStandOutRatio = 2.0;
// A T wave has less than half the steepest slope of the QRS before it.
constexpr double kTWaveSlopeRatio = 0.5;

// A beat is missed when none comes within 166 % of the average interval; the
// average counts only intervals within 92 % to 116 % of itself, so that
// single early or late beats do not move it.
constexpr double kMissedBeatFactor = 1.66;
constexpr double kRegularLow = 0.92;
constexpr double kRegularHigh = 1.16;
constexpr std::size_t kAveragedIntervals = 8;
// Levels are learnt anew only after a silence of at least five seconds, and
// at least three times the missed-beat limit: longer than the pauses of an
// ordinary rhythm. The silence must hold at least three humps more than ten
// times the median of the integrated signal over its last five seconds:
// beats stand that far above it, while the 150 ms integration keeps the
// humps of noise close to it.
constexpr double kRelearnSeconds = 5.0;
constexpr double kRelearnIntervals = 3.0;
constexpr std::size_t kRelearnHumps = 3;
constexpr double kRelearnRatio = 10.0;
// Before the first interval is known: one second, a resting heart rate.
constexpr double kInitialIntervalSeconds = 1.0;

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
  explicit Decision(const QrsSignals& s)
      : refractory_(std::llround(kRefractorySeconds * s.rate)),
        tWave_(std::llround(kTWaveSeconds * s.rate)),
        averageAll_(kInitialIntervalSeconds * s.rate),
        averageRegular_(averageAll_),
        relearnGap_(std::llround(kRelearnSeconds * s.rate)),
        integratedSignal_(s.integrated) {
    learn(s);
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
  void learn(const QrsSignals& s) {
    const auto n = std::min(s.integrated.size(),
                            static_cast<std::size_t>(std::llround(kLearningSeconds * s.rate)));
    if (n == 0) return;
    const std::span integrated(s.integrated.data(), n);
    const std::span bandPassed(s.bandPassed.data(), n);
    integrated_.signal = *std::max_element(integrated.begin(), integrated.end());
    integrated_.noise = std::accumulate(integrated.begin(), integrated.end(), 0.0) / double(n);
    bandPassed_.signal = largestMagnitude(bandPassed);
    double sum = 0;
    for (const double v : bandPassed) sum += std::abs(v);
    bandPassed_.noise = sum / double(n);
  }

  bool overdue(std::int64_t index) const {
    const double since = static_cast<double>(index - lastBeatOrStart());
    return since > kMissedBeatFactor * std::min(averageRegular_, averageAll_);
  }

  std::int64_t lastBeatOrStart() const { return lastBeat_ ? *lastBeat_ : -refractory_; }

  bool isTWave(const Candidate& c) const {
    return lastBeat_ && c.index - *lastBeat_ < tWave_ && c.slope < kTWaveSlopeRatio * lastSlope_;
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
        best->integrated > kStandOutRatio * runnerUp &&
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
                       kRelearnIntervals * kMissedBeatFactor * averageRegular_)) {
      return false;
    }
    // The typical level of the integrated signal over the last stretch of
    // the silence: the noise, with the beats only a small part of it.
    const std::int64_t from = std::max(lastBeatOrStart() + 1, now - relearnGap_);
    const double typical =
        upperMedian({integratedSignal_.begin() + from, integratedSignal_.begin() + now});
    std::vector<double> tall, tallBandPassed, rest, restBandPassed;
    for (const Candidate& c : skipped_) {
      if (c.integrated > kRelearnRatio * typical) {
        tall.push_back(c.integrated);
        tallBandPassed.push_back(c.bandPassed);
      } else {
        rest.push_back(c.integrated);
        restBandPassed.push_back(c.bandPassed);
      }
    }
    if (tall.size() < kRelearnHumps) return false;
    integrated_ = {upperMedian(tall), upperMedian(rest)};
    bandPassed_ = {upperMedian(tallBandPassed), upperMedian(restBandPassed)};
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
    towards(integrated_.signal, std::min(c.integrated, kLevelCeiling * integrated_.signal), weight);
    towards(bandPassed_.signal, std::min(c.bandPassed, kLevelCeiling * bandPassed_.signal), weight);
    if (lastBeat_) noteInterval(static_cast<double>(c.index - *lastBeat_));
    lastBeat_ = c.index;
    lastSlope_ = c.slope;
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

  static void push(std::deque<double>& intervals, double interval) {
    intervals.push_back(interval);
    if (intervals.size() > kAveragedIntervals) intervals.pop_front();
  }
  static double mean(const std::deque<double>& intervals) {
    return std::accumulate(intervals.begin(), intervals.end(), 0.0) / double(intervals.size());
  }

  std::int64_t refractory_;
  std::int64_t tWave_;
  Level integrated_;
  Level bandPassed_;
  std::optional<std::int64_t> lastBeat_;
  double lastSlope_ = 0;
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

QrsDecisions decideQrs(const QrsSignals& signals) {
  Decision decision(signals);
  const std::int64_t refractory = std::llround(kRefractorySeconds * signals.rate);
  const std::vector<Candidate> candidates = findCandidates(signals, refractory);
  for (const Candidate& c : candidates) decision.consider(c);
  decision.finish(static_cast<std::int64_t>(signals.integrated.size()));
  QrsDecisions decisions{std::move(decision).beats(), {}};
  decisions.passedOver =
      passedOver(candidates, decisions.beats, std::llround(kTWaveSeconds * signals.rate));
  return decisions;
}

}  // namespace rrscope::beats
