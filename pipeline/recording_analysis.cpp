#include "pipeline/recording_analysis.h"

#include <algorithm>

#include "pipeline/blockwise_detection.h"
#include "pipeline/recording_samples.h"

namespace rrscope::pipeline {
namespace {

// The corrected beats that lie where no detected beat lies: those the
// correction moved or inserted.
std::vector<std::size_t> changedBeats(std::span<const double> detected,
                                      std::span<const double> corrected) {
  std::vector<std::size_t> changed;
  for (std::size_t i = 0; i < corrected.size(); ++i) {
    if (!std::ranges::binary_search(detected, corrected[i])) changed.push_back(i);
  }
  return changed;
}

std::vector<double> intervalsMs(std::span<const double> beats, double rate) {
  std::vector<double> intervals;
  for (std::size_t i = 1; i < beats.size(); ++i) {
    intervals.push_back((beats[i] - beats[i - 1]) * 1000.0 / rate);
  }
  return intervals;
}

}  // namespace

RecordingAnalysis analyseRecording(const recordings::Recording& recording,
                                   const RecordingAnalysisOptions& options,
                                   std::optional<std::span<const double>> reference) {
  const double rate = recording.rate.hertz();
  RecordingAnalysis analysis;
  analysis.detected = detectRPeaksInBlocks(RecordingSamples(recording), rate);
  if (options.correct) {
    beats::CorrectedBeats corrected = beats::correctArtefacts(analysis.detected);
    analysis.corrections = corrected.counts;
    analysis.correctedBeats = changedBeats(analysis.detected, corrected.beats);
    analysis.nnBeats = std::move(corrected.beats);
  } else {
    analysis.nnBeats = analysis.detected;
  }
  analysis.nnMs = intervalsMs(analysis.nnBeats, rate);
  if (options.hrv) analysis.measures = hrv::computeMeasures(analysis.nnMs);
  if (reference)
    analysis.scoring =
        beats::scoreBeats(analysis.detected, *reference, rate, options.matchWindowMs);
  return analysis;
}

}  // namespace rrscope::pipeline
