// The beat file parse on any text: increasing finite positions, or a
// BeatFileError naming the line.
#include <cmath>
#include <cstdint>
#include <string_view>

#include "beats/beat_file.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    const std::vector<double> beats = rrscope::beats::parseBeatPositions(text);
    for (std::size_t i = 0; i < beats.size(); ++i) {
      FUZZ_CHECK(std::isfinite(beats[i]), text);
    }
  } catch (const rrscope::beats::BeatFileError&) {
  }
  return 0;
}
