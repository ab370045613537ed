#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace rrscope::beats {

// A beat file that cannot be read, or a line of it that holds no position.
// what() is the reason without the file's name; line() is 0 when the whole
// file is at fault, and text() then is empty.
class BeatFileError : public std::runtime_error {
 public:
  BeatFileError(std::size_t line, std::string text, const std::string& reason)
      : std::runtime_error(reason), line_(line), text_(std::move(text)) {}
  std::size_t line() const { return line_; }
  const std::string& text() const { return text_; }

 private:
  std::size_t line_;
  std::string text_;
};

// Reads beat positions written one per line as 1-based sample positions
// (whole or fractional), and returns them as 0-based sample indices in
// increasing order. Blank lines and lines that begin with "#" are skipped;
// LF, CRLF and CR end lines. Throws BeatFileError naming the first line that
// is not a single finite number at least 1.
std::vector<double> parseBeatPositions(std::string_view text);

// The largest beat file read: a week of beats written as positions takes
// some 10 MB, so a larger file is no beat file, and refusing it before
// reading keeps memory bounded.
inline constexpr std::uintmax_t kMaxBeatFileBytes = std::uintmax_t{64} << 20;

// The same for a file; a file that cannot be read throws BeatFileError with
// line 0, as do a folder, anything that is not a regular file (a FIFO or a
// device, refused before opening, so nothing waits) and a file larger than
// kMaxBeatFileBytes.
std::vector<double> readBeatFile(const std::string& path);

}  // namespace rrscope::beats
