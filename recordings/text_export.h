#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "recordings/recording.h"

namespace rrscope::recordings {

// The window reads text files of at most this many lines.
inline constexpr std::int64_t kMaxTextLines = 10'000'000;
inline constexpr std::int64_t kTextRate = 6000;

// The number of lines of the recording at 6000 samples per second: line k is
// the signal at k / 6000 s, the last at or before the last sample.
std::int64_t textLineCount(const Recording& recording);

// Where the parts of an export go. Parts are numbered from 0 and come in
// order; each ends before the next begins.
class TextPartSink {
 public:
  virtual ~TextPartSink() = default;
  virtual void beginPart(std::size_t index, std::size_t partCount) = 0;
  virtual void writeLines(std::string_view text) = 0;
  // `beatLines`: the part's reference beats as 1-based line numbers in the
  // part; empty when there are none or none were given.
  virtual void endPart(std::span<const std::int64_t> beatLines) = 0;
};

// Writes the recording as text at 6000 samples per second (linear
// interpolation between samples, three decimals, LF line ends) in parts of
// at most kMaxTextLines lines. `beats` are 0-based positions at 6000
// samples per second, in order; beats past the last line are dropped.
void exportText(const Recording& recording, std::span<const std::int64_t> beats,
                TextPartSink& sink);

// Writes the parts as files in `folder`: STEM.txt for one part, else
// STEM-1.txt, STEM-2.txt, ...; with beats, STEM-beats.txt or STEM-1-beats.txt
// beside each. Each file appears whole or not at all (written to a
// temporary name and renamed). Returns the paths written.
std::vector<std::filesystem::path> exportTextFiles(const Recording& recording,
                                                   std::span<const std::int64_t> beats,
                                                   bool withBeats,
                                                   const std::filesystem::path& folder,
                                                   std::string_view stem);

}  // namespace rrscope::recordings
