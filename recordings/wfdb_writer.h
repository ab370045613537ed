#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
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
  int format = 212;  // any format encodeWfdbSamples writes
  double gain = 200.0;
  std::int64_t baseline = 0;
  std::vector<std::string> labels;
  std::vector<std::span<const std::int16_t>> channels;
};

// Writes BASE.hea and BASE.dat. Throws std::runtime_error when a file
// cannot be written or a value does not fit the format.
void writeWfdbRecord(const std::filesystem::path& base, const WfdbRecordToWrite& record);

// The bytes of a signal file of `format` (8, 16, 24, 32, 61, 80, 160, 212,
// 310 or 311) holding `samples` in file order. Format 8 stores each sample
// as the step from the one `frameSize` places before it, the first ones
// from `initialValue`. A last group of 310 or 311 that holds two samples is
// filled up with a third of 0. Throws std::runtime_error for another
// format, or a value (or format 8 step) that does not fit it.
std::vector<unsigned char> encodeWfdbSamples(int format, std::span<const std::int32_t> samples,
                                             std::size_t frameSize = 1,
                                             std::int32_t initialValue = 0);

// Writes an MIT-format annotation file; the annotations must be in time
// order, of the types 1 to 58, with subtypes that fit a signed byte. With a
// `timeResolution` (ticks per second), the file opens with the note that
// states it and the annotations' `sample` counts in it; otherwise in the
// record's samples. Throws std::runtime_error when the file cannot be
// written or an annotation does not fit the format.
void writeAnnotations(const std::filesystem::path& path, std::span<const Annotation> annotations,
                      std::optional<std::int64_t> timeResolution = std::nullopt);

}  // namespace rrscope::recordings
