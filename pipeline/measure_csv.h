#pragma once

#include <string>

#include "hrv/hrv_measures.h"

namespace rrscope::pipeline {

// The measures as CSV columns, as the batch tool and the window write them:
// ",KEY" for each measure, then ",hrv_undefined".
std::string measureCsvColumns();

// The fields of those columns: each value in the shortest form that reads
// back exactly, empty where undefined, and the reasons of the undefined
// ones, "KEY: reason; ...", in the last.
void appendMeasureCsvFields(std::string& out, const hrv::Measures& measures);

}  // namespace rrscope::pipeline
