#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace rrscope::beats {

// A line of a beat file that holds no position.
class BeatFileError : public std::runtime_error {
 public:
  BeatFileError(std::size_t line, const std::string& message)
      : std::runtime_error(message), line_(line) {}
  std::size_t line() const { return line_; }

 private:
  std::size_t line_;
};

// Reads beat positions written one per line as 1-based sample positions
// (whole or fractional), and returns them as 0-based sample indices in
// increasing order. Blank lines and lines that begin with "#" are skipped;
// LF, CRLF and CR end lines. Throws BeatFileError naming the first line that
// is not a single finite number at least 1.
std::vector<double> parseBeatPositions(std::string_view text);

// The same for a file; a file that cannot be read throws BeatFileError with
// line 0.
std::vector<double> readBeatFile(const std::string& path);

}  // namespace rrscope::beats
