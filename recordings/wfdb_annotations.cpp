#include "recordings/wfdb_annotations.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <span>
#include <string>
#include <string_view>

#include "recordings/recording_error.h"

namespace rrscope::recordings {
namespace {

// Pseudo-annotation types of the format, which modify or extend the
// annotation before them instead of marking a time.
constexpr int kSkip = 59;
constexpr int kNum = 60;
constexpr int kSub = 61;
constexpr int kChn = 62;
constexpr int kAux = 63;
constexpr int kNote = 22;

// Beat types by code; index = code.
constexpr std::array<char, 42> kBeatLabels = [] {
  std::array<char, 42> labels{};
  labels[1] = 'N', labels[2] = 'L', labels[3] = 'R', labels[4] = 'a', labels[5] = 'V';
  labels[6] = 'F', labels[7] = 'J', labels[8] = 'A', labels[9] = 'S', labels[10] = 'E';
  labels[11] = 'j', labels[12] = '/', labels[13] = 'Q', labels[25] = 'B', labels[30] = '?';
  labels[34] = 'e', labels[35] = 'n', labels[38] = 'f', labels[41] = 'r';
  return labels;
}();

// Looks at the file before opening it: opening a FIFO nobody writes to
// would wait for ever, and a device such as /dev/zero never ends.
void checkReadableFile(const std::string& path) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (error) return;  // opening it names the reason
  if (std::filesystem::is_directory(status)) throw RecordingError(path, "is a folder");
  if (!std::filesystem::is_regular_file(status)) {
    throw RecordingError(path, "is not a regular file");
  }
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (!error && size > kMaxAnnotationFileBytes) {
    throw RecordingError(path, "is larger than 64 MiB, too large for an annotation file");
  }
}

std::vector<unsigned char> fileBytes(const std::string& path) {
  checkReadableFile(path);
  std::ifstream in(path, std::ios::binary);
  if (!in) throw RecordingError(path, "cannot open the annotation file");
  // Read in blocks, not byte by byte: a file near the cap is 64 MiB.
  constexpr std::size_t kBlock = 1 << 20;
  std::vector<unsigned char> bytes;
  std::error_code sizeError;
  const std::uintmax_t size = std::filesystem::file_size(path, sizeError);
  if (!sizeError) bytes.reserve(static_cast<std::size_t>(std::min(size, kMaxAnnotationFileBytes)));
  // The size was checked, but the file may grow while it is read.
  while (in) {
    const std::size_t had = bytes.size();
    bytes.resize(had + kBlock);
    in.read(reinterpret_cast<char*>(bytes.data() + had), static_cast<std::streamsize>(kBlock));
    bytes.resize(had + static_cast<std::size_t>(in.gcount()));
    if (bytes.size() > kMaxAnnotationFileBytes) {
      throw RecordingError(path, "is larger than 64 MiB, too large for an annotation file");
    }
  }
  return bytes;
}

// "## time resolution: 1000" in the note at time 0: a whole number of ticks
// per second, from 1 to a nanosecond's resolution. Anything else in the note
// is refused rather than read up to its first odd character: "3.6e5" taken
// as 3 would misplace every beat by a factor of 120000, silently.
std::optional<SamplingRate> timeResolutionNote(std::string_view aux, const std::string& path) {
  constexpr std::string_view kPrefix = "## time resolution:";
  constexpr std::int64_t kFinestResolution = 1'000'000'000;
  if (!aux.starts_with(kPrefix)) return {};
  std::string_view number = aux.substr(kPrefix.size());
  const std::size_t first = number.find_first_not_of(' ');
  number = first == std::string_view::npos ? std::string_view() : number.substr(first);
  while (!number.empty() && number.back() == ' ') number.remove_suffix(1);
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error != std::errc() || end != number.data() + number.size() || value <= 0 ||
      value > kFinestResolution) {
    throw RecordingError(path, "the note \"" + std::string(aux) +
                                   "\": a time resolution is a whole number of ticks per second "
                                   "from 1 to " +
                                   std::to_string(kFinestResolution));
  }
  return SamplingRate{value, 1};
}

// Wide enough for a position times the numerator of a rate in 100 ns units.
__extension__ using Wide = __int128;

// Keeps 2n + d and 2d of the rounding within the wide type.
constexpr Wide kWideLimit = Wide{1} << 124;

