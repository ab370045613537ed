#pragma once

#include <cstdint>
#include <string>

#include "analysis/run_window.h"

namespace rrscope::ui {

// The names under which the window's user knows its controls, in Russian:
// the error box and the accessibility interface speak of them alike.

// A parameter box by its caption ("порог"); a scale box, which has none, by
// the chart and axis it scales ("масштаб ритмограммы по вертикали").
std::string fieldName(analysis::TextBox box);

// What a step button does: "увеличить масштаб ритмограммы по вертикали".
std::string stepButtonName(analysis::TextBox box, bool increases);

// A chart's title as it stands above the chart ("ритмограмма").
std::string chartTitle(analysis::Picture chart);

// The chart in the genitive: "ритмограммы", "графика пульса".
std::string chartOf(analysis::Picture chart);

// A count with the Russian form of its noun: (1, "интервал", "интервала",
// "интервалов") gives "1 интервал", 3 gives "3 интервала", 758 "758 интервалов".
std::string countOf(std::int64_t count, const char* one, const char* few, const char* many);

}  // namespace rrscope::ui
