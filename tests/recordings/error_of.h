#pragma once

#include <functional>
#include <string>

#include "recordings/recording_error.h"

namespace rrscope::recordings {

// The message of the RecordingError that `read` throws, or "no error".
inline std::string errorOf(const std::function<void()>& read) {
  try {
    read();
  } catch (const RecordingError& error) {
    return error.what();
  }
  return "no error";
}

}  // namespace rrscope::recordings
