#include "pipeline/series_export.h"

#include <array>
#include <charconv>
#include <string_view>

namespace rrscope::pipeline {
namespace {

void appendShortest(std::string& out, double value) {
  std::array<char, 32> buffer{};
  const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
  out.append(buffer.data(), end);
}

}  // namespace

std::string rrText(const StretchSeries& series) {
  std::string text;
  for (const double interval : series.intervalsMs) {
    appendShortest(text, interval);
    text += '\n';
  }
  return text;
}

std::string rrCsv(const StretchSeries& series, const BeatList& beats) {
  std::string text = "time_s,rr_ms,source\n";
  for (std::size_t i = 0; i < series.intervalsMs.size(); ++i) {
    const std::size_t end = series.ends[i];
    appendShortest(text, beats.positions()[end] / beats.rate());
    text += ',';
    appendShortest(text, series.intervalsMs[i]);
    text += ',';
    text += beatSourceWord(beats.sources()[end]);
    text += '\n';
  }
  return text;
}

}  // namespace rrscope::pipeline
