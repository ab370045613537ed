#include "editing/series_export.h"

#include <string_view>

#include "recordings/shortest_text.h"

namespace rrscope::editing {

using recordings::appendShortest;

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

}  // namespace rrscope::editing
