#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "analysis/run_error.h"
#include "analysis/run_stages.h"

namespace rrscope::analysis {
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

[[noreturn]] void throwCannotOpen(const std::string& path, ErrorCause cause, int systemError = 0) {
  throw RunError({.cause = cause, .file = path, .systemError = systemError});
}

[[noreturn]] void throwReadError(const std::string& path, std::size_t done, int error) {
  throw RunError({.cause = ErrorCause::readFailed,
                  .file = path,
                  .count = static_cast<std::int64_t>(done),
                  .systemError = error});
}

// What kind of input the name leads to, as far as reading it goes.
enum class Input { file, stream };

// Regular files are read; pipes and sockets are read as they deliver, such
// as a program's output given as /dev/stdin or <(zcat samples.txt.gz).
// Anything else, a terminal, /dev/zero or a disk, is no sample file.
Input inputKind(const std::string& path, const struct stat& info) {
  if (S_ISREG(info.st_mode)) return Input::file;
  if (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)) return Input::stream;
  if (S_ISDIR(info.st_mode)) throwCannotOpen(path, ErrorCause::fileIsFolder);
  throwCannotOpen(path, ErrorCause::fileIsDevice);
}

void makeBlocking(int fd, const std::string& path) {
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    throwCannotOpen(path, ErrorCause::fileNotOpened, errno);
  }
}

// Reads the whole input in large blocks, recording its lines as they come.
// A stream is opened without waiting for a writer: when its first read finds
// neither data nor a writer that may yet send some, no program writes to it.
SampleLines readLines(int fd, std::size_t expected, Input input, const std::string& path) {
  SampleLinesBuilder builder(expected);
  std::size_t done = 0;
  bool first = true;
  for (;;) {
    const std::span<char> space = builder.space(kBlockSize);
    const ssize_t got = ::read(fd, space.data(), space.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      // A writer is there but has sent nothing yet: wait for it.
      if (errno == EAGAIN || errno == EWOULDBLOCK) {
        makeBlocking(fd, path);
        first = false;
        continue;
      }
      throwReadError(path, done, errno);
    }
    if (got == 0) {
      if (first && input == Input::stream) {
        throwCannotOpen(path, ErrorCause::pipeWithoutWriter);
      }
      return std::move(builder).finish();
    }
    first = false;
    builder.added(static_cast<std::size_t>(got));
    done += static_cast<std::size_t>(got);
  }
}

}  // namespace

SampleLines readSampleFile(const std::string& path) {
  if (path.empty()) throwCannotOpen(path, ErrorCause::noFileChosen);
  // Without O_NONBLOCK, opening a FIFO waits for ever for a writer.
  const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (file.get() < 0) throwCannotOpen(path, ErrorCause::fileNotOpened, errno);
  struct stat info {};
  if (::fstat(file.get(), &info) != 0) throwCannotOpen(path, ErrorCause::fileNotOpened, errno);
  const Input input = inputKind(path, info);
  if (input == Input::file) makeBlocking(file.get(), path);
  const auto expected = input == Input::file ? static_cast<std::size_t>(info.st_size) : 0;
  return readLines(file.get(), expected, input, path);
}

}  // namespace rrscope::analysis
