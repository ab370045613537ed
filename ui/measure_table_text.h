#pragma once

#include <QString>

#include "hrv/hrv_measures.h"

namespace rrscope::ui {

// A measure's value as the table shows it, or "нет данных: <reason>".
QString shownValue(const hrv::MeasureValue& value, int decimals);

// The table as tab-separated lines with a header, as shown, for pasting.
QString tableAsTabText(const hrv::Measures& measures);

// The table as CSV with a header: key, name, value (full precision, empty
// when undefined), unit and the reason a value is missing.
QString tableAsCsv(const hrv::Measures& measures);

}  // namespace rrscope::ui
