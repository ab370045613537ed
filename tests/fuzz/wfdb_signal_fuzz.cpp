// The WFDB signal decoders of every format, on a fuzzed header and any
// signal bytes: each signal a header accepts reads as values and invalid
// runs that fit together, or fails with a RecordingError.
#include <cmath>
#include <cstdint>
#include <string_view>

#include "record_files.h"
#include "recording_checks.h"
#include "recordings/read_recording.h"
#include "recordings/recording_error.h"

namespace {

constexpr std::size_t kSignalsRead = 4;  // enough for every layout of a frame

}  // namespace
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const rrscope::fuzz::RecordFolder folder;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string header = folder.write(input);
  for (std::size_t signal = 0; signal < kSignalsRead; ++signal) {
    try {
      const rrscope::recordings::Recording recording =
          rrscope::recordings::readWfdbRecording(header, {std::to_string(signal)});
      rrscope::fuzz::checkRecording(recording, input);
    } catch (const rrscope::recordings::RecordingError&) {
    }
  }
  return 0;
}
