#pragma once

#include <functional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "recordings/recording.h"
#include "recordings/recording_error.h"

namespace rrscope::recordings {

// The message of the `Error` that `read` throws, or "no error".
template <typename Error = RecordingError>
std::string errorOf(const std::function<void()>& read) {
  try {
    read();
  } catch (const Error& error) {
    return error.what();
  }
  return "no error";
}

using Runs = std::vector<std::pair<std::size_t, std::size_t>>;

// Runs of samples as [first, end) pairs, to compare at once.
inline Runs runsOf(std::span<const SampleRun> runs) {
  Runs pairs;
  for (const SampleRun& run : runs) pairs.emplace_back(run.first, run.end);
  return pairs;
}

}  // namespace rrscope::recordings
