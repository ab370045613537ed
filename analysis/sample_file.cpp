#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "analysis/run_error.h"
#include "analysis/run_stages.h"

namespace rrscope {
namespace {

// Owns an open file descriptor, so that the file is closed on every path.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

constexpr std::size_t kBlockSize = std::size_t{16} << 20;

[[noreturn]] void throwCannotOpen(const std::string& path, ErrorCause cause, int systemError) {
  throw RunError({.cause = cause, .file = path, .systemError = systemError});
}

// The bytes of a file, read in large blocks. The size from fstat is only a
// first guess: files that grow or report no size are read to their end.
struct FileBytes {
  LargeArray<char> data;
  std::size_t size = 0;
};

FileBytes readAll(int fd, std::size_t expected, const std::string& path) {
  std::size_t capacity = expected + 1;  // one more byte tells that the end was reached
  FileBytes bytes{makeLargeArray<char>(capacity), 0};
  for (;;) {
    if (bytes.size == capacity) {
      const std::size_t grown = capacity + std::max(capacity, kBlockSize);
      auto larger = makeLargeArray<char>(grown);
      std::memcpy(larger.get(), bytes.data.get(), bytes.size);
      bytes.data = std::move(larger);
      capacity = grown;
    }
    const std::size_t want = std::min(capacity - bytes.size, kBlockSize);
    const ssize_t got = ::read(fd, bytes.data.get() + bytes.size, want);
    if (got < 0) {
      if (errno == EINTR) continue;
      throw RunError({.cause = ErrorCause::readFailed,
                      .file = path,
                      .count = static_cast<std::int64_t>(bytes.size),
                      .systemError = errno});
    }
    if (got == 0) return bytes;
    bytes.size += static_cast<std::size_t>(got);
  }
}

}  // namespace

SampleLines readSampleFile(const std::string& path) {
  if (path.empty()) throwCannotOpen(path, ErrorCause::noFileChosen, 0);
  const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) throwCannotOpen(path, ErrorCause::fileNotOpened, errno);
  struct stat info {};
  if (::fstat(file.get(), &info) != 0) throwCannotOpen(path, ErrorCause::fileNotOpened, errno);
  if (S_ISDIR(info.st_mode)) throwCannotOpen(path, ErrorCause::fileIsFolder, 0);
  const auto expected = S_ISREG(info.st_mode) ? static_cast<std::size_t>(info.st_size) : 0;
  FileBytes bytes = readAll(file.get(), expected, path);
  return SampleLines(std::move(bytes.data), bytes.size);
}

}  // namespace rrscope
