#pragma once

#include <QString>

#include "hrv/hrv_measures.h"

namespace rrscope::report {

// How the report's table names a measure and its unit.
struct MeasureName {
  QString name;
  QString unit;  // empty for measures without a unit
};

MeasureName measureName(hrv::Measure measure);

// The measure's value with the decimals its size deserves, or "—" with the
// reason when it has none.
QString measureText(hrv::Measure measure, const hrv::MeasureValue& value);

}  // namespace rrscope::report
