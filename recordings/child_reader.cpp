#include "recordings/child_reader.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <exception>
#include <optional>
#include <sstream>

#include "recordings/recording_error.h"

namespace rrscope::recordings {
namespace {

// Every write of the child is framed: a tag, a length, the bytes. Data
// frames carry what `work` wrote, an error frame the message of what it
// threw, and the end frame says that `work` returned; a child that dies
// between frames leaves no end frame behind.
constexpr char kData = 'D';
constexpr char kFailure = 'E';
constexpr char kEnd = 'Z';
constexpr std::size_t kFrameHead = 1 + sizeof(std::uint64_t);
// No reader runs longer than a day, whatever budget it is given.
constexpr std::chrono::milliseconds kLongestChildRun = std::chrono::hours(24);

// Writes all of `bytes`; false when the parent has gone.
bool writeAll(int descriptor, std::span<const std::byte> bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
  return true;
}

bool writeFrame(int descriptor, char tag, std::span<const std::byte> bytes) {
  std::byte head[kFrameHead];
  head[0] = static_cast<std::byte>(tag);
  const std::uint64_t length = bytes.size();
  std::memcpy(head + 1, &length, sizeof length);
  return writeAll(descriptor, head) && writeAll(descriptor, bytes);
}

std::span<const std::byte> bytesOf(std::string_view text) {
  return std::as_bytes(std::span(text.data(), text.size()));
}

// The child's whole life: run `work`, report how it ended, leave without
// running anything of the parent's (atexit handlers, stdio buffers).
[[noreturn]] void runChild(const std::function<void(ChildPipe&)>& work, int descriptor,
                           pid_t parent) {
  // The reader dies with its parent, however the parent ends: a parent
  // stopped by a signal (a timeout's SIGTERM, Ctrl+C) must not leave it
  // reading at full speed. A parent gone before this line is caught by the
  // test after it.
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (::getppid() != parent) ::_exit(4);
  ::signal(SIGPIPE, SIG_DFL);
  // Pipes of readers other threads started hold their parent until every
  // copy of their write end is closed: keep none of them open here.
  ::close_range(3, static_cast<unsigned>(descriptor) - 1, 0);
  ::close_range(static_cast<unsigned>(descriptor) + 1, ~0U, 0);
  int status = 0;
  try {
    ChildPipe pipe(descriptor);
    work(pipe);
    if (!writeFrame(descriptor, kEnd, {})) status = 3;
  } catch (const std::exception& error) {
    if (!writeFrame(descriptor, kFailure, bytesOf(error.what()))) status = 3;
  } catch (...) {
    if (!writeFrame(descriptor, kFailure, bytesOf("the reader failed"))) status = 3;
  }
  ::_exit(status);
}

// Closes a descriptor on every way out of the parent.
class Descriptor {
 public:
  explicit Descriptor(int descriptor) : descriptor_(descriptor) {}
  ~Descriptor() { close(); }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return descriptor_; }
  void close() {
    if (descriptor_ >= 0) ::close(descriptor_);
    descriptor_ = -1;
  }

