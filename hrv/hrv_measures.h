#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "hrv/dfa.h"

namespace rrscope::hrv {

// The measures of heart rate variability, in the order they are reported.
enum class Measure : std::uint8_t {
  meanNn,
  medianNn,
  iqrNn,
  sdnn,
  cvnn,
  rmssd,
  sdsd,
  nn50,
  nn20,
  pnn50,
  pnn20,
  meanHr,
  minHr,
  maxHr,
  sdann,
  sdnni,
  hti,
  tinn,
  sd1,
  sd2,
  sd1Sd2,
  poincareArea,
  vlf,
  lf,
  hf,
  totalPower,
  lfHf,
  lfNu,
  hfNu,
  lfPeak,
  hfPeak,
  sampen,
  sampenR,
  apen,
  dfaAlpha1,
  dfaAlpha2,
  arVlf,
  arLf,
  arHf,
  arTotalPower,
  arLfHf,
  arLfNu,
  arHfNu,
  arLfPeak,
  arHfPeak,
  lsVlf,
  lsLf,
  lsHf,
  lsTotalPower,
  lsLfHf,
  lsLfNu,
  lsHfNu,
  lsLfPeak,
  lsHfPeak,
};
inline constexpr std::size_t kMeasureCount = static_cast<std::size_t>(Measure::lsHfPeak) + 1;

// Every measure, in order, for loops over all of them.
std::array<Measure, kMeasureCount> allMeasures();

// The key under which a measure is written out, such as "mean_nn_ms"; the
// suffix names its unit.
std::string_view measureKey(Measure measure);

// Why a measure has no value for a series.
enum class Undefined : std::uint8_t {
  noIntervals,
  fewerThanTwoIntervals,
  fewerThanThreeIntervals,
  nonPositiveInterval,
  zeroDenominator,
  fewerThanTwoSegments,
  tooShortForSpectrum,
  noPowerInBand,
  noBinBelowPeak,
  intervalBeyondHistogram,
  fewerThanFourIntervals,
  noTemplateMatches,
  fewerThan64Intervals,
  fewerThan256Intervals,
  allIntervalsEqual,
  noFluctuation,
  longerThanAnHour,
  notAskedFor,
  intervalOutOfRange,
  lambdaOutOfRange,
};

// The intervals a series may hold, in ms: from 10 ms (6000 beats a minute,
// beyond any heart) to one hour (a pause no recording of a living heart
// holds). An interval outside, or not a number, makes every measure of its
// series undefined, and nothing is computed or allocated for it.
inline constexpr double kMinIntervalMs = 10;
inline constexpr double kMaxIntervalMs = 3'600'000;
constexpr bool isValidInterval(double ms) {
  return ms >= kMinIntervalMs && ms <= kMaxIntervalMs;
}

// One English sentence for the reason, such as "fewer than 2 intervals".
std::string_view undefinedText(Undefined reason);

// A measure's value, or the reason it has none. Never NaN.
class MeasureValue {
 public:
  MeasureValue() : MeasureValue(std::nullopt, Undefined::noIntervals) {}
  static MeasureValue of(double value) { return MeasureValue(value, Undefined::noIntervals); }
  static MeasureValue undefined(Undefined reason) { return MeasureValue(std::nullopt, reason); }

  bool defined() const { return value_.has_value(); }
  double value() const { return *value_; }
  const std::optional<double>& optional() const { return value_; }
  Undefined reason() const { return reason_; }  // meaningful only when not defined

 private:
  MeasureValue(std::optional<double> value, Undefined reason) : value_(value), reason_(reason) {}
  std::optional<double> value_;
  Undefined reason_;
};

// Histogram of the intervals in bins of 1/128 s anchored at 0: bin k holds the
// intervals x with floor(x / kBinWidthMs) == k, from bin 0 to the last filled one.
inline constexpr double kBinWidthMs = 1000.0 / 128;
struct Histogram {
  std::vector<std::int64_t> counts;
  double leftEdgeMs(std::size_t bin) const { return static_cast<double>(bin) * kBinWidthMs; }
};

// The least-squares triangle of TINN: base from nMs to mMs, apex (xMs, y).
struct Triangle {
  double nMs = 0;
  double xMs = 0;
  double mMs = 0;
  std::int64_t y = 0;
};

// One-sided Welch power spectral density of the 4 Hz resampled series.
struct Spectrum {
  std::vector<double> frequenciesHz;
  std::vector<double> densitiesMs2PerHz;
};

// A frequency band: the spectral bins with loHz <= f < hiHz.
struct Band {
  double loHz;
  double hiHz;
};
inline constexpr Band kVlfBand{0.0033, 0.04};
inline constexpr Band kLfBand{0.04, 0.15};
inline constexpr Band kHfBand{0.15, 0.4};
inline constexpr std::array<Band, 3> kBands{kVlfBand, kLfBand, kHfBand};

// The fluctuation function of the DFA and its two fitted lines, for a plot.
struct DfaCurve {
  std::vector<std::size_t> boxSizes;  // 4 ... 64, as many as the series allows
  std::vector<double> fluctuation;    // F(n) for each
  std::optional<DfaFit> alpha1;       // over n = 4 ... 16
  std::optional<DfaFit> alpha2;       // over n = 16 ... 64
};

// Every measure of a series, with what a report needs to draw them.
struct Measures {
  std::array<MeasureValue, kMeasureCount> values;
  Histogram histogram;
  std::optional<Triangle> triangle;  // absent when TINN is undefined
  Spectrum spectrum;                 // Welch's; empty when the series is too short for it
  Spectrum arSpectrum;               // Burg's autoregressive model; empty likewise
  Spectrum lsSpectrum;               // Lomb–Scargle; empty likewise
  DfaCurve dfa;

