#include "pipeline/recording_analysis.h"

#include "beats/beat_classification.h"
#include "beats/disturbed_pauses.h"
#include "pipeline/lead_beats.h"
#include "pipeline/readable_series.h"
#include "pipeline/recording_samples.h"
#include "pipeline/sample_stretches.h"

namespace rrscope::pipeline {
namespace {

// The part of an analysis's time that detection takes, for its progress.
constexpr double kDetectionShare = 0.9;

// The class of each detected beat: that of the beat it became after
// correction, or Q for one the correction removed as extra, which belongs
// to no class.
std::vector<beats::BeatClass> classesOfDetected(std::size_t detected,
                                                std::span<const beats::BeatOrigin> origins,
                                                std::span<const beats::BeatClass> classes) {
  std::vector<beats::BeatClass> result(detected, beats::BeatClass::Q);
  for (std::size_t k = 0; k < origins.size(); ++k) {
    if (origins[k].change != beats::BeatChange::inserted) result[origins[k].given] = classes[k];
  }
  return result;
}

// The HRV series of the analysis: its beats without the unreadable
// stretches and, when corrected, without the intervals that do not join two
// normal beats.
void formSeries(RecordingAnalysis& analysis, double rate, bool byClass) {
  const std::span<const beats::BeatClass> classes =
      byClass ? std::span<const beats::BeatClass>(analysis.nnClasses)
              : std::span<const beats::BeatClass>();
  ReadableSeries series =
      readableSeries(analysis.nnBeats, analysis.unreadable, rate, classes, analysis.ectopic);
  analysis.nnMs = std::move(series.intervalsMs);
  analysis.nnEnds = std::move(series.ends);
  analysis.excludedBeats = series.excludedBeats;
  analysis.excludedIntervals = series.excludedIntervals;
  analysis.ectopicIntervals = series.ectopicIntervals;
  analysis.interpolatedIntervals = series.interpolatedIntervals;
}

std::vector<beats::SampleStretch> invalidStretches(const recordings::Recording& recording) {
  std::vector<beats::SampleStretch> stretches;
  for (const recordings::SampleRun& run : recording.invalid) {
    stretches.push_back({static_cast<double>(run.first), static_cast<double>(run.end)});
  }
  return stretches;
}

std::size_t stretchedSampleCount(std::span<const beats::SampleStretch> stretches) {
  double count = 0;
  for (const beats::SampleStretch& stretch : stretches) count += stretch.end - stretch.begin;
  return static_cast<std::size_t>(count);
}

// The analysis of one lead's samples, whatever holds them; `invalid` are
// the stretches the file holds no value for.
RecordingAnalysis analyseSource(const beats::SampleSource& samples, double rate,
                                std::vector<beats::SampleStretch> invalid,
                                const RecordingAnalysisOptions& options,
                                std::optional<std::span<const double>> reference,
                                std::span<const OtherLead> otherLeads) {
  RecordingAnalysis analysis;
  analysis.rate = rate;
  for (const OtherLead& lead : otherLeads) analysis.leads.push_back(lead.channel);
  // Detection takes nearly all the time; the rest is told as one step.
  const Progress detecting =
      options.progress ? Progress([&](double done) { options.progress(kDetectionShare * done); })
                       : Progress();
  LeadBeats found = findLeadBeats(
      samples, rate, {.correct = options.correct, .otherLeads = otherLeads, .progress = detecting});
  analysis.detected = std::move(found.detected.beats);
  // Samples the file holds no value for are unreadable as noise is: the
  // beats beside them and the intervals across them cannot be trusted.
  analysis.invalidSamples = stretchedSampleCount(invalid);
  analysis.unreadable = unitedStretches(found.detected.unreadable, invalid);
  analysis.ectopic = options.ectopic;
  if (found.corrected) {
    analysis.corrections = found.corrected->counts;
    analysis.nnOrigins = std::move(found.corrected->origins);
    analysis.nnBeats = std::move(found.corrected->beats);
    analysis.nnClasses = beats::classifyBeats(samples, rate, analysis.nnBeats);
    analysis.detectedClasses =
        classesOfDetected(analysis.detected.size(), analysis.nnOrigins, analysis.nnClasses);
  } else {
    analysis.nnBeats = analysis.detected;
    analysis.nnOrigins = beats::keptOrigins(analysis.nnBeats.size());
    if (options.classify) {
      analysis.detectedClasses = beats::classifyBeats(samples, rate, analysis.detected);
      analysis.nnClasses = analysis.detectedClasses;
    }
  }
  // A long interval over which the lead swings far beyond its complexes is
  // a saturated or lost lead hiding beats, not a pause of the heart.
  analysis.unreadable =
      unitedStretches(analysis.unreadable, beats::disturbedPauses(samples, rate, analysis.nnBeats));
  formSeries(analysis, rate, options.correct);
  if (options.progress) options.progress(kDetectionShare);
  if (options.hrv) analysis.measures = hrv::computeMeasures(analysis.nnMs, options.measureOptions);
  if (reference)
    analysis.scoring =
        beats::scoreBeats(analysis.detected, *reference, rate, options.matchWindowMs);
  if (options.progress) options.progress(1.0);
  return analysis;
}

}  // namespace

std::vector<double> RecordingAnalysis::nnEndsMs() const {
  return intervalEndsMs(nnBeats, nnEnds, rate);
}

RecordingAnalysis analyseRecording(const recordings::Recording& recording,
                                   const RecordingAnalysisOptions& options,
                                   std::optional<std::span<const double>> reference,
                                   std::span<const OtherLead> otherLeads) {
  RecordingAnalysis analysis =
      analyseSource(RecordingSamples(recording), recording.rate.hertz(),
                    invalidStretches(recording), options, reference, otherLeads);
  analysis.leads.insert(analysis.leads.begin(), recording.channel);
  return analysis;
}

RecordingAnalysis analyseSamples(std::span<const double> samples, double rate,
                                 std::span<const beats::SampleStretch> invalid,
                                 const RecordingAnalysisOptions& options,
                                 std::optional<std::span<const double>> reference,
                                 std::span<const OtherLead> otherLeads) {
  RecordingAnalysis analysis =
      analyseSource(beats::SpanSamples(samples), rate, {invalid.begin(), invalid.end()}, options,
                    reference, otherLeads);
  analysis.leads.insert(analysis.leads.begin(), std::string());
  return analysis;
}

}  // namespace rrscope::pipeline
