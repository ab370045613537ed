#pragma once

#include <QString>
#include <span>

#include "hrv/hrv_measures.h"

namespace rrscope::report {

// The groups the tables of measures show, each from its first measure on,
// in the order of the measures.
struct MeasureGroup {
  hrv::Measure first;
  const char* title;  // in Russian, UTF-8
};
std::span<const MeasureGroup> measureGroups();

// The measure's value with the decimals its size deserves, or "—" with the
// reason when it has none.
QString measureText(hrv::Measure measure, const hrv::MeasureValue& value);

}  // namespace rrscope::report
