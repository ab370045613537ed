// The RR file parse on any text: it reads positive finite intervals or
// names the line that is none, and never throws.
#include <cmath>
#include <cstdint>
#include <string_view>

#include "fuzz_check.h"
#include "recordings/rr_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const rrscope::recordings::RrSeries series = rrscope::recordings::parseRrText(text);
  FUZZ_CHECK(!series.error || series.intervalsMs.empty(), text);
  for (const double interval : series.intervalsMs) {
    FUZZ_CHECK(std::isfinite(interval) && interval > 0, text);
  }
  return 0;
}
