// EDF and BDF files written from fuzzed header fields: the input's lines,
// up to the first NUL, are the text of the fields in the header's order
// (the file's, then nine for each signal), the rest the data records. A
// field with a byte beyond ASCII sends the file past EDFlib to the BioSig
// child, so both readers, and the checks of sizes before either, are
// fuzzed. A file reads as a channel whose values fit its invalid runs, or
// fails with a RecordingError, in bounded time and memory.
#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "record_files.h"
#include "recording_checks.h"
#include "recordings/read_recording.h"
#include "recordings/recording_error.h"

namespace {

// The widths of the file's fields before the signals' (the header size is
// computed), then of each signal's fields in order.
constexpr int kFileWidths[] = {8, 80, 80, 8, 8, 44, 8, 8, 4};
constexpr int kSignalWidths[] = {16, 80, 8, 8, 8, 8, 8, 80, 8};
constexpr int kMostSignals = 4;

std::string field(std::string_view text, int width) {
  std::string padded(text.substr(0, static_cast<std::size_t>(width)));
  padded.resize(static_cast<std::size_t>(width), ' ');
  return padded;
}

// The header of the fuzzed fields and the data after it.
std::string edfFile(std::string_view input) {
  const std::size_t split = input.find('\0');
  std::string_view fields = input.substr(0, split);
  const std::string_view data =
      split == std::string_view::npos ? std::string_view() : input.substr(split + 1);
  std::vector<std::string_view> lines;
  while (!fields.empty()) {
    const std::size_t end = fields.find('\n');
    lines.push_back(fields.substr(0, end));
    fields = end == std::string_view::npos ? std::string_view() : fields.substr(end + 1);
  }
  lines.resize(9 + 9 * kMostSignals);
  const int signals = std::clamp(std::atoi(std::string(lines[8]).c_str()), 1, kMostSignals);
  std::string file;
  for (int i = 0; i < 5; ++i) file += field(lines[static_cast<std::size_t>(i)], kFileWidths[i]);
  file += field(std::to_string(256 + 256 * signals), 8);
  for (int i = 5; i < 9; ++i) file += field(lines[static_cast<std::size_t>(i)], kFileWidths[i]);
  for (int f = 0; f < 9; ++f) {
    for (int s = 0; s < signals; ++s) {
      file += field(lines[static_cast<std::size_t>(9 + 9 * s + f)], kSignalWidths[f]);
    }
  }
  file += std::string(static_cast<std::size_t>(32 * signals), ' ');
  file.append(data);
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const rrscope::fuzz::RecordFolder folder;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string file = edfFile(input);
  // BDF's version field starts with byte 255.
  const bool bdf = !file.empty() && static_cast<unsigned char>(file[0]) == 0xff;
  const std::string path = folder.writeFile(bdf ? "file.bdf" : "file.edf", file);
  for (const char* channel : {"0", "1"}) {
    try {
      const rrscope::recordings::Recording recording =
          rrscope::recordings::readEdfRecording(path, {channel});
      rrscope::fuzz::checkRecording(recording, input);
    } catch (const rrscope::recordings::RecordingError&) {
    }
  }
  return 0;
}
