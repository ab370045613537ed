#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "beats/artefact_correction.h"
#include "beats/beat_class.h"
#include "beats/beat_scoring.h"
#include "hrv/hrv_measures.h"

namespace rrscope::report {

// How many beats of each class, and the ectopic burden among them.
struct ClassSummary {
  beats::ClassCounts counts{};
  beats::EctopicBurden burden;
};

inline ClassSummary summariseClasses(std::span<const beats::BeatClass> classes) {
  return {beats::countClasses(classes), beats::ectopicBurden(classes)};
}

// What the one-page report of a recording shows.
struct ReportContent {
  std::string file;
  std::string channel;
  double rateHz = 0;
  double durationSeconds = 0;
  // Where the reported stretch begins in the recording; the time axes run
  // from here for durationSeconds.
  double startSeconds = 0;
  std::size_t sampleCount = 0;
  std::string detector;
  std::size_t detectedBeats = 0;
  std::optional<beats::CorrectionCounts> corrections;  // absent when not corrected
  std::optional<beats::Scoring> scoring;               // absent without a reference
  std::string reference;                               // what the scoring compared with
  // The classes of the beats the series comes from; absent when not classed.
  std::optional<ClassSummary> classes;
  // For a report of part of a recording or of edited beats: which stretch
  // and how many beats were edited by hand, in Russian; empty otherwise.
  std::string stretchNote;

  // The NN series: interval i ends at beatSeconds[i] and lasts nnMs[i].
  std::vector<double> beatSeconds;
  std::vector<double> nnMs;
  std::vector<std::size_t> correctedIntervals;  // indices of intervals ending in a corrected beat
  // Where the lead could not be read: [start, end] in seconds, increasing.
  std::vector<std::pair<double, double>> unreadableSeconds;
  hrv::Measures measures;
  // How the spectra were prepared, in Russian, when not as usual (such as
  // a detrending); empty otherwise.
  std::string spectrumNote;

  // A measure of each window of a long series, at the window's end time.
  struct TimedValue {
    double seconds = 0;
    std::optional<double> value;  // absent where the window has none
  };
  // For recordings longer than ten minutes: DFA alpha1 of 120-s windows and
  // RMSSD of 300-s windows, every 30 s; empty otherwise.
  std::vector<TimedValue> alpha1Strip;
  std::vector<TimedValue> rmssdStrip;
};

}  // namespace rrscope::report
