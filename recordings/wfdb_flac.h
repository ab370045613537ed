#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace rrscope::recordings {

// WFDB formats 508, 516 and 524 keep the signals of a file as the channels
// of a FLAC stream, of 8, 16 or 24 bits.
inline bool isWfdbFlacFormat(int format) {
  return format == 508 || format == 516 || format == 524;
}
inline int wfdbFlacBits(int format) {
  return format - 500;
}

// The most samples a FLAC channel is read to when the header gives no
// length: a few bytes of FLAC may encode billions of samples of a constant.
inline constexpr std::size_t kLongestWfdbFlacChannel = std::size_t{1} << 28;

// The most samples a byte of a FLAC file may decode to, over the whole
// file: an ECG compresses two to four times, and even hours of a flat lead
// in a day keep the whole file far below this. More is a stream built to
// fill memory, stopped as it decodes.
inline constexpr std::size_t kMostFlacSamplesPerByte = 256;

// The samples of channel `channel` of the FLAC signal file `path`, which
// must hold `channels` channels of `bits` bits, up to `limit` of them.
// Memory holds that channel alone. Throws RecordingError naming `path`
// when the file is no FLAC stream, its layout differs or it is damaged.
std::vector<std::int32_t> readWfdbFlacChannel(const std::string& path, unsigned channels,
                                              unsigned bits, std::size_t channel,
                                              std::size_t limit);

// Writes `channels` (of equal length) as the FLAC stream of a format 508,
// 516 or 524 signal file. Throws std::runtime_error when it cannot.
void writeWfdbFlacFile(const std::filesystem::path& path, int format,
                       std::span<const std::vector<std::int32_t>> channels);

}  // namespace rrscope::recordings