  const MeasureValue& operator[](Measure measure) const {
    return values[static_cast<std::size_t>(measure)];
  }
};

// How the spectra are prepared.
enum class Detrend : std::uint8_t {
  none,
  // Smoothness priors (Tarvainen et al. 2002) on the 4 Hz grid, before the
  // Welch and AR spectra only: the time-domain, geometric, Poincaré,
  // entropy, DFA and Lomb–Scargle measures never see it.
  smoothnessPriors,
};

// The groups of measures, to compute some only: the strips of a report
// need two measures of thousands of windows, not their spectra.
enum MeasureGroup : std::uint8_t {
  kTimeDomain = 1,  // with SDANN and SDNNI
  kGeometric = 2,
  kPoincare = 4,
  kSpectra = 8,     // Welch, AR and Lomb–Scargle
  kNonlinear = 16,  // entropies and DFA
  kAllGroups = 31,
};

struct MeasureOptions {
  Detrend detrend = Detrend::none;
  double lambda = 500;               // of the smoothness priors
  std::uint8_t groups = kAllGroups;  // the others are undefined: not asked for
};

// The smoothness priors' lambda on the 4 Hz grid, from 10 to 1,000,000. The
// -3 dB point of the detrending is 0.25 Hz at 10, inside the HF band: a
// smaller lambda takes away most of the variability the bands measure (below
// 4 the point passes 0.4 Hz, the top of HF, and at 1e-300 nothing is left).
// At 1,000,000 it is 0.0008 Hz, a 21-minute period below the VLF band, so a
// larger lambda changes nothing the bands see but the rounding of the
// solve, which on a day-long series grows from 1e-5 of the series at
// 1,000,000 to its own size at 1e8, and past 1.3e154 overflows to NaN.
// Outside the range the Welch and AR measures are undefined
// (Undefined::lambdaOutOfRange); callers refuse such a lambda up front.
inline constexpr double kMinLambda = 10;
inline constexpr double kMaxLambda = 1'000'000;
constexpr bool isValidLambda(double lambda) {
  return lambda >= kMinLambda && lambda <= kMaxLambda;
}
// What the tools say after the lambda they refuse.
inline constexpr std::string_view kLambdaRangeReason =
    "lies outside 10 to 1000000: below, the detrending takes away the variability it should "
    "keep; above, it removes only what lies below the VLF band";

// All measures of a series of intervals in milliseconds, in the order of
// their beats. A series holding a non-positive or non-finite interval has no
// measures at all (Undefined::nonPositiveInterval); nor has one holding a
// positive interval outside kMinIntervalMs to kMaxIntervalMs
// (Undefined::intervalOutOfRange).
Measures computeMeasures(std::span<const double> intervalsMs, const MeasureOptions& options = {});

// The measures of each window of a long series. Time runs from the start of
// the first interval; window k covers (k step, k step + width] seconds, and
// an interval belongs to the window in which it ends, as for SDANN. Only
// whole windows count: the last ends at or before the end of the series.
// A series holding an interval outside kMinIntervalMs to kMaxIntervalMs,
// or not a number, has no windows: the result is empty. Throws
// TooManyWindows, before anything is computed, for more than kMaxWindows.
struct WindowSpec {
  double widthSeconds = 300;
  double stepSeconds = 30;
};

// The most windows one series is cut into. Each keeps its 54 values, and
// the batch tool's line of them takes some 10 kB of memory per window while
// it is made: 86,400 windows (a day at a step of 1 s) took 830 MB, four
// times the analysis of the day itself. 50,000 holds a day at a step of
// 2 s, and a week of 300-s windows every 30 s (20,160) twice over.
inline constexpr std::size_t kMaxWindows = 50'000;

// The shortest step the tools take: windows closer than a second share
// nearly every beat, since a heart beats at most a few times a second, and a
// step of 1e-4 s would ask for 864 million windows of a day.
inline constexpr double kMinWindowStepSeconds = 1;
inline constexpr std::string_view kWindowStepReason =
    "must be at least 1 s: windows closer than a second share nearly every beat";

// How many whole windows a series of `totalMs` holds; saturates at the
// largest std::size_t rather than overflow.
std::size_t windowCount(double totalMs, const WindowSpec& windows);

// The windows of a series would be more than kMaxWindows.
class TooManyWindows : public std::length_error {
 public:
  explicit TooManyWindows(std::size_t count);
  std::size_t count() const { return count_; }

 private:
  std::size_t count_;
};
struct WindowMeasures {
  double startSeconds = 0;
  double endSeconds = 0;
  std::size_t intervals = 0;
  Measures measures;  // the values only: no histogram, spectra or DFA curve
};
// Called after each window is measured, from the worker threads: a caller
// that must be able to stop a long run throws from it, and the run stops
// with that exception once the windows under way are done.
using WindowCheckpoint = std::function<void()>;

std::vector<WindowMeasures> windowedMeasures(std::span<const double> intervalsMs,
                                             const WindowSpec& windows,
                                             const MeasureOptions& options = {},
                                             const WindowCheckpoint& checkpoint = {});

// The same for a series with gaps, such as one that leaves out the
// intervals of unreadable stretches: `endsMs` holds the end of each
// interval in ms from the start of the first, increasing, and `totalMs` the
// end of the series. Empty also when an end or `totalMs` is not finite.
std::vector<WindowMeasures> windowedMeasures(std::span<const double> intervalsMs,
                                             std::span<const double> endsMs, double totalMs,
                                             const WindowSpec& windows,
                                             const MeasureOptions& options = {},
                                             const WindowCheckpoint& checkpoint = {});

}  // namespace rrscope::hrv
