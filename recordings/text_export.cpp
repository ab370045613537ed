#include "recordings/text_export.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace rrscope::recordings {
namespace {

__extension__ using Wide = __int128;

// Appends round(value * 1000) / 1000 as "-0.145" or "12.000".
void appendThousandths(std::string& out, double value) {
  const auto thousandths = static_cast<std::int64_t>(std::nearbyint(value * 1000.0));
  char digits[24];
  std::uint64_t magnitude = static_cast<std::uint64_t>(std::llabs(thousandths));
  int length = 0;
  for (int i = 0; i < 3; ++i) {
    digits[length++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  }
  digits[length++] = '.';
  do {
    digits[length++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (thousandths < 0) digits[length++] = '-';
  while (length > 0) out.push_back(digits[--length]);
  out.push_back('\n');
}

// The signal at line k: k * rate / 6000 samples in, between two samples.
class LineSampler {
 public:
  explicit LineSampler(const Recording& recording)
      : recording_(recording),
        numerator_(recording.rate.numerator),
        denominator_(Wide{kTextRate} * recording.rate.denominator) {}

  double at(std::int64_t line) const {
    const Wide position = Wide{line} * numerator_;
    const auto index = static_cast<std::size_t>(position / denominator_);
    const double fraction =
        static_cast<double>(position % denominator_) / static_cast<double>(denominator_);
    const std::size_t next = std::min(index + 1, recording_.sampleCount() - 1);
    return recording_.physical(index) * (1.0 - fraction) + recording_.physical(next) * fraction;
  }

 private:
  const Recording& recording_;
  Wide numerator_;
  Wide denominator_;
};

}  // namespace

std::int64_t textLineCount(const Recording& recording) {
  if (recording.values.empty()) return 0;
  const Wide last = Wide{static_cast<std::int64_t>(recording.values.size()) - 1};
  return static_cast<std::int64_t>(last * kTextRate * recording.rate.denominator /
                                   recording.rate.numerator) +
         1;
}

void exportText(const Recording& recording, std::span<const std::int64_t> beats,
                TextPartSink& sink) {
  const std::int64_t lines = textLineCount(recording);
  const auto partCount = static_cast<std::size_t>((lines + kMaxTextLines - 1) / kMaxTextLines);
  const LineSampler sampler(recording);
  constexpr std::int64_t kChunkLines = 1 << 16;
  std::string text;
  auto beat = std::ranges::lower_bound(beats, 0);
  for (std::size_t part = 0; part < partCount; ++part) {
    const std::int64_t first = static_cast<std::int64_t>(part) * kMaxTextLines;
    const std::int64_t end = std::min(lines, first + kMaxTextLines);
    sink.beginPart(part, partCount);
    for (std::int64_t chunk = first; chunk < end; chunk += kChunkLines) {
      text.clear();
      for (std::int64_t line = chunk; line < std::min(end, chunk + kChunkLines); ++line) {
        appendThousandths(text, sampler.at(line));
      }
      sink.writeLines(text);
    }
    std::vector<std::int64_t> partBeats;
    for (; beat != beats.end() && *beat < end; ++beat) partBeats.push_back(*beat - first + 1);
    sink.endPart(partBeats);
  }
}

}  // namespace rrscope::recordings
