#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rrscope::recordings {

// The write end of the pipe from a child reader to its parent. Each write
// goes out at once, so that the parent sees a reader that makes progress.
class ChildPipe {
 public:
  explicit ChildPipe(int descriptor) : descriptor_(descriptor) {}
  void write(std::span<const std::byte> bytes);
  void write(std::string_view text);
  // Tells the parent that the reader still makes progress, without data.
  void keepAlive();

 private:
  int descriptor_;
};

// Runs `work` in a forked child and returns every byte it wrote. A library
// that may crash or hang on a damaged file then takes only the child with
// it: a signal, a non-zero exit, `quietLimit` without a byte from the child,
// a child still running after `totalLimit` (one that keeps reporting while
// it spins on a damaged file) or a child that ends before `work` returned
// becomes a RecordingError naming `file`; so does an exception thrown by
// `work`, with its message.
// The child leaves through _exit, so the parent's atexit handlers and stdio
// buffers stay the parent's alone.
std::vector<std::byte> runInChild(
    const std::function<void(ChildPipe&)>& work, std::string_view file,
    std::chrono::milliseconds quietLimit,
    std::chrono::milliseconds totalLimit = std::chrono::milliseconds::max());

}  // namespace rrscope::recordings
