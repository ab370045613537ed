#include "recordings/wfdb_annotations.h"

#include <array>
#include <charconv>
#include <fstream>
#include <iterator>
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

std::vector<unsigned char> fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw RecordingError(path, "cannot open the annotation file");
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// "## time resolution: 1000" in the note at time 0.
std::optional<SamplingRate> timeResolutionNote(std::string_view aux) {
  constexpr std::string_view kPrefix = "## time resolution:";
  if (!aux.starts_with(kPrefix)) return {};
  aux.remove_prefix(kPrefix.size());
  aux =
      aux.substr(aux.find_first_not_of(' ') == std::string_view::npos ? aux.size()
                                                                      : aux.find_first_not_of(' '));
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(aux.data(), aux.data() + aux.size(), value);
  if (error != std::errc() || value <= 0) return {};
  return SamplingRate{value, 1};
}

// Wide enough for a position times the numerator of a rate in 100 ns units.
__extension__ using Wide = __int128;

std::int64_t roundedRatio(Wide numerator, Wide denominator) {
  // Floor of (2n + d) / 2d: the nearest integer, halves up, also below zero.
  const Wide twice = 2 * numerator + denominator;
  const Wide divisor = 2 * denominator;
  return static_cast<std::int64_t>(twice >= 0 ? twice / divisor
                                              : -((-twice + divisor - 1) / divisor));
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

AnnotationFile readAnnotations(const std::string& path) {
  const std::vector<unsigned char> bytes = fileBytes(path);
  AnnotationFile result;
  std::int64_t time = 0;
  std::size_t at = 0;
  const auto word = [&bytes](std::size_t i) { return bytes[i] | (bytes[i + 1] << 8); };
  while (at + 2 <= bytes.size()) {
    const int value = word(at);
    at += 2;
    const int code = value >> 10;
    const int field = value & 0x3FF;
    if (code == 0 && field == 0) return result;
    if (code == kSkip) {
      if (at + 4 > bytes.size()) throw RecordingError(path, "the file ends inside a skip");
      const auto skip = static_cast<std::int32_t>((static_cast<std::uint32_t>(word(at)) << 16) |
                                                  static_cast<std::uint32_t>(word(at + 2)));
      time += skip;
      at += 4;
    } else if (code == kAux) {
      const std::size_t length = static_cast<std::size_t>(field);
      if (at + length > bytes.size()) throw RecordingError(path, "the file ends inside a note");
      const std::string_view text(reinterpret_cast<const char*>(bytes.data() + at), length);
      const auto& last = result.annotations;
      if (!last.empty() && last.back().sample == 0 && last.back().code == kNote &&
          !result.timeResolution) {
        result.timeResolution = timeResolutionNote(text);
      }
      at += (length + 1) / 2 * 2;
    } else if (code == kSub) {
      // The field holds a signed byte in its low 8 bits.
      if (!result.annotations.empty()) {
        result.annotations.back().subtype = static_cast<signed char>(field & 0xFF);
      }
    } else if (code == kNum || code == kChn) {
      // Beat numbers and channels do not change which beats there are.
    } else {
      time += field;
      result.annotations.push_back({time, code, 0});
    }
  }
  if (at != bytes.size()) throw RecordingError(path, "the file ends inside an annotation");
  return result;
}

std::vector<std::int64_t> beatSamples(const AnnotationFile& file, SamplingRate recordRate,
                                      SamplingRate rate) {
  const SamplingRate from = file.timeResolution.value_or(recordRate);
  std::vector<std::int64_t> samples;
  for (const Annotation& annotation : file.annotations) {
    if (!isBeatCode(annotation.code)) continue;
    // sample * rate / from, exact in integers.
    samples.push_back(roundedRatio(Wide{annotation.sample} * rate.numerator * from.denominator,
                                   Wide{rate.denominator} * from.numerator));
  }
  return samples;
}

}  // namespace rrscope::recordings
