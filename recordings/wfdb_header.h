#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "recordings/recording.h"

namespace rrscope::recordings {

// The sampling rates a record may have, in Hz: from slow trend channels to
// the fastest ECG converters. Rates outside are taken for a damaged header.
inline constexpr std::int64_t kLowestWfdbRate = 1;
inline constexpr std::int64_t kHighestWfdbRate = 100'000;

// The largest header read; real headers hold a few kB.
inline constexpr std::size_t kLargestWfdbHeaderBytes = 1 << 20;

// One signal line of a WFDB header.
struct WfdbSignal {
  std::string file;  // the signal file, relative to the header's folder
  int format = 0;    // 212, 16, 61, 80, ...
  int samplesPerFrame = 1;
  int skew = 0;  // frames the signal's samples lie later in the file than the record's time
  std::int64_t byteOffset = 0;
  double gain = 200.0;  // ADC units per physical unit; negative for an inverted lead
  std::int64_t baseline = 0;
  std::int64_t initialValue = 0;  // the first value, from which format 8 differences start
  std::string units = "mV";
  std::string label;

  // "~" or format 0: the signal is not stored, as in the layout of a
  // multi-segment record.
  bool stored() const { return file != "~" && format != 0; }
};

// One segment of a multi-segment record: a record of its own in the same
// folder, or "~", a stretch without signals.
struct WfdbSegment {
  std::string record;
  std::int64_t length = 0;  // frames; 0 for the layout segment

  bool null() const { return record == "~"; }
};

// The record line and the signal lines of a WFDB header, or, for a
// multi-segment record, the record line and the segment lines.
struct WfdbHeader {
  std::string record;
  std::vector<WfdbSegment> segments;        // in time order; empty for a single-segment record
  SamplingRate rate;                        // frames per second
  std::optional<SamplingRate> counterRate;  // ticks per second of the counter, when given
  std::optional<std::int64_t> sampleCount;  // frames; absent or 0 when not given
  std::vector<WfdbSignal> signals;

  // A signal of several samples per frame runs that many times faster.
  SamplingRate signalRate(std::size_t index) const;
};

// Parses the text of a .hea file: LF or CRLF lines, '#' comments and blank
// lines skipped. Throws RecordingError naming `file` when the header is
// malformed, announces a rate outside kLowestWfdbRate to kHighestWfdbRate
// or fewer signals than it lists, or gives a gain that is not a finite
// number or makes physical values overflow.
WfdbHeader parseWfdbHeader(std::string_view text, std::string_view file);

// The header of a .hea file on disk, which must be a regular file of at
// most kLargestWfdbHeaderBytes.
WfdbHeader readWfdbHeader(const std::string& path);

}  // namespace rrscope::recordings
