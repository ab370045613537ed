#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "beats/artefact_correction.h"
#include "beats/beat_class.h"
#include "beats/beat_scoring.h"
#include "beats/detected_beats.h"
#include "hrv/hrv_measures.h"
#include "pipeline/other_lead.h"
#include "pipeline/progress.h"
#include "pipeline/readable_series.h"
#include "recordings/recording.h"

namespace rrscope::pipeline {

struct RecordingAnalysisOptions {
  bool correct = false;                // correct artefacts before the NN series is formed
  bool hrv = false;                    // compute the variability measures
  hrv::MeasureOptions measureOptions;  // how, when they are computed
  double matchWindowMs = beats::kDefaultMatchWindowMs;  // of the scoring
  Progress progress;                                    // hears how much is done, when set
  // Classify every beat (N, S, V, F, Q). The correction always does: its
  // NN series keeps only the intervals between two normal beats.
  bool classify = false;
  EctopicHandling ectopic = EctopicHandling::exclude;  // of the intervals touching other beats
};

// What the detector, the correction, the scoring and the measures made of
// one recording. Beat positions are 0-based sample indices at the
// recording's rate.
struct RecordingAnalysis {
  std::vector<std::string> leads;  // the channels whose beats were merged, the primary first
  std::vector<double> detected;
  // Where the lead's beats cannot be trusted: noise, and the samples the
  // file holds no value for.
  std::vector<beats::SampleStretch> unreadable;
  std::size_t invalidSamples = 0;  // samples the file marks as having no value
  // One class per beat of `detected`, when classified; empty otherwise.
  std::vector<beats::BeatClass> detectedClasses;
  std::vector<double> nnBeats;  // the corrected beats, or the detected ones
  // One class per beat of `nnBeats`, when classified; empty otherwise.
  std::vector<beats::BeatClass> nnClasses;
  EctopicHandling ectopic = EctopicHandling::exclude;
  std::optional<beats::CorrectionCounts> corrections;
  // One per beat of nnBeats: the detected beat it is, and whether the
  // correction moved it, or that the correction inserted it.
  std::vector<beats::BeatOrigin> nnOrigins;
  // Intervals between successive nnBeats, less those that touch an
  // unreadable stretch.
  std::vector<double> nnMs;
  std::vector<std::size_t> nnEnds;  // for each of nnMs, the index in nnBeats of its last beat
  // For each of nnMs, the time its last beat comes after the first beat of
  // the series, in ms: the intervals left out leave gaps in it.
  std::vector<double> nnEndsMs() const;
  std::size_t excludedBeats = 0;      // nnBeats inside unreadable stretches
  std::size_t excludedIntervals = 0;  // intervals left out of nnMs for unreadable stretches
  // Intervals touching a beat other than N: left out of nnMs, or replaced
  // in it by the median of the NN intervals around (`interpolatedIntervals`).
  std::size_t ectopicIntervals = 0;
  std::size_t interpolatedIntervals = 0;
  std::optional<hrv::Measures> measures;
  std::optional<beats::Scoring> scoring;
  double rate = 0;  // of the positions
};

// Detects the R peaks of the recording with the Pan–Tompkins detector,
// merges them with those of `otherLeads` when given (mergeLeads, the
// recording's own lead as the primary), and does what `options` ask for:
// the correction inserts a missed beat only where the samples show a QRS
// complex, and the HRV series leaves out the beats in unreadable stretches
// and every interval that touches one; `reference` beats, when given, score
// the detections.
RecordingAnalysis analyseRecording(const recordings::Recording& recording,
                                   const RecordingAnalysisOptions& options,
                                   std::optional<std::span<const double>> reference,
                                   std::span<const OtherLead> otherLeads = {});

// The same for one lead's samples already in memory, in any units, at
// `rate` per second: `invalid` are the increasing, disjoint stretches that
// hold no value (the recording's invalid runs), unreadable as noise is.
// The lead's channel is "" in `leads`.
RecordingAnalysis analyseSamples(std::span<const double> samples, double rate,
                                 std::span<const beats::SampleStretch> invalid,
                                 const RecordingAnalysisOptions& options,
                                 std::optional<std::span<const double>> reference = std::nullopt,
                                 std::span<const OtherLead> otherLeads = {});

}  // namespace rrscope::pipeline
