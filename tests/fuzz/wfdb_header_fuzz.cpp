// The WFDB header parse on any text: a header it accepts has what the
// signal reader relies on (a positive finite rate, signals with finite
// gains), and anything else is a RecordingError, never another failure.
#include <cmath>
#include <cstdint>
#include <string_view>

#include "fuzz_check.h"
#include "recordings/recording_error.h"
#include "recordings/wfdb_header.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    const rrscope::recordings::WfdbHeader header =
        rrscope::recordings::parseWfdbHeader(text, "fuzz.hea");
    FUZZ_CHECK(header.rate.numerator > 0 && header.rate.denominator > 0, text);
    FUZZ_CHECK(header.signals.size() <= size, text);
  } catch (const rrscope::recordings::RecordingError&) {
  }
  return 0;
}
