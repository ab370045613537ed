#pragma once

#include <pybind11/pybind11.h>

#include <string>

namespace rrscope::python {

// The path a str or os.PathLike names, as the readers take it; a
// ValueError naming `name` for anything else, or a path holding a NUL byte.
std::string filePath(const pybind11::handle& path, const char* name = "path");

// The same for a recording: a record name without its extension
// ("mitdb/223", as WFDB users write it) names its header when no file of
// that name exists and the header does.
std::string recordingPath(const pybind11::handle& path);

// An OSError when the file at `path`, read as a text recording, holds
// binary data, such as a WFDB signal or annotation file: its bytes would
// otherwise be read as a few odd numbers. Files that cannot be opened and
// anything but a regular file are left to the reader, which names the
// system's reason.
void requireTextFile(const std::string& path);

}  // namespace rrscope::python
