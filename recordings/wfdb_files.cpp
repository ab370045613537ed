#include "recordings/wfdb_files.h"

#include "recordings/recording_error.h"

namespace rrscope::recordings {

void requireRegularFile(const std::filesystem::path& path, std::string_view what) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  const std::string file = path.string();
  switch (status.type()) {
    case std::filesystem::file_type::regular:
      return;
    case std::filesystem::file_type::not_found:
      throw RecordingError(file, "cannot open the " + std::string(what) + ": no such file");
    case std::filesystem::file_type::directory:
      throw RecordingError(file, "the " + std::string(what) + " is a folder");
    default:
      if (error) throw RecordingError(file, "cannot open the " + std::string(what));
      throw RecordingError(file, "the " + std::string(what) + " is not a regular file");
  }
}

void refuseSpecialFile(const std::string& path) {
  std::error_code error;
  const std::filesystem::file_type type = std::filesystem::status(path, error).type();
  const bool special =
      type == std::filesystem::file_type::fifo || type == std::filesystem::file_type::socket ||
      type == std::filesystem::file_type::block || type == std::filesystem::file_type::character;
  if (special) throw RecordingError(path, "the file is not a regular file");
}

std::filesystem::path fileInFolder(const std::filesystem::path& folder, const std::string& name,
                                   const std::string& headerPath, std::string_view what) {
  const bool elsewhere =
      name.empty() || name.find_first_of("/\\") != std::string::npos || name == "." || name == "..";
  if (elsewhere) {
    throw RecordingError(
        headerPath, "the " + std::string(what) + " \"" + name + "\" is not in the record's folder");
  }
  return folder / name;
}

}  // namespace rrscope::recordings
