#include "beats/beat_class.h"

namespace rrscope::beats {
namespace {

// The lengths of the runs of `wanted` beats: a couplet is a run of two.
struct RunCounts {
  std::size_t couplets = 0;
  std::size_t runs = 0;
};

RunCounts countRuns(std::span<const BeatClass> classes, BeatClass wanted) {
  RunCounts counts;
  std::size_t length = 0;
  const auto close = [&] {
    if (length == 2) ++counts.couplets;
    if (length >= 3) ++counts.runs;
    length = 0;
  };
  for (const BeatClass beatClass : classes) {
    if (beatClass == wanted) {
      ++length;
    } else {
      close();
    }
  }
  close();
  return counts;
}

}  // namespace

char beatClassLetter(BeatClass beatClass) {
  return "NSVFQ"[static_cast<std::size_t>(beatClass)];
}

std::optional<BeatClass> beatClassOfLetter(char letter) {
  switch (letter) {
    case 'N':
    case 'n':
      return BeatClass::N;
    case 'S':
    case 's':
      return BeatClass::S;
    case 'V':
    case 'v':
      return BeatClass::V;
    case 'F':
    case 'f':
      return BeatClass::F;
    case 'Q':
    case 'q':
      return BeatClass::Q;
    default:
      return std::nullopt;
  }
}

std::optional<BeatClass> aamiClassOfLabel(char label) {
  switch (label) {
    case 'N':
    case 'L':
    case 'R':
    case 'e':
    case 'j':
      return BeatClass::N;
    case 'A':
    case 'a':
    case 'J':
    case 'S':
      return BeatClass::S;
    case 'V':
    case 'E':
      return BeatClass::V;
    case 'F':
      return BeatClass::F;
    case '/':
    case 'f':
    case 'Q':
      return BeatClass::Q;
    default:
      return std::nullopt;
  }
}

std::string beatClassLetters(std::span<const BeatClass> classes) {
  std::string letters;
  letters.reserve(classes.size());
  for (const BeatClass beatClass : classes) letters.push_back(beatClassLetter(beatClass));
  return letters;
}

ClassCounts countClasses(std::span<const BeatClass> classes) {
  ClassCounts counts{};
  for (const BeatClass beatClass : classes) ++counts[static_cast<std::size_t>(beatClass)];
  return counts;
}

EctopicBurden ectopicBurden(std::span<const BeatClass> classes) {
  EctopicBurden burden;
  if (classes.empty()) return burden;
  const ClassCounts counts = countClasses(classes);
  const double all = static_cast<double>(classes.size());
  burden.ventricularPct = 100.0 * static_cast<double>(counts[2]) / all;
  burden.supraventricularPct = 100.0 * static_cast<double>(counts[1]) / all;
  const RunCounts ventricular = countRuns(classes, BeatClass::V);
  const RunCounts supraventricular = countRuns(classes, BeatClass::S);
  burden.ventricularCouplets = ventricular.couplets;
  burden.ventricularRuns = ventricular.runs;
  burden.supraventricularCouplets = supraventricular.couplets;
  burden.supraventricularRuns = supraventricular.runs;
  return burden;
}

}  // namespace rrscope::beats
