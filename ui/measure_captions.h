#pragma once

#include <string_view>

#include "hrv/hrv_measures.h"

namespace rrscope::ui {

// How the measures window presents a measure: its Russian name, unit, a
// one-line explanation and the decimals its value is shown with.
struct MeasureCaption {
  std::string_view name;
  std::string_view unit;
  std::string_view explanation;
  int decimals;
};

const MeasureCaption& measureCaption(hrv::Measure measure);

// The reason a measure is undefined, in Russian.
std::string_view undefinedReasonText(hrv::Undefined reason);

}  // namespace rrscope::ui
