#pragma once

#include <filesystem>
#include <stdexcept>
#include <string_view>

namespace rrscope::batch {

// An output that could not be written; the message names the file and the
// system's reason, such as "No space left on device".
class OutputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Writes `content` as the file `path`, whole or not at all: into a new file
// beside it, flushed to the disk, which then replaces `path` in one rename.
// On failure `path` keeps what it held, the new file is removed, and
// OutputError says why.
void writeWholeFile(const std::filesystem::path& path, std::string_view content);

}  // namespace rrscope::batch
