#include "editing/beat_list_files.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string_view>

#include "recordings/wfdb_annotations.h"
#include "recordings/wfdb_writer.h"

namespace rrscope::editing {
namespace {

namespace fs = std::filesystem;
using recordings::Annotation;
using recordings::SamplingRate;

constexpr int kNoise = 14;
constexpr int kNote = 22;
// The note that names the correction level: this, then the level's word.
constexpr std::string_view kCorrectionNote = "## rrscope correction: ";
constexpr std::string_view kSampleNote = "## rrscope sample: ";
constexpr int kAllSignalsUnreadable = -1;
constexpr int kAllSignalsClean = 0;
constexpr std::int64_t kTicksPerSample = 1000;

// How the file counts time: in ticks of a whole number per second, which
// the note at its start states; without one, in the record's samples.
struct TimeScale {
  std::int64_t ticksPerSample = 1;
  std::optional<std::int64_t> ticksPerSecond;
};

TimeScale timeScaleOf(SamplingRate rate) {
  if (rate.denominator <= 0 || rate.numerator % rate.denominator != 0) return {};
  return {kTicksPerSample, rate.numerator / rate.denominator * kTicksPerSample};
}

std::int64_t ticksAt(double position, const TimeScale& scale) {
  return std::max<std::int64_t>(0,
                                std::llround(position * static_cast<double>(scale.ticksPerSample)));
}

// The MIT beat type that stands for a class: N, S, V, F or Q itself.
int codeOfClass(beats::BeatClass beatClass) {
  return recordings::beatCode(beats::beatClassLetter(beatClass));
}

// The class of an MIT beat type as EC57 groups them; Q, unclassifiable, for
// a type EC57 leaves out.
beats::BeatClass classOfCode(int code) {
  return beats::aamiClassOfLabel(recordings::beatLabel(code)).value_or(beats::BeatClass::Q);
}

std::vector<Annotation> beatAnnotations(const BeatList& list, const TimeScale& scale) {
  std::vector<Annotation> beats;
  beats.reserve(list.size());
  for (std::size_t i = 0; i < list.size(); ++i) {
    beats.push_back({ticksAt(list.positions()[i], scale),
                     codeOfClass(list.classes()[i]),
                     static_cast<int>(list.sources()[i]),
                     {}});
  }
  return beats;
}

std::vector<Annotation> noiseAnnotations(const BeatList& list, const TimeScale& scale) {
  std::vector<Annotation> noise;
  const auto end = static_cast<double>(list.sampleCount());
  for (const beats::SampleStretch& stretch : list.unreadable()) {
    noise.push_back({ticksAt(stretch.begin, scale), kNoise, kAllSignalsUnreadable, {}});
    noise.push_back({ticksAt(std::min(stretch.end, end), scale), kNoise, kAllSignalsClean, {}});
  }
  return noise;
}

// Writes a file through `write` under a temporary name and renames it, so
// that a failed save leaves the file before it as it was.
template <typename Write>
void writeWhole(const fs::path& path, const Write& write) {
  fs::path partial = path;
  partial += ".partial";
  try {
    write(partial);
    fs::rename(partial, path);
  } catch (const std::exception& error) {
    std::error_code ignored;
    fs::remove(partial, ignored);
    const auto* system = dynamic_cast<const fs::filesystem_error*>(&error);
    throw std::runtime_error("cannot write " + path.string() +
                             (system != nullptr ? ": " + system->code().message() : ""));
  }
}

BeatSource sourceOfSubtype(int subtype) {
  const bool known = subtype >= static_cast<int>(BeatSource::detected) &&
                     subtype <= static_cast<int>(BeatSource::added);
  return known ? static_cast<BeatSource>(subtype) : BeatSource::detected;
}

// Converts a file's ticks to samples at the recording's rate.
class TickScale {
 public:
  TickScale(SamplingRate ticks, SamplingRate samples)
      : numerator_(static_cast<double>(samples.numerator) * static_cast<double>(ticks.denominator)),
        denominator_(static_cast<double>(samples.denominator) *
                     static_cast<double>(ticks.numerator)) {}

