#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "recordings/text_export.h"

namespace rrscope::recordings {
namespace {

[[noreturn]] void throwCannotWrite(const std::filesystem::path& path, int error) {
  throw std::runtime_error("cannot write " + path.string() + ": " + std::strerror(error));
}

// A file written under a temporary name in the same folder. It takes its
// own name only when every file of the export is complete, so that a full
// disk or a refused folder leaves no part of the export behind. Until then,
// or when it is given up, the temporary is removed.
class PendingFile {
 public:
  explicit PendingFile(std::filesystem::path path)
      : path_(std::move(path)),
        temporary_(path_.string() + ".part-" + std::to_string(::getpid())),
        fd_(::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)) {
    if (fd_ < 0) throwCannotWrite(path_, errno);
  }
  ~PendingFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!renamed_) {
      std::error_code ignored;
      std::filesystem::remove(temporary_, ignored);
    }
  }
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  void write(std::string_view text) {
    while (!text.empty()) {
      const ssize_t done = ::write(fd_, text.data(), text.size());
      if (done < 0 && errno == EINTR) continue;
      if (done < 0) throwCannotWrite(path_, errno);
      text.remove_prefix(static_cast<std::size_t>(done));
    }
  }
  // Closing reports a full disk that buffered writes left unnoticed.
  void finish() {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) throwCannotWrite(path_, errno);
  }
  void takeName() {
    if (::rename(temporary_.c_str(), path_.c_str()) != 0) throwCannotWrite(path_, errno);
    renamed_ = true;
  }
  // Takes back a file that took its name while another could not.
  void withdraw() {
    std::error_code ignored;
    if (renamed_) std::filesystem::remove(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
  std::filesystem::path temporary_;
  int fd_;
  bool renamed_ = false;
};

class FileSink : public TextPartSink {
 public:
  FileSink(std::filesystem::path folder, std::string_view stem, bool withBeats)
      : folder_(std::move(folder)), stem_(stem), withBeats_(withBeats) {}

  void beginPart(std::size_t index, std::size_t partCount) override {
    name_ = partCount == 1 ? stem_ : stem_ + "-" + std::to_string(index + 1);
    files_.push_back(std::make_unique<PendingFile>(folder_ / (name_ + ".txt")));
  }
  void writeLines(std::string_view text) override { files_.back()->write(text); }
  void endPart(std::span<const std::int64_t> beatLines) override {
    files_.back()->finish();
    if (!withBeats_) return;
    files_.push_back(std::make_unique<PendingFile>(folder_ / (name_ + "-beats.txt")));
    std::string text;
    for (const std::int64_t line : beatLines) text += std::to_string(line) + '\n';
    files_.back()->write(text);
    files_.back()->finish();
  }

  // Every file takes its name, or, should one fail, none keeps it.
  std::vector<std::filesystem::path> takeNames() {
    std::vector<std::filesystem::path> written;
    try {
      for (const auto& file : files_) {
        file->takeName();
        written.push_back(file->path());
      }
    } catch (...) {
      for (const auto& file : files_) file->withdraw();
      throw;
    }
    return written;
  }

 private:
  std::filesystem::path folder_;
  std::string stem_;
  bool withBeats_;
  std::string name_;
  std::vector<std::unique_ptr<PendingFile>> files_;
};

}  // namespace

std::vector<std::filesystem::path> exportTextFiles(const Recording& recording,
                                                   std::span<const std::int64_t> beats,
                                                   bool withBeats,
                                                   const std::filesystem::path& folder,
                                                   std::string_view stem) {
  FileSink sink(folder, stem, withBeats);
  exportText(recording, beats, sink);
  return sink.takeNames();
}

}  // namespace rrscope::recordings
