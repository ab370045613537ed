#include "measure_help.h"

#include <array>
#include <string_view>
#include <utility>

#include "hrv/hrv_measures.h"

namespace rrscope::python {
namespace {

// The convention of each key; the AR and Lomb-Scargle keys are those of
// the Welch spectrum with "ar_" or "ls_" before them. The README's table
// of conventions gives the peers each one agrees with.
constexpr std::array<std::pair<std::string_view, std::string_view>, 36> kConventions{{
    {"mean_nn_ms", "mean of the intervals"},
    {"median_nn_ms", "median"},
    {"iqr_nn_ms", "interquartile range, quartiles interpolated between ranks"},
    {"sdnn_ms", "standard deviation, dividing by N - 1"},
    {"cvnn", "SDNN / mean NN"},
    {"rmssd_ms", "root mean square of the successive differences"},
    {"sdsd_ms", "standard deviation (N - 1) of the successive differences"},
    {"nn50", "successive differences strictly above 50 ms"},
    {"nn20", "successive differences strictly above 20 ms"},
    {"pnn50_pct", "nn50 as a percentage of N"},
    {"pnn20_pct", "nn20 as a percentage of N"},
    {"mean_hr_bpm", "mean of the rates 60000 / NN (not 60000 / mean NN)"},
    {"min_hr_bpm", "lowest rate 60000 / NN"},
    {"max_hr_bpm", "highest rate 60000 / NN"},
    {"sdann_ms", "SD of the means of 5-minute segments by the clock"},
    {"sdnni_ms", "mean of the SDs of 5-minute segments"},
    {"hti", "N / highest count of bins of 7.8125 ms anchored at 0"},
    {"tinn_ms", "base M - N of the least-squares triangle on those bins"},
    {"sd1_ms", "Poincare SD (N - 1) of (x[n] - x[n+1]) / sqrt 2"},
    {"sd2_ms", "Poincare SD (N - 1) of (x[n] + x[n+1]) / sqrt 2"},
    {"sd1_sd2", "SD1 / SD2"},
    {"poincare_area_ms2", "pi SD1 SD2"},
    {"vlf_ms2", "power 0.0033-0.04 Hz, Welch on the 4 Hz cubic-spline series"},
    {"lf_ms2", "power 0.04-0.15 Hz"},
    {"hf_ms2", "power 0.15-0.4 Hz"},
    {"total_power_ms2", "VLF + LF + HF"},
    {"lf_hf", "LF / HF"},
    {"lf_nu", "100 LF / (LF + HF)"},
    {"hf_nu", "100 HF / (LF + HF)"},
    {"lf_peak_hz", "first frequency of highest density in LF"},
    {"hf_peak_hz", "first frequency of highest density in HF"},
    {"sampen", "sample entropy, m = 2, r = sampen_r_ms, matches at distance <= r"},
    {"sampen_r_ms", "the tolerance r = 0.2 SDNN"},
    {"apen", "approximate entropy, m = 2, same r, signed"},
    {"dfa_alpha1", "DFA slope over boxes of 4-16 beats, non-overlapping"},
    {"dfa_alpha2", "DFA slope over boxes of 16-64 beats"},
}};

std::string_view withoutSpectrumPrefix(std::string_view key) {
  for (const std::string_view prefix : {"ar_", "ls_"}) {
    if (key.starts_with(prefix)) return key.substr(prefix.size());
  }
  return key;
}

std::string_view unitOf(std::string_view key) {
  constexpr std::array<std::pair<std::string_view, std::string_view>, 5> kUnits{
      {{"_ms2", "ms^2"}, {"_ms", "ms"}, {"_hz", "Hz"}, {"_pct", "%"}, {"_bpm", "beats/min"}}};
  for (const auto& [suffix, unit] : kUnits) {
    if (key.ends_with(suffix)) return unit;
  }
  return "-";
}

std::string_view conventionOf(std::string_view key) {
  const std::string_view base = withoutSpectrumPrefix(key);
  for (const auto& [known, convention] : kConventions) {
    if (known == base) return convention;
  }
  return "";
}

std::string spectrumNote(std::string_view key) {
  if (key.starts_with("ar_")) return " (Burg AR of order 16)";
  if (key.starts_with("ls_")) return " (Lomb-Scargle on the beat times)";
  return "";
}

}  // namespace

std::string measureKeysHelp() {
  std::string text;
  for (const hrv::Measure measure : hrv::allMeasures()) {
    const std::string_view key = hrv::measureKey(measure);
    std::string line = "    " + std::string(key);
    line.resize(std::max<std::size_t>(line.size() + 1, 27), ' ');
    line += std::string(unitOf(key));
    line.resize(std::max<std::size_t>(line.size() + 1, 38), ' ');
    text += line + std::string(conventionOf(key)) + spectrumNote(key) + '\n';
  }
  return text;
}

}  // namespace rrscope::python
