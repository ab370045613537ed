#include "ui/chart_description.h"

#include <algorithm>
#include <array>

#include "charts/run.h"
#include "ui/control_names.h"

namespace rrscope::ui {
namespace {

// The last stage that draws on each chart.
constexpr std::array<std::string_view, 5> kLastStages = {
    "plotIntervals", "plotIntervals", "drawPulseChart", "drawHistogram", "drawCorrelationChart"};

// The charts as a sentence names them.
constexpr std::array<const char*, 5> kChartNouns = {"ритмограмма", "скаттерграмма", "пульс",
                                                    "гистограмма", "корреляция"};

std::ptrdiff_t stageIndex(std::string_view name) {
  const auto stages = charts::runStages();
  const auto found = std::find_if(stages.begin(), stages.end(), [name](const charts::Stage& stage) {
    return stage.name == name;
  });
  return found - stages.begin();
}

std::string intervals(const analysis::AnalysisState& state) {
  const auto count = static_cast<std::int64_t>(state.RRIntervals.written().size());
  return countOf(count, "интервал", "интервала", "интервалов");
}

}  // namespace

ChartFill chartFill(analysis::Picture chart, const charts::DisplayList& drawing,
                    const std::optional<analysis::RunReport>& stopped) {
  const std::size_t index = static_cast<std::size_t>(chart);
  if (!stopped || stageIndex(stopped->stage) > stageIndex(kLastStages[index])) {
    return ChartFill::complete;
  }
  const bool onlyCleared = drawing.size() <= 1;
  return onlyCleared ? ChartFill::blank : ChartFill::partial;
}

std::string chartDescription(analysis::Picture chart, ChartFill fill,
                             const analysis::AnalysisState& state, std::string_view shift) {
  const std::string noun = kChartNouns[static_cast<std::size_t>(chart)];
  switch (fill) {
    case ChartFill::blank:
      return "";
    case ChartFill::partial:
      return noun + ", построение прервано ошибкой";
    case ChartFill::complete:
      break;
  }
  switch (chart) {
    case analysis::Picture::Picture2:
      return noun + ", " + intervals(state) + ", сдвиг тау " + std::string(shift);
    case analysis::Picture::Picture3:
      return noun + ", " + countOf(state.SampleLines.lineCount(), "сэмпл", "сэмпла", "сэмплов");
    default:
      return noun + ", " + intervals(state);
  }
}

}  // namespace rrscope::ui