Wide roundedRatioWide(Wide numerator, Wide denominator) {
  // Floor of (2n + d) / 2d: the nearest integer, halves up, also below zero.
  const Wide twice = 2 * numerator + denominator;
  const Wide divisor = 2 * denominator;
  return twice >= 0 ? twice / divisor : -((-twice + divisor - 1) / divisor);
}

[[noreturn]] void throwBeyondRange(std::int64_t sample) {
  throw RecordingError("annotation at time " + std::to_string(sample),
                       "lies beyond any sample position at the recording's sampling rate");
}

// sample * rate / from, exact in integers, or an error where a product or
// the position itself does not fit.
std::int64_t convertedSample(std::int64_t sample, SamplingRate rate, SamplingRate from) {
  Wide numerator = 0;
  Wide denominator = 0;
  if (__builtin_mul_overflow(Wide{sample}, Wide{rate.numerator}, &numerator) ||
      __builtin_mul_overflow(numerator, Wide{from.denominator}, &numerator) ||
      __builtin_mul_overflow(Wide{rate.denominator}, Wide{from.numerator}, &denominator) ||
      denominator <= 0 || denominator > kWideLimit || numerator > kWideLimit ||
      numerator < -kWideLimit) {
    throwBeyondRange(sample);
  }
  const Wide rounded = roundedRatioWide(numerator, denominator);
  if (rounded > std::numeric_limits<std::int64_t>::max() ||
      rounded < std::numeric_limits<std::int64_t>::min()) {
    throwBeyondRange(sample);
  }
  return static_cast<std::int64_t>(rounded);
}

}  // namespace

bool isBeatCode(int code) {
  return beatLabel(code) != '\0';
}

char beatLabel(int code) {
  if (code < 0 || code >= static_cast<int>(kBeatLabels.size())) return '\0';
  return kBeatLabels[static_cast<std::size_t>(code)];
}

int beatCode(char label) {
  for (std::size_t code = 0; code < kBeatLabels.size(); ++code) {
    if (label != '\0' && kBeatLabels[code] == label) return static_cast<int>(code);
  }
  return 0;
}

namespace {

// Beats are matched and scored in the order of time; annotations at one
// time keep the file's order.
AnnotationFile inTimeOrder(AnnotationFile file) {
  if (!std::ranges::is_sorted(file.annotations, {}, &Annotation::sample)) {
    std::ranges::stable_sort(file.annotations, {}, &Annotation::sample);
  }
  return file;
}

// An upper bound on the annotations of `bytes`, its two-byte words that
// are not skips, notes or modifiers: counted first, so that the list is
// allocated once at its size instead of doubling to twice it.
std::size_t annotationWordsIn(std::span<const unsigned char> bytes) {
  std::size_t count = 0;
  for (std::size_t at = 0; at + 2 <= bytes.size(); at += 2) {
    const int code = bytes[at + 1] >> 2;
    if (code < kSkip) ++count;
  }
  return count;
}

// Walks the annotations of `bytes` in the file's order, handing each
// annotation's time and type to `annotation(time, code)`, each subtype
// modifier to `subtype(value)` and each note's text to `note(text)`;
// returns the time resolution the leading note states, if any.
template <typename OnAnnotation, typename OnSubtype, typename OnNote>
std::optional<SamplingRate> walkAnnotations(std::span<const unsigned char> bytes,
                                            const std::string& path, OnAnnotation annotation,
                                            OnSubtype subtype, OnNote note) {
  std::optional<SamplingRate> resolution;
  std::int64_t time = 0;
  std::size_t at = 0;
  std::size_t skipAt = 0;  // of the last skip: only a skip can take the time back
  std::size_t count = 0;
  bool lastIsLeadingNote = false;
  const auto word = [&bytes](std::size_t i) { return bytes[i] | (bytes[i + 1] << 8); };
  while (at + 2 <= bytes.size()) {
    const int value = word(at);
    at += 2;
    const int code = value >> 10;
    const int field = value & 0x3FF;
    if (code == 0 && field == 0) return resolution;
    if (code == kSkip) {
      if (at + 4 > bytes.size()) throw RecordingError(path, "the file ends inside a skip");
      const auto skip = static_cast<std::int32_t>((static_cast<std::uint32_t>(word(at)) << 16) |
                                                  static_cast<std::uint32_t>(word(at + 2)));
      // A skip may go back, as WFDB allows: the database's own writer steps
      // back a tick after a leading note to put the next annotation at time
      // 0, and other files go back further. The annotations are put in the
      // order of time once read. The 64 MiB cap on the file keeps the sum of
      // every skip far from overflowing.
      time += skip;
      skipAt = at - 2;
      at += 4;
    } else if (code == kAux) {
      const std::size_t length = static_cast<std::size_t>(field);
      if (at + length > bytes.size()) throw RecordingError(path, "the file ends inside a note");
      const std::string_view text(reinterpret_cast<const char*>(bytes.data() + at), length);
      if (lastIsLeadingNote && !resolution) resolution = timeResolutionNote(text, path);
      if (count > 0) note(text);
      at += (length + 1) / 2 * 2;
    } else if (code == kSub) {
      // The field holds a signed byte in its low 8 bits.
      if (count > 0) subtype(static_cast<signed char>(field & 0xFF));
    } else if (code == kNum || code == kChn) {
      // Beat numbers and channels do not change which beats there are.
    } else {
      time += field;
      if (time < 0) {
        throw RecordingError(path,
                             "an annotation lies before the start of the record (a "
                             "negative skip at byte " +
                                 std::to_string(skipAt) + ")");
      }
      annotation(time, code);
      ++count;
      lastIsLeadingNote = time == 0 && code == kNote;
    }
  }
  if (at != bytes.size()) throw RecordingError(path, "the file ends inside an annotation");
  return resolution;
}

}  // namespace

