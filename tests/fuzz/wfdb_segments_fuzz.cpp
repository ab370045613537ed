// Multi-segment WFDB records: a fuzzed master header, layout and two
// segments (their files apart by the bytes DE AD BE EF), each of whose lengths, gains and samples
// per frame may be anything. Every signal a record accepts reads as values and invalid runs that
// fit together, or fails with a RecordingError; the sums and products of segment lengths must not
// wrap.
#include <cmath>
#include <cstdint>
#include <string_view>

#include "fuzz_check.h"
#include "record_files.h"
#include "recording_checks.h"
#include "recordings/read_recording.h"
#include "recordings/recording_error.h"

namespace {

constexpr std::size_t kSignalsRead = 3;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const rrscope::fuzz::RecordFolder folder;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string header =
      folder.writeParts(input, {"RECORD.hea", "RECORD_0.hea", "A.hea", "A.dat", "B.hea", "B.dat"});
  for (std::size_t signal = 0; signal < kSignalsRead; ++signal) {
    try {
      const rrscope::recordings::Recording recording =
          rrscope::recordings::readWfdbRecording(header, {std::to_string(signal)});
      rrscope::fuzz::checkRecording(recording, input);
      // Every invalid sample was bridged to a physical value a body has.
      for (std::size_t i = 0; i < recording.values.size(); i += 97) {
        FUZZ_CHECK(std::isfinite(recording.physical(i)), input);
      }
    } catch (const rrscope::recordings::RecordingError&) {
    }
  }
  return 0;
}
