#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "recordings/recording.h"
#include "recordings/wfdb_annotations.h"

namespace rrscope::recordings {

// A record to write: its `channels` share one signal file, interleaved frame by
// frame, each holding ADC values of the same length.
struct WfdbRecordToWrite {
  SamplingRate rate;
  int format = 212;  // 212 or 16
  double gain = 200.0;
  std::int64_t baseline = 0;
  std::vector<std::string> labels;
  std::vector<std::span<const std::int16_t>> channels;
};

// Writes BASE.hea and BASE.dat. Throws std::runtime_error when a file
// cannot be written or a value does not fit the format.
void writeWfdbRecord(const std::filesystem::path& base, const WfdbRecordToWrite& record);

// Writes an MIT-format annotation file; the annotations must be in time order.
void writeAnnotations(const std::filesystem::path& path, std::span<const Annotation> annotations);

}  // namespace rrscope::recordings
