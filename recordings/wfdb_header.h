#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "recordings/recording.h"

namespace rrscope::recordings {

// One signal line of a WFDB header.
struct WfdbSignal {
  std::string file;  // the signal file, relative to the header's folder
  int format = 0;    // 212, 16, 61, 80, ...
  int samplesPerFrame = 1;
  std::int64_t byteOffset = 0;
  double gain = 200.0;  // ADC units per physical unit
  std::int64_t baseline = 0;
  std::string units = "mV";
  std::string label;
};

// The record line and the signal lines of a WFDB header.
struct WfdbHeader {
  std::string record;
  SamplingRate rate;
  std::optional<std::int64_t> sampleCount;  // per signal; absent or 0 when not given
  std::vector<WfdbSignal> signals;
};

// Parses the text of a .hea file: LF or CRLF lines, '#' comments and blank
// lines skipped. Throws RecordingError naming `file` when the header is
// malformed, announces a rate of 0 or fewer signals than it lists.
WfdbHeader parseWfdbHeader(std::string_view text, std::string_view file);

// The header of a .hea file on disk.
WfdbHeader readWfdbHeader(const std::string& path);

}  // namespace rrscope::recordings
