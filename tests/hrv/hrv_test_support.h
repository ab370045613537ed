#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "hrv/hrv_measures.h"

namespace rrscope::hrv {

inline double valueOf(const Measures& measures, Measure measure) {
  const MeasureValue& value = measures[measure];
  EXPECT_TRUE(value.defined()) << measureKey(measure) << ": " << undefinedText(value.reason());
  return value.defined() ? value.value() : -1;
}

inline void expectUndefined(const Measures& measures, std::initializer_list<Measure> which,
                            Undefined reason) {
  for (const Measure measure : which) {
    EXPECT_FALSE(measures[measure].defined()) << measureKey(measure);
    EXPECT_EQ(measures[measure].reason(), reason) << measureKey(measure);
  }
}

inline std::vector<double> repeated(std::vector<double> pattern, std::size_t times) {
  std::vector<double> series;
  for (std::size_t i = 0; i < times; ++i)
    series.insert(series.end(), pattern.begin(), pattern.end());
  return series;
}

}  // namespace rrscope::hrv
