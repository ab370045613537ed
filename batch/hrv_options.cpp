// The options of the variability measures and of files of RR intervals.
#include <charconv>
#include <cmath>
#include <cstdio>

#include "batch/batch_options.h"
#include "batch/option_group.h"
#include "recordings/shortest_text.h"

namespace rrscope::batch {
namespace {

std::string shortestText(double value) {
  std::string text;
  recordings::appendShortest(text, value);
  return text;
}

std::optional<double> positiveSeconds(std::string_view text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value) ||
      value <= 0) {
    return std::nullopt;
  }
  return value;
}

// WIDTH:STEP in seconds, both positive.
std::optional<hrv::WindowSpec> windowSpec(std::string_view text) {
  const auto colon = text.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const auto width = positiveSeconds(text.substr(0, colon));
  const auto step = positiveSeconds(text.substr(colon + 1));
  if (!width || !step) return std::nullopt;
  return hrv::WindowSpec{*width, *step};
}

}  // namespace

void addHrvOptions(CLI::App& app, BatchOptions& options) {
  OptionGroup group(app, "Heart rate variability");
  group.flag("--hrv", options.withHrv,
             "add \"hrv\", the variability measures of the run's\n"
             "RR series, and \"hrv_undefined\", the reason of each\n"
             "null; with --csv, a column per measure");
  group.choice("--input", {"samples", "rr"}, "KIND",
               "samples (the default): ECG samples, one per line;\n"
               "rr: RR intervals in ms, one per line; the line then\n"
               "holds only file, hrv, hrv_undefined, intervals, error",
               [&options](const std::string& kind) { options.rrInput = kind == "rr"; });
  group.choice("--detrend", {"none", "smoothness-priors"}, "KIND",
               "none (the default), or smoothness-priors: the Welch and\n"
               "AR spectra of the 4 Hz series less its smoothness-\n"
               "priors trend; the line then says \"detrend\" and \"lambda\"",
               [&options](const std::string& kind) {
                 options.measures.detrend = kind == "smoothness-priors"
                                                ? hrv::Detrend::smoothnessPriors
                                                : hrv::Detrend::none;
               });
  group.text("--lambda", options.measures.lambda, "L",
             "the smoothness of the trend, 10 to 1000000 (default\n"
             "500: -3 dB at 0.0355 Hz)");
  group.text("--windows", options.windowText, "WIDTH:STEP",
             "add \"windows\", every measure of each window of WIDTH\n"
             "seconds, one every STEP seconds (300:30, or 120:30 for\n"
             "DFA alpha1); with --csv, a row per window; STEP at\n"
             "least 1 s, and at most 50,000 windows a series");
}

std::string readHrvTexts(BatchOptions& options) {
  if (options.windowText) {
    options.windows = windowSpec(*options.windowText);
    if (!options.windows) {
      return "--windows needs WIDTH:STEP, two positive numbers of seconds, such as 300:30";
    }
    if (options.windows->stepSeconds < hrv::kMinWindowStepSeconds) {
      return "--windows " + *options.windowText + ": STEP " + std::string(hrv::kWindowStepReason);
    }
  }
  if (!hrv::isValidLambda(options.measures.lambda)) {
    return "--lambda " + shortestText(options.measures.lambda) + " " +
           std::string(hrv::kLambdaRangeReason);
  }
  return {};
}

void reportWindowLimit(const BatchOptions& options, std::string_view file,
                       const hrv::TooManyWindows& error) {
  const std::string text = "\"" + std::string(file) + "\": --windows " +
                           options.windowText.value_or("") + " cuts its series into " +
                           error.what() + "; give a longer STEP";
  std::fprintf(stderr, "rrscope-batch: %s\n", text.c_str());
}

std::string checkHrvCombination(const BatchOptions& options) {
  if (!options.rrInput) return {};
  if (options.withRR) return "--rr needs sample files and cannot go with --input=rr";
  if (options.writesCharts()) return "files of RR intervals have no charts to write";
  return {};
}

}  // namespace rrscope::batch