  // Dividing last brings a count of thousandths of a sample back as near
  // as a double can be.
  double samples(std::int64_t tick) const {
    return static_cast<double>(tick) * numerator_ / denominator_;
  }

 private:
  double numerator_;
  double denominator_;
};

// Noise annotations of subtype -1 open a stretch and the next other one
// closes it; one left open runs on without end.
std::vector<beats::SampleStretch> noiseStretches(std::span<const Annotation> annotations,
                                                 const TickScale& ticks) {
  std::vector<beats::SampleStretch> stretches;
  bool open = false;
  for (const Annotation& annotation : annotations) {
    if (annotation.code != kNoise) continue;
    const bool unreadable = annotation.subtype == kAllSignalsUnreadable;
    if (unreadable && !open) {
      stretches.push_back(
          {ticks.samples(annotation.sample), std::numeric_limits<double>::infinity()});
    } else if (!unreadable && open) {
      stretches.back().end = ticks.samples(annotation.sample);
    }
    open = unreadable;
  }
  return stretches;
}

// One row of the text form. At one position, a stretch begins before a beat
// and ends after it.
struct CsvRow {
  double position = 0;
  int order = 0;
  std::string_view source;
  std::optional<beats::BeatClass> beatClass;  // of a beat; none for a stretch's edge
};

std::vector<CsvRow> csvRows(const BeatList& list) {
  std::vector<CsvRow> rows;
  for (std::size_t i = 0; i < list.size(); ++i) {
    rows.push_back({list.positions()[i], 1, beatSourceWord(list.sources()[i]), list.classes()[i]});
  }
  for (const beats::SampleStretch& stretch : list.unreadable()) {
    rows.push_back({stretch.begin, 0, "unreadable_begin", std::nullopt});
    rows.push_back({stretch.end, 2, "unreadable_end", std::nullopt});
  }
  std::ranges::stable_sort(rows, [](const CsvRow& a, const CsvRow& b) {
    return a.position < b.position || (a.position == b.position && a.order < b.order);
  });
  return rows;
}

void appendNumber(std::string& text, double value) {
  std::array<char, 32> digits{};
  const auto [end, error] = std::to_chars(digits.data(), digits.data() + digits.size(), value);
  text.append(digits.data(), end);
}

std::string csvText(const BeatList& list) {
  std::string text = "time_s,sample,source,class\n";
  for (const CsvRow& row : csvRows(list)) {
    appendNumber(text, row.position / list.rate());
    text += ',';
    appendNumber(text, row.position);
    text += ',';
    text += row.source;
    text += ',';
    if (row.beatClass) text += beats::beatClassLetter(*row.beatClass);
    text += '\n';
  }
  return text;
}

void writeText(const fs::path& path, std::string_view text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

// The notes' texts: the identity, then "## rrscope correction: LEVEL" and
// "## rrscope sample: BEGIN END" for each sample.
std::vector<std::string> noteTexts(const BeatFileNotes& notes) {
  std::vector<std::string> texts;
  if (notes.identity) texts.push_back(identityText(*notes.identity));
  if (notes.correction) {
    texts.push_back(std::string(kCorrectionNote) +
                    std::string(beats::correctionLevelWord(*notes.correction)));
  }
  for (const beats::SampleStretch& sample : notes.samples) {
    std::string text(kSampleNote);
    appendNumber(text, sample.begin);
    text += ' ';
    appendNumber(text, sample.end);
    texts.push_back(std::move(text));
  }
  return texts;
}

std::optional<beats::SampleStretch> sampleOfNote(std::string_view text) {
  beats::SampleStretch sample;
  const char* end = text.data() + text.size();
  const auto [afterBegin, beginError] = std::from_chars(text.data(), end, sample.begin);
  if (beginError != std::errc() || afterBegin == end || *afterBegin != ' ') return std::nullopt;
  const auto [afterEnd, endError] = std::from_chars(afterBegin + 1, end, sample.end);
  if (endError != std::errc() || afterEnd != end || !(sample.begin < sample.end))
    return std::nullopt;
  return sample;
}

// Reads one note into `notes`; a note of another kind says nothing of them.
void readNote(std::string_view text, BeatFileNotes& notes) {
  if (!notes.identity) notes.identity = readIdentityText(text);
  if (text.starts_with(kCorrectionNote)) {
    notes.correction = beats::correctionLevelNamed(text.substr(kCorrectionNote.size()));
  } else if (text.starts_with(kSampleNote)) {
    if (const auto sample = sampleOfNote(text.substr(kSampleNote.size()))) {
      notes.samples.push_back(*sample);
    }
  }
}

}  // namespace

fs::path beatAnnotationPath(const std::string& recordingFile) {
  // A record named without its header's extension has none to replace, and
  // WFDB record names hold no dot, so one rule serves every file.
  return fs::path(recordingFile).replace_extension(".rrscope");
}

void writeBeatAnnotations(const fs::path& path, const BeatList& list, SamplingRate rate,
                          const BeatFileNotes& notes) {
  const TimeScale scale = timeScaleOf(rate);
  const std::vector<Annotation> beats = beatAnnotations(list, scale);
  const std::vector<Annotation> noise = noiseAnnotations(list, scale);
  std::vector<Annotation> annotations;
  annotations.reserve(beats.size() + noise.size() + 1);
  for (std::string& text : noteTexts(notes)) {
    annotations.push_back({.sample = 0, .code = kNote, .subtype = 0, .aux = std::move(text)});
  }
  // At one time, the noise annotation comes first.
  std::ranges::merge(noise, beats, std::back_inserter(annotations), {}, &Annotation::sample,
                     &Annotation::sample);
  writeWhole(path, [&](const fs::path& partial) {
    recordings::writeAnnotations(partial, annotations, scale.ticksPerSecond);
  });
}

SavedBeats readBeatAnnotations(const fs::path& path, SamplingRate rate) {
  const recordings::AnnotationFile file = recordings::readAnnotations(path.string());
  const TickScale ticks(file.timeResolution.value_or(rate), rate);
  SavedBeats saved;
  for (const Annotation& annotation : file.annotations) {
    if (!recordings::isBeatCode(annotation.code)) continue;
    const double position = ticks.samples(annotation.sample);
    // Beats must increase; two at one time are one beat written twice.
    if (!saved.positions.empty() && position <= saved.positions.back()) continue;
    saved.positions.push_back(position);
    saved.sources.push_back(sourceOfSubtype(annotation.subtype));
    saved.classes.push_back(classOfCode(annotation.code));
  }
  saved.unreadable = noiseStretches(file.annotations, ticks);
  for (const Annotation& annotation : file.annotations) {
    if (annotation.code == kNote) readNote(annotation.aux, saved.notes);
  }
  return saved;
}

BeatList restoredBeatList(SavedBeats saved, const BeatList& analysed) {
  // Saved positions count in thousandths of a sample.
  constexpr double kSamePosition = 0.01;
  std::size_t removed = 0;
  auto kept = saved.positions.begin();
  for (std::size_t i = 0; i < analysed.size(); ++i) {
    if (analysed.sources()[i] == BeatSource::added) continue;
    const double position = analysed.positions()[i];
    kept = std::lower_bound(kept, saved.positions.end(), position - kSamePosition);
    if (kept == saved.positions.end() || *kept > position + kSamePosition) ++removed;
  }
  return BeatList(std::move(saved.positions), std::move(saved.sources), std::move(saved.unreadable),
                  analysed.rate(), analysed.sampleCount(), std::move(saved.classes), removed);
}

void writeBeatCsv(const fs::path& path, const BeatList& list) {
  const std::string text = csvText(list);
  writeWhole(path, [&](const fs::path& partial) { writeText(partial, text); });
}

}  // namespace rrscope::editing
