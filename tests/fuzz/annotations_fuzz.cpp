// The MIT annotation reader on any bytes, from a file as it reads them:
// annotations in time order, or a RecordingError naming the file.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "recordings/recording_error.h"
#include "recordings/wfdb_annotations.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("rrscope-fuzz-" + std::to_string(::getpid()) + ".atr"))
                               .string();
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  const std::string_view shown(reinterpret_cast<const char*>(data), size);
  try {
    const rrscope::recordings::AnnotationFile file = rrscope::recordings::readAnnotations(path);
    for (std::size_t i = 1; i < file.annotations.size(); ++i) {
      FUZZ_CHECK(file.annotations[i].sample >= file.annotations[i - 1].sample, shown);
    }
    FUZZ_CHECK(file.annotations.size() <= size, shown);
  } catch (const rrscope::recordings::RecordingError&) {
  }
  return 0;
}
