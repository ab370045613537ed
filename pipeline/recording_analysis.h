#pragma once

#include <optional>
#include <span>
#include <vector>

#include "beats/artefact_correction.h"
#include "beats/beat_scoring.h"
#include "hrv/hrv_measures.h"
#include "recordings/recording.h"

namespace rrscope::pipeline {

struct RecordingAnalysisOptions {
  bool correct = false;  // correct artefacts before the NN series is formed
  bool hrv = false;      // compute the variability measures
  double matchWindowMs = beats::kDefaultMatchWindowMs;  // of the scoring
};

// What the detector, the correction, the scoring and the measures made of
// one recording. Beat positions are 0-based sample indices at the
// recording's rate.
struct RecordingAnalysis {
  std::vector<double> detected;
  std::vector<double> nnBeats;  // the corrected beats, or the detected ones
  std::optional<beats::CorrectionCounts> corrections;
  std::vector<std::size_t> correctedBeats;  // indices in nnBeats of beats moved or inserted
  std::vector<double> nnMs;                 // intervals between successive nnBeats
  std::optional<hrv::Measures> measures;
  std::optional<beats::Scoring> scoring;
};

// Detects the R peaks of the recording with the Pan–Tompkins detector and
// does what `options` ask for; `reference` beats, when given, score the
// detections.
RecordingAnalysis analyseRecording(const recordings::Recording& recording,
                                   const RecordingAnalysisOptions& options,
                                   std::optional<std::span<const double>> reference);

}  // namespace rrscope::pipeline
