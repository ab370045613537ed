#include "batch/whole_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

namespace rrscope::batch {
namespace {

[[noreturn]] void fail(const std::filesystem::path& path, int error) {
  throw OutputError("cannot write \"" + path.string() + "\" (" + std::strerror(error) + ")");
}

// A file descriptor that closes itself.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  int get() const { return fd_; }
  // Closes now, as a close can report a write that failed late.
  int close() { return ::close(std::exchange(fd_, -1)); }

 private:
  int fd_;
};

// The new file beside `path`: hidden, and named after the process so that
// tools writing into one folder at once do not meet.
struct TemporaryFile {
  std::filesystem::path path;
  int fd;
};

TemporaryFile createBeside(const std::filesystem::path& path) {
  std::string prefix(1, '.');
  prefix += path.filename().string();
  prefix += ".tmp-";
  prefix += std::to_string(::getpid());
  prefix += '-';
  for (int attempt = 0;; ++attempt) {
    std::filesystem::path candidate = path;
    candidate.replace_filename(prefix + std::to_string(attempt));
    // The mode before the umask, as any new file gets.
    const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return {std::move(candidate), fd};
    if (errno != EEXIST) fail(path, errno);
  }
}

// 0 when all of `content` went out, errno otherwise.
int writeAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t written = ::write(fd, content.data(), content.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    content.remove_prefix(static_cast<std::size_t>(written));
  }
  return 0;
}

// 0 when the file is complete on the disk, errno otherwise.
int completeFile(Descriptor& file, std::string_view content) {
  if (const int error = writeAll(file.get(), content); error != 0) return error;
  if (::fsync(file.get()) != 0) return errno;
  if (file.close() != 0) return errno;
  return 0;
}

// The rename is itself a change of the folder, kept across a crash only
// once the folder is flushed too; a folder that cannot be flushed leaves the
// file written all the same.
void flushFolder(const std::filesystem::path& path) {
  const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
  const Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) ::fsync(dir.get());
}

}  // namespace

void writeWholeFile(const std::filesystem::path& path, std::string_view content) {
  TemporaryFile temporary = createBeside(path);
  Descriptor file(temporary.fd);
  int error = completeFile(file, content);
  if (error == 0 && ::rename(temporary.path.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temporary.path.c_str());
    fail(path, error);
  }
  flushFolder(path);
}

}  // namespace rrscope::batch
