// The FLAC signal files (formats 508, 516 and 524): the input's first byte
// chooses a header, one or two signals, with or without a length; the rest
// is the stream. A stream decodes to the values its header allows, or is
// refused with a RecordingError, never beyond what its size can hold.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "record_files.h"
#include "recording_checks.h"
#include "recordings/read_recording.h"
#include "recordings/recording_error.h"
#include "recordings/wfdb_flac.h"

namespace {

constexpr std::array<std::string_view, 6> kHeaders{
    "RECORD 1 360 240\nRECORD.dat 516 200 16 0 0 0 0 II\n",
    "RECORD 2 360 240\nRECORD.dat 516 200 16 0 0 0 0 II\nRECORD.dat 516 200 16 0 0 0 0 V5\n",
    "RECORD 2 360\nRECORD.dat 516 200 16 0 0 0 0 II\nRECORD.dat 516 200 16 0 0 0 0 V5\n",
    "RECORD 1 250 100\nRECORD.dat 508 200 8 0 0 0 0 II\n",
    "RECORD 2 250\nRECORD.dat 524x2 200 24 0 0 0 0 II\nRECORD.dat 524x2 200 24 0 0 0 0 V5\n",
    "RECORD 1 500\nRECORD.dat 516 200 16 0 0 0 0 II\n",
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const rrscope::fuzz::RecordFolder folder;
  if (size == 0) return 0;
  const std::string_view header = kHeaders[data[0] % kHeaders.size()];
  const std::string_view stream(reinterpret_cast<const char*>(data + 1), size - 1);
  std::string record(header);
  record.push_back('\0');
  record.append(stream);
  const std::string path = folder.write(record);
  for (const char* signal : {"0", "1"}) {
    try {
      const rrscope::recordings::Recording recording =
          rrscope::recordings::readWfdbRecording(path, {signal});
      FUZZ_CHECK(recording.values.size() <= size * rrscope::recordings::kMostFlacSamplesPerByte,
                 header);
      rrscope::fuzz::checkRecording(recording, header);
    } catch (const rrscope::recordings::RecordingError&) {
    }
  }
  return 0;
}
