#pragma once

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <exception>
#include <fstream>
#include <functional>
#include <string>

namespace rrscope::test {

// AddressSanitizer and ThreadSanitizer reserve terabytes of address space,
// so their builds bound only the time.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr bool kAddressSpaceCanBeBounded = false;
#else
inline constexpr bool kAddressSpaceCanBeBounded = true;
#endif

struct Bounds {
  unsigned seconds = 10;                        // processor time, and twice that waiting
  std::size_t memory = std::size_t{512} << 20;  // address space beyond what the child has
};

// How a bounded child ended: `text` is what its body returned, when it
// finished; a child that broke a bound was killed by a signal instead.
struct ChildEnd {
  bool finished = false;
  int signal = 0;
  std::string text;
};

inline std::size_t addressSpaceInUse() {
  std::size_t pages = 0;
  std::ifstream("/proc/self/statm") >> pages;
  return pages * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

inline void setLimit(int resource, rlim_t value) {
  const rlimit limit{value, value};
  ::setrlimit(resource, &limit);
}

// Runs `body` in a child process whose bounds the child sets itself: the
// processor time, the time spent waiting (an alarm) and, where the build
// allows, the address space. A body that hangs or grows without end is
// killed, which the test then reports, instead of the test hanging.
inline ChildEnd runBounded(const std::function<std::string()>& body, Bounds bounds = {}) {
  int channel[2];
  if (::pipe(channel) != 0) return {};
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(channel[0]);
    setLimit(RLIMIT_CPU, bounds.seconds);
    ::alarm(2 * bounds.seconds);
    if (kAddressSpaceCanBeBounded) setLimit(RLIMIT_AS, addressSpaceInUse() + bounds.memory);
    std::string text;
    try {
      text = body();
    } catch (const std::exception& error) {
      text = std::string("exception: ") + error.what();
    }
    // The texts are short, so one write hands over all of it.
    ::_exit(::write(channel[1], text.data(), text.size()) == static_cast<ssize_t>(text.size()) ? 0
                                                                                               : 1);
  }
  ::close(channel[1]);
  ChildEnd end;
  char buffer[4096];
  for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;) {
    end.text.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(channel[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  end.finished = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  end.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  return end;
}

// A pipe whose reading end is "/dev/fd/N" and whose writing end a child
// process feeds by `writer` until the reader goes away.
class FedPipe {
 public:
  explicit FedPipe(const std::function<void(int)>& writer) {
    int ends[2];
    if (::pipe(ends) != 0) return;
    writer_ = ::fork();
    if (writer_ == 0) {
      ::close(ends[0]);
      ::signal(SIGPIPE, SIG_DFL);
      writer(ends[1]);
      ::_exit(0);
    }
    ::close(ends[1]);
    readEnd_ = ends[0];
  }
  ~FedPipe() {
    if (readEnd_ >= 0) ::close(readEnd_);
    if (writer_ > 0) {
      ::kill(writer_, SIGKILL);
      ::waitpid(writer_, nullptr, 0);
    }
  }
  FedPipe(const FedPipe&) = delete;
  FedPipe& operator=(const FedPipe&) = delete;

  std::string path() const { return "/dev/fd/" + std::to_string(readEnd_); }

 private:
  int readEnd_ = -1;
  pid_t writer_ = -1;
};

// Writes `bytes` over and over, for ever.
inline void writeForEver(int fd, const std::string& bytes) {
  for (;;) {
    if (::write(fd, bytes.data(), bytes.size()) < 0) return;
  }
}

}  // namespace rrscope::test