 private:
  int descriptor_;
};

// Why the parent stopped reading from the child.
enum class Reading { closed, quiet, overTime };

// Reads until the child closes the pipe, it stays silent for `quietLimit`,
// or `totalLimit` has passed since the start.
Reading readUntilClosed(int descriptor, std::chrono::milliseconds quietLimit,
                        std::chrono::milliseconds totalLimit, std::vector<std::byte>& bytes) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  const Clock::duration budget =
      std::chrono::duration_cast<Clock::duration>(std::min(totalLimit, kLongestChildRun));
  std::byte buffer[1 << 16];
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(budget - (Clock::now() - start));
    if (left.count() <= 0) return Reading::overTime;
    const auto wait = std::min(quietLimit, left);
    pollfd watched{descriptor, POLLIN, 0};
    const int ready = ::poll(&watched, 1, static_cast<int>(wait.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready == 0) return wait == quietLimit ? Reading::quiet : Reading::overTime;
    const ssize_t got = ::read(descriptor, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return Reading::closed;
    bytes.insert(bytes.end(), buffer, buffer + got);
  }
}

int waitFor(pid_t child) {
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return status;
}

std::string signalText(int signalNumber) {
  const char* name = ::strsignal(signalNumber);
  return "the reader stopped with signal " + std::to_string(signalNumber) +
         (name ? " (" + std::string(name) + ")" : std::string());
}

// What the frames said besides their data.
struct Frames {
  std::optional<std::string> failure;
  bool ended = false;
};

// Leaves the data of the frames in `bytes`, in place: a day of samples is
// too large to hold twice.
Frames unframe(std::vector<std::byte>& bytes) {
  Frames frames;
  std::size_t read = 0;
  std::size_t written = 0;
  while (bytes.size() - read >= kFrameHead) {
    const char tag = static_cast<char>(bytes[read]);
    std::uint64_t length = 0;
    std::memcpy(&length, bytes.data() + read + 1, sizeof length);
    read += kFrameHead;
    if (length > bytes.size() - read) break;
    const auto size = static_cast<std::size_t>(length);
    if (tag == kData) {
      std::memmove(bytes.data() + written, bytes.data() + read, size);
      written += size;
    }
    if (tag == kFailure) {
      frames.failure = std::string(reinterpret_cast<const char*>(bytes.data() + read), size);
    }
    if (tag == kEnd) frames.ended = true;
    read += size;
  }
  bytes.resize(written);
  return frames;
}

// A RecordingError thrown in the child already names the file.
std::string withoutFile(const std::string& message, std::string_view file) {
  const std::string prefix = std::string(file) + ": ";
  return message.starts_with(prefix) ? message.substr(prefix.size()) : message;
}

std::string secondsText(std::chrono::milliseconds duration) {
  std::ostringstream text;
  text << static_cast<double>(duration.count()) / 1000.0;
  return text.str();
}

}  // namespace

void ChildPipe::write(std::span<const std::byte> bytes) {
  if (!writeFrame(descriptor_, kData, bytes)) ::_exit(3);
}

void ChildPipe::write(std::string_view text) {
  write(bytesOf(text));
}

void ChildPipe::keepAlive() {
  write(std::span<const std::byte>());
}

std::vector<std::byte> runInChild(const std::function<void(ChildPipe&)>& work,
                                  std::string_view file, std::chrono::milliseconds quietLimit,
                                  std::chrono::milliseconds totalLimit) {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) throw RecordingError(file, "cannot start the reader");
  Descriptor readEnd(ends[0]);
  Descriptor writeEnd(ends[1]);
  const pid_t parent = ::getpid();
  const pid_t child = ::fork();
  if (child < 0) throw RecordingError(file, "cannot start the reader");
  if (child == 0) {
    ::close(ends[0]);
    runChild(work, ends[1], parent);
  }
  writeEnd.close();  // so that the read end sees the child's end of file

  std::vector<std::byte> bytes;
  const Reading reading = readUntilClosed(readEnd.get(), quietLimit, totalLimit, bytes);
  if (reading != Reading::closed) ::kill(child, SIGKILL);
  const int status = waitFor(child);
  if (reading == Reading::quiet) {
    throw RecordingError(
        file, "the reader did not answer for " + secondsText(quietLimit) + " s and was stopped");
  }
  if (reading == Reading::overTime) {
    throw RecordingError(file, "the reader took longer than the " + secondsText(totalLimit) +
                                   " s a file of its size needs and was stopped");
  }
  if (WIFSIGNALED(status)) throw RecordingError(file, signalText(WTERMSIG(status)));
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    throw RecordingError(
        file, "the reader stopped with exit status " + std::to_string(WEXITSTATUS(status)));
  }
  const Frames frames = unframe(bytes);
  if (frames.failure) throw RecordingError(file, withoutFile(*frames.failure, file));
  if (!frames.ended) throw RecordingError(file, "the reader stopped before it finished");
  return bytes;
}

}  // namespace rrscope::recordings
