#pragma once

#include <string_view>

#include "hrv/hrv_measures.h"

namespace rrscope::ui {

// The reason a measure is undefined, in Russian. The measures' own names,
// units and explanations are in hrv/measure_catalogue.h.
std::string_view undefinedReasonText(hrv::Undefined reason);

}  // namespace rrscope::ui
