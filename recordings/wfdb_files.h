#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace rrscope::recordings {

// Throws RecordingError naming `path` unless it is a regular file (or a
// link to one): a folder, a FIFO or a device would block or never end.
// Checks before anything opens the file. `what` says which file of the
// record it is, e.g. "header".
void requireRegularFile(const std::filesystem::path& path, std::string_view what);

// Throws RecordingError ("the file is not a regular file") when `path`
// names a FIFO, a socket or a device, which a library opening it would wait
// on for ever or read without end; a missing file or a folder is left for
// the opening to name as it does.
void refuseSpecialFile(const std::string& path);

// The path of a file named in the header `headerPath`: `what` is "signal
// file" or "segment". A record reads only files of its own folder, so a
// name with a folder in it (absolute, or "../secret.dat") is refused with a
// RecordingError naming the header.
std::filesystem::path fileInFolder(const std::filesystem::path& folder, const std::string& name,
                                   const std::string& headerPath, std::string_view what);

}  // namespace rrscope::recordings
