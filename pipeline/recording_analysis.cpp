#include "pipeline/recording_analysis.h"

#include <algorithm>

#include "beats/qrs_search.h"
#include "pipeline/blockwise_detection.h"
#include "pipeline/lead_merge.h"
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

bool inside(std::span<const beats::SampleStretch> stretches, double position) {
  return std::ranges::any_of(stretches, [&](const beats::SampleStretch& s) {
    return position > s.begin && position < s.end;
  });
}

bool touches(std::span<const beats::SampleStretch> stretches, double from, double to) {
  return std::ranges::any_of(
      stretches, [&](const beats::SampleStretch& s) { return to >= s.begin && from <= s.end; });
}

// The intervals between successive beats in ms, less those that touch an
// unreadable stretch; counts what it leaves out.
void formSeries(RecordingAnalysis& analysis, double rate) {
  const std::vector<double>& beats = analysis.nnBeats;
  for (const double beat : beats) {
    if (inside(analysis.unreadable, beat)) ++analysis.excludedBeats;
  }
  for (std::size_t i = 1; i < beats.size(); ++i) {
    if (touches(analysis.unreadable, beats[i - 1], beats[i])) {
      ++analysis.excludedIntervals;
    } else {
      analysis.nnMs.push_back((beats[i] - beats[i - 1]) * 1000.0 / rate);
      analysis.nnEnds.push_back(i);
    }
  }
}

// The recording's own beats merged with those of the other leads.
beats::DetectedBeats detectAllLeads(const RecordingSamples& samples, double rate,
                                    std::span<const OtherLead> otherLeads) {
  beats::DetectedBeats own = detectBeatsInBlocks(samples, rate);
  if (otherLeads.empty()) return own;
  std::vector<beats::DetectedBeats> leads{std::move(own)};
  for (const OtherLead& lead : otherLeads) leads.push_back(lead.detected);
  return mergeLeads(leads, rate);
}

}  // namespace

RecordingAnalysis analyseRecording(const recordings::Recording& recording,
                                   const RecordingAnalysisOptions& options,
                                   std::optional<std::span<const double>> reference,
                                   std::span<const OtherLead> otherLeads) {
  const double rate = recording.rate.hertz();
  RecordingAnalysis analysis;
  analysis.leads.push_back(recording.channel);
  for (const OtherLead& lead : otherLeads) analysis.leads.push_back(lead.channel);
  const RecordingSamples samples(recording);
  beats::DetectedBeats detected = detectAllLeads(samples, rate, otherLeads);
  analysis.detected = std::move(detected.beats);
  analysis.unreadable = std::move(detected.unreadable);
  if (options.correct) {
    const beats::QrsSearch search(samples, rate);
    const beats::QrsFinder find = [&](double after, double before) {
      return search.between(after, before);
    };
    beats::CorrectedBeats corrected = beats::correctArtefacts(analysis.detected, find);
    analysis.corrections = corrected.counts;
    analysis.correctedBeats = changedBeats(analysis.detected, corrected.beats);
    analysis.nnBeats = std::move(corrected.beats);
  } else {
    analysis.nnBeats = analysis.detected;
  }
  formSeries(analysis, rate);
  if (options.hrv) analysis.measures = hrv::computeMeasures(analysis.nnMs);
  if (reference)
    analysis.scoring =
        beats::scoreBeats(analysis.detected, *reference, rate, options.matchWindowMs);
  return analysis;
}

}  // namespace rrscope::pipeline
