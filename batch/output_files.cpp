#include "batch/output_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <set>
#include <stdexcept>
#include <system_error>

#include "batch/whole_file.h"

namespace rrscope::batch {
namespace {

// "\"NAME\"" followed by `rest`.
std::string quoted(std::string_view name, std::string_view rest) {
  std::string text = "\"";
  text += name;
  text += '"';
  text += rest;
  return text;
}

std::string pictureName(analysis::Picture picture) {
  return "Picture" + std::to_string(static_cast<int>(picture) + 1);
}

std::filesystem::path inFolder(const std::string& dir, std::string name) {
  return std::filesystem::path(dir) / std::filesystem::path(std::move(name));
}

std::string makeFolder(const std::string& dir) {
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  if (error || !std::filesystem::is_directory(dir)) {
    return "cannot make the output folder " +
           quoted(dir, error ? " (" + error.message() + ")" : std::string());
  }
  return {};
}

[[noreturn]] void cannotWrite(const std::filesystem::path& path, int error) {
  throw OutputError("cannot write " + quoted(path.string(), " (") + std::strerror(error) + ")");
}

// A complete file under a hidden temporary name beside its own, removed
// unless it takes that name.
class StagedFile {
 public:
  StagedFile(const std::filesystem::path& path, std::string_view content)
      : path_(path), staged_(path) {
    std::string name(1, '.');
    name += path.filename().string();
    name += ".staged-";
    name += std::to_string(::getpid());
    staged_.replace_filename(name);
    const int fd = ::open(staged_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) cannotWrite(path_, errno);
    const int error = writeAndClose(fd, content);
    if (error != 0) {
      ::unlink(staged_.c_str());
      cannotWrite(path_, error);
    }
  }
  ~StagedFile() {
    if (!placed_) ::unlink(staged_.c_str());
  }
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  // 0 when the file took its name, errno otherwise.
  int place() {
    if (::rename(staged_.c_str(), path_.c_str()) != 0) return errno;
    placed_ = true;
    return 0;
  }
  // Removes the file again when another of its set could not be placed.
  void withdraw() const {
    if (placed_) ::unlink(path_.c_str());
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  // 0 when all of `content` is on the disk, errno otherwise.
  static int writeAndClose(int fd, std::string_view content) {
    int error = 0;
    while (!content.empty() && error == 0) {
      const ssize_t written = ::write(fd, content.data(), content.size());
      if (written < 0 && errno != EINTR) error = errno;
      if (written > 0) content.remove_prefix(static_cast<std::size_t>(written));
    }
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    return error;
  }

  std::filesystem::path path_;
  std::filesystem::path staged_;
  bool placed_ = false;
};

}  // namespace

void writeOutputsTogether(std::span<const OutputContent> outputs) {
  std::vector<std::unique_ptr<StagedFile>> staged;
  for (const OutputContent& output : outputs) {
    staged.push_back(std::make_unique<StagedFile>(output.path, output.content));
  }
  for (const auto& file : staged) {
    if (const int error = file->place(); error != 0) {
      for (const auto& placed : staged) placed->withdraw();
      cannotWrite(file->path(), error);
    }
  }
}

std::string outputStem(std::string_view file) {
  return std::filesystem::path(file).stem().string();
}

std::filesystem::path displayListPath(const std::string& dir, std::string_view stem) {
  return inFolder(dir, std::string(stem) + ".json");
}

std::filesystem::path svgPath(const std::string& dir, std::string_view stem,
                              analysis::Picture picture) {
  return inFolder(dir, std::string(stem) + "-" + pictureName(picture) + ".svg");
}

std::filesystem::path windowPngPath(const std::string& dir, std::string_view stem) {
  return inFolder(dir, std::string(stem) + ".png");
}

std::filesystem::path picturePngPath(const std::string& dir, std::string_view stem,
                                     analysis::Picture picture) {
  return inFolder(dir, std::string(stem) + "-" + pictureName(picture) + ".png");
}

std::vector<std::filesystem::path> plannedOutputs(const BatchOptions& options,
                                                  std::string_view file) {
  const std::string stem = outputStem(file);
  std::vector<std::filesystem::path> paths;
  if (options.displayListDir) paths.push_back(displayListPath(*options.displayListDir, stem));
  if (options.svgDir) {
    for (const analysis::Picture picture : kPictures)
      paths.push_back(svgPath(*options.svgDir, stem, picture));
  }
  if (options.pngDir) {
    paths.push_back(windowPngPath(*options.pngDir, stem));
    for (const analysis::Picture picture : kPictures) {
      paths.push_back(picturePngPath(*options.pngDir, stem, picture));
    }
  }
  const RecordingOptions& recording = options.recording;
  if (const auto& dir = recording.reportDir) {
    paths.push_back(inFolder(*dir, stem + ".pdf"));
    paths.push_back(inFolder(*dir, stem + ".png"));
  }
  // A text export's parts are STEM.txt or STEM-1.txt, STEM-2.txt ...: how
  // many is known only once it runs, but two files of one stem would share
  // every name, so the first stands for them all.
  if (const auto& dir = recording.toTextDir) {
    paths.push_back(inFolder(*dir, stem + ".txt"));
    if (recording.textBeats) paths.push_back(inFolder(*dir, stem + "-beats.txt"));
  }
  if (const auto& dir = recording.csvExportDir) paths.push_back(inFolder(*dir, stem + ".csv"));
  return paths;
}

std::string prepareOutputs(const BatchOptions& options) {
  const RecordingOptions& recording = options.recording;
  if (!options.writesCharts() && !recording.reportDir && !recording.toTextDir &&
      !recording.csvExportDir) {
    return {};
  }
  std::set<std::filesystem::path> planned;
  for (const std::string& file : options.files) {
    if (outputStem(file).empty()) {
      return quoted(file, " has no file name to name its output files after");
    }
    for (const std::filesystem::path& path : plannedOutputs(options, file)) {
      const std::filesystem::path key = std::filesystem::weakly_canonical(path);
      if (!planned.insert(key).second) {
        return "two input files would both write " +
               quoted(path.string(), "; give files with different names");
      }
      if (!options.force && std::filesystem::exists(path)) {
        return quoted(path.string(), " exists already; use --force to overwrite it");
      }
    }
  }
  for (const auto& dir : {options.displayListDir, options.svgDir, options.pngDir,
                          recording.reportDir, recording.toTextDir, recording.csvExportDir}) {
    if (!dir) continue;
    if (std::string problem = makeFolder(*dir); !problem.empty()) return problem;
  }
  return {};
}

}  // namespace rrscope::batch
