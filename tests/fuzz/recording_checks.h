#pragma once

// What every recording a reader accepts must satisfy, whatever its file.
#include <cmath>
#include <string_view>

#include "fuzz_check.h"
#include "recordings/recording.h"

namespace rrscope::fuzz {

// A positive rate, a usable gain, and invalid runs that increase, are not
// empty and lie within the values.
inline void checkRecording(const recordings::Recording& recording, std::string_view shown) {
  FUZZ_CHECK(recording.rate.numerator > 0 && recording.rate.denominator > 0, shown);
  FUZZ_CHECK(recording.gain != 0 && std::isfinite(recording.gain), shown);
  std::size_t end = 0;
  for (const auto& run : recording.invalid) {
    FUZZ_CHECK(run.first >= end && run.first < run.end, shown);
    end = run.end;
  }
  FUZZ_CHECK(end <= recording.values.size(), shown);
}

}  // namespace rrscope::fuzz
