#pragma once

#include <new>
#include <stdexcept>
#include <string>
#include <string_view>

#include "recordings/recording_error.h"

namespace rrscope::pipeline {

// The message of an error met while working on `file`, with the file in
// front unless the message begins with it already: a line that says "the
// sampling rate ... is outside 60 to 100000" must say of which file.
std::string namingFile(std::string_view file, std::string_view message);

// What `read` gives; an error from it that does not begin with `file` comes
// out as a RecordingError naming it. Running out of memory stays what it is.
template <typename Read>
auto readNamingFile(std::string_view file, Read&& read) -> decltype(read()) {
  try {
    return read();
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception& error) {
    const std::string_view message = error.what();
    if (message.starts_with(file)) throw;
    throw recordings::RecordingError(file, message);
  }
}

}  // namespace rrscope::pipeline
