#include "pipeline/lead_beats.h"

#include "beats/qrs_search.h"
#include "beats/r_peak_detector.h"

namespace rrscope::pipeline {
namespace {

beats::DetectedBeats detectLead(const beats::SampleSource& samples, double rate,
                                const BeatFinding& how) {
  if (how.detection == Detection::inOnePiece) return beats::detectBeats(samples, rate);
  return detectWithOtherLeads(samples, rate, how.otherLeads, how.progress);
}

}  // namespace

beats::CorrectedBeats correctOnSamples(std::span<const double> beats,
                                       const beats::SampleSource& samples, double rate) {
  const beats::QrsSearch search(samples, rate);
  return beats::correctArtefacts(
      beats, [&](double after, double before) { return search.between(after, before); });
}

LeadBeats findLeadBeats(const beats::SampleSource& samples, double rate, const BeatFinding& how) {
  LeadBeats found{detectLead(samples, rate, how), std::nullopt};
  if (how.correct) found.corrected = correctOnSamples(found.detected.beats, samples, rate);
  return found;
}

}  // namespace rrscope::pipeline
