#include "recording_paths.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "recordings/recording_error.h"

namespace rrscope::python {
namespace {

namespace py = pybind11;

// How much of a file tells whether it is text: a binary signal shows
// control bytes within its first frames.
constexpr std::size_t kTextProbeBytes = 64 * 1024;

bool isRegularFile(const std::filesystem::path& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

// Control characters other than the white space of text lines.
bool isBinaryByte(unsigned char byte) {
  return (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r' && byte != '\f' &&
          byte != '\v') ||
         byte == 0x7f;
}

}  // namespace

std::string filePath(const py::handle& path, const char* name) {
  py::object text;
  try {
    text = py::module_::import("os").attr("fspath")(path);
  } catch (const py::error_already_set&) {
    throw py::value_error(std::string(name) + " must be a str or os.PathLike, not " +
                          py::str(py::type::handle_of(path).attr("__name__")).cast<std::string>());
  }
  if (!py::isinstance<py::str>(text)) {
    throw py::value_error(std::string(name) + " must name the file as str, not bytes");
  }
  std::string file = text.cast<std::string>();
  // The system reads a path up to its first NUL byte, so "a.hea\0b" would
  // read a.hea.
  if (file.find('\0') != std::string::npos) {
    throw py::value_error(std::string(name) + " holds a NUL byte, which no file name can hold");
  }
  return file;
}

std::string recordingPath(const py::handle& path) {
  std::string file = filePath(path);
  const std::filesystem::path given(file);
  if (!given.has_extension() && !isRegularFile(given) && isRegularFile(file + ".hea")) {
    file += ".hea";
  }
  return file;
}

void requireTextFile(const std::string& path) {
  // A pipe or a device is the reader's to refuse or wait for: opening it
  // here could block.
  if (!isRegularFile(path)) return;
  std::ifstream in(path, std::ios::binary);
  if (!in) return;
  std::vector<char> bytes(kTextProbeBytes);
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  const auto binary = std::ranges::find_if(
      bytes, [](char byte) { return isBinaryByte(static_cast<unsigned char>(byte)); });
  if (binary == bytes.end()) return;
  throw recordings::RecordingError(
      path, "holds binary data (byte " + std::to_string(binary - bytes.begin()) +
                "), not a text recording of one sample a line; read a WFDB record through its "
                ".hea header, and an annotation file with read_annotations");
}

}  // namespace rrscope::python
