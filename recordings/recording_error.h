#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace rrscope::recordings {

// A recording that cannot be read: the message names the file and what is
// wrong with it, in one line.
class RecordingError : public std::runtime_error {
 public:
  RecordingError(std::string_view file, std::string_view problem)
      : std::runtime_error(std::string(file) + ": " + std::string(problem)) {}
};

}  // namespace rrscope::recordings
