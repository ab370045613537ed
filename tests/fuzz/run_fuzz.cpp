// A whole run on any file bytes and parameter texts, as "Нажми меня" and then
// "освежить" run it: every outcome is a completed run or an error report,
// never a crash, a hang or a sanitizer report.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "charts/recording_window.h"
#include "charts/run.h"

namespace {

// The input is up to nine parameter texts, each ended by the byte 0xFF, and
// then the bytes of the sample file; boxes without a text keep the window's.
constexpr char kTextEnd = '\xFF';

// A file in memory that the run opens by name, as it opens any file.
class MemoryFile {
 public:
  explicit MemoryFile(std::string_view bytes) : fd_(::memfd_create("samples", 0)) {
    if (fd_ >= 0 && ::write(fd_, bytes.data(), bytes.size()) < 0) {
      ::close(fd_);
      fd_ = -1;
    }
  }
  ~MemoryFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;

  std::string path() const { return fd_ < 0 ? std::string() : "/dev/fd/" + std::to_string(fd_); }

 private:
  int fd_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  rrscope::charts::RecordingWindow window;
  for (int box = 0; box < 9; ++box) {
    const std::size_t end = input.find(kTextEnd);
    if (end == std::string_view::npos) break;
    window.setText(static_cast<rrscope::analysis::TextBox>(box), input.substr(0, end));
    input.remove_prefix(end + 1);
  }
  const MemoryFile file(input);
  window.setNextFile(file.path());
  rrscope::analysis::AnalysisState state;
  rrscope::charts::runAnalysis(rrscope::charts::RunEntry::command1, state, window);
  rrscope::charts::runAnalysis(rrscope::charts::RunEntry::command2, state, window);
  return 0;
}
