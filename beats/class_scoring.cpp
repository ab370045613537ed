#include "beats/class_scoring.h"

#include <stdexcept>

namespace rrscope::beats {
namespace {

std::optional<double> percent(long long part, long long whole) {
  if (whole == 0) return std::nullopt;
  return 100.0 * static_cast<double>(part) / static_cast<double>(whole);
}

bool isScored(BeatClass beatClass) {
  return beatClass != BeatClass::Q;
}

// Whether a detection classed `classed`, matched to a reference beat of
// class `truth`, counts for +P: the reference cannot say it is wrong where it
// names no class or Q, nor call a ventricular beat wrong on a fusion beat.
bool countsForPredictivity(BeatClass classed, std::optional<BeatClass> truth) {
  if (!truth || *truth == BeatClass::Q) return false;
  return !(classed == BeatClass::V && *truth == BeatClass::F);
}

ClassScore& scoreOf(ClassScoring& scoring, BeatClass beatClass) {
  return scoring[static_cast<std::size_t>(beatClass)];
}

// The reference beat matched to each detection, if any.
std::vector<std::optional<std::size_t>> referenceOfDetections(
    std::span<const std::optional<std::size_t>> matches, std::size_t detections) {
  std::vector<std::optional<std::size_t>> referenceOf(detections);
  for (std::size_t r = 0; r < matches.size(); ++r) {
    if (matches[r]) referenceOf[*matches[r]] = r;
  }
  return referenceOf;
}

}  // namespace

std::optional<double> ClassScore::sensitivityPct() const {
  return percent(found, referenceBeats);
}

std::optional<double> ClassScore::positivePredictivityPct() const {
  return percent(confirmed, detections);
}

std::vector<std::optional<BeatClass>> aamiClassesOfLabels(std::string_view labels) {
  std::vector<std::optional<BeatClass>> classes;
  classes.reserve(labels.size());
  for (const char label : labels) classes.push_back(aamiClassOfLabel(label));
  return classes;
}

ClassScoring scoreClasses(std::span<const double> detected,
                          std::span<const BeatClass> detectedClasses,
                          std::span<const double> reference,
                          std::span<const std::optional<BeatClass>> referenceClasses, double rate,
                          double windowMs) {
  if (detectedClasses.size() != detected.size() || referenceClasses.size() != reference.size()) {
    throw std::invalid_argument("class scoring needs one class for every beat");
  }
  const std::vector<std::optional<std::size_t>> matches =
      matchBeats(detected, reference, rate, windowMs);
  ClassScoring scoring{};
  for (std::size_t r = 0; r < reference.size(); ++r) {
    const std::optional<BeatClass> truth = referenceClasses[r];
    if (!truth || !isScored(*truth)) continue;
    ClassScore& score = scoreOf(scoring, *truth);
    ++score.referenceBeats;
    if (matches[r] && detectedClasses[*matches[r]] == *truth) ++score.found;
  }
  const std::vector<std::optional<std::size_t>> referenceOf =
      referenceOfDetections(matches, detected.size());
  for (std::size_t d = 0; d < detected.size(); ++d) {
    const BeatClass classed = detectedClasses[d];
    if (!isScored(classed)) continue;
    const std::optional<BeatClass> truth =
        referenceOf[d] ? referenceClasses[*referenceOf[d]] : std::nullopt;
    if (referenceOf[d] && !countsForPredictivity(classed, truth)) continue;
    ClassScore& score = scoreOf(scoring, classed);
    ++score.detections;
    if (truth == classed) ++score.confirmed;
  }
  return scoring;
}

}  // namespace rrscope::beats