AnnotationFile readAnnotations(const std::string& path) {
  const std::vector<unsigned char> bytes = fileBytes(path);
  AnnotationFile result;
  result.annotations.reserve(annotationWordsIn(bytes));
  result.timeResolution = walkAnnotations(
      bytes, path,
      [&result](std::int64_t time, int code) {
        result.annotations.push_back({time, code, 0, {}});
      },
      [&result](int subtype) { result.annotations.back().subtype = subtype; },
      [&result](std::string_view text) { result.annotations.back().aux = text; });
  return inTimeOrder(std::move(result));
}

BeatAnnotations readBeatAnnotations(const std::string& path) {
  BeatAnnotations beats;
  {
    const std::vector<unsigned char> bytes = fileBytes(path);
    beats.ticks.reserve(annotationWordsIn(bytes));
    beats.labels.reserve(beats.ticks.capacity());
    beats.timeResolution = walkAnnotations(
        bytes, path,
        [&beats](std::int64_t time, int code) {
          if (!isBeatCode(code)) return;
          beats.ticks.push_back(time);
          beats.labels.push_back(beatLabel(code));
        },
        [](int) {}, [](std::string_view) {});
  }
  if (!std::ranges::is_sorted(beats.ticks)) {
    // Beats at one time keep the file's order, as readAnnotations keeps them.
    std::vector<std::size_t> order(beats.ticks.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::ranges::stable_sort(order, {}, [&beats](std::size_t i) { return beats.ticks[i]; });
    std::vector<std::int64_t> ticks;
    std::string labels;
    for (const std::size_t i : order) {
      ticks.push_back(beats.ticks[i]);
      labels.push_back(beats.labels[i]);
    }
    beats.ticks = std::move(ticks);
    beats.labels = std::move(labels);
  }
  return beats;
}

void convertBeatTicks(std::vector<std::int64_t>& ticks, SamplingRate from, SamplingRate rate) {
  for (std::int64_t& tick : ticks) tick = convertedSample(tick, rate, from);
}

std::vector<std::int64_t> beatSamples(const AnnotationFile& file, SamplingRate recordRate,
                                      SamplingRate rate) {
  const SamplingRate from = file.timeResolution.value_or(recordRate);
  std::vector<std::int64_t> samples;
  samples.reserve(static_cast<std::size_t>(
      std::ranges::count_if(file.annotations, isBeatCode, &Annotation::code)));
  for (const Annotation& annotation : file.annotations) {
    if (!isBeatCode(annotation.code)) continue;
    samples.push_back(convertedSample(annotation.sample, rate, from));
  }
  return samples;
}

std::string beatLabels(const AnnotationFile& file) {
  std::string labels;
  for (const Annotation& annotation : file.annotations) {
    if (isBeatCode(annotation.code)) labels.push_back(beatLabel(annotation.code));
  }
  return labels;
}

}  // namespace rrscope::recordings
