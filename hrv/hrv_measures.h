#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

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
};
inline constexpr std::size_t kMeasureCount = static_cast<std::size_t>(Measure::hfPeak) + 1;

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
};

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
  Measure power;
  double loHz;
  double hiHz;
};
inline constexpr std::array<Band, 3> kBands{{
    {Measure::vlf, 0.0033, 0.04},
    {Measure::lf, 0.04, 0.15},
    {Measure::hf, 0.15, 0.4},
}};

// Every measure of a series, with what a report needs to draw them.
struct Measures {
  std::array<MeasureValue, kMeasureCount> values;
  Histogram histogram;
  std::optional<Triangle> triangle;  // absent when TINN is undefined
  Spectrum spectrum;                 // empty when the series is too short for it

  const MeasureValue& operator[](Measure measure) const {
    return values[static_cast<std::size_t>(measure)];
  }
};

// All measures of a series of intervals in milliseconds, in the order of
// their beats. A series holding a non-positive or non-finite interval has no
// measures at all.
Measures computeMeasures(std::span<const double> intervalsMs);

}  // namespace rrscope::hrv
