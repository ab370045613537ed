#include "beats/beat_file.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace rrscope::beats {
namespace {

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

double positionOnLine(std::string_view line, std::size_t number) {
  double value = 0;
  const char* end = line.data() + line.size();
  const auto [stop, error] = std::from_chars(line.data(), end, value);
  if (error != std::errc{} || stop != end || !std::isfinite(value) || value < 1) {
    throw BeatFileError(number, std::string(line.substr(0, 200)),
                        "is not a beat position, a 1-based sample position");
  }
  return value - 1;
}

constexpr const char* kTooLarge = "it is larger than 64 MiB, too large for a beat file";

// Looks at the file before opening it: opening a FIFO nobody writes to
// would wait for ever, and a device such as /dev/zero never ends.
void checkReadableFile(const std::string& path) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (error) return;  // opening it names the reason
  if (std::filesystem::is_directory(status)) throw BeatFileError(0, {}, "it is a folder");
  if (!std::filesystem::is_regular_file(status)) {
    throw BeatFileError(0, {}, "it is not a regular file");
  }
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (!error && size > kMaxBeatFileBytes) throw BeatFileError(0, {}, kTooLarge);
}

// The whole file, up to the limit: it may grow after it was looked at.
std::string boundedContent(std::ifstream& in) {
  std::string bytes(std::size_t{1} << 20, '\0');
  std::size_t done = 0;
  while (in && done <= kMaxBeatFileBytes) {
    if (done == bytes.size()) bytes.resize(bytes.size() * 2);
    in.read(bytes.data() + done, static_cast<std::streamsize>(bytes.size() - done));
    done += static_cast<std::size_t>(in.gcount());
  }
  if (done > kMaxBeatFileBytes) throw BeatFileError(0, {}, kTooLarge);
  bytes.resize(done);
  return bytes;
}

}  // namespace

std::vector<double> parseBeatPositions(std::string_view text) {
  std::vector<double> positions;
  std::size_t number = 0;
  while (!text.empty()) {
    ++number;
    const auto breakAt = text.find_first_of("\r\n");
    const std::string_view line = trimmed(text.substr(0, breakAt));
    if (breakAt == std::string_view::npos) {
      text = {};
    } else {
      const bool crlf =
          text[breakAt] == '\r' && breakAt + 1 < text.size() && text[breakAt + 1] == '\n';
      text.remove_prefix(breakAt + (crlf ? 2 : 1));
    }
    if (line.empty() || line.front() == '#') continue;
    positions.push_back(positionOnLine(line, number));
  }
  std::sort(positions.begin(), positions.end());
  return positions;
}

std::vector<double> readBeatFile(const std::string& path) {
  checkReadableFile(path);
  std::ifstream in(path, std::ios::binary);
  if (!in) throw BeatFileError(0, {}, std::strerror(errno));
  const std::string bytes = boundedContent(in);
  if (in.bad()) throw BeatFileError(0, {}, "reading stopped before its end");
  return parseBeatPositions(bytes);
}

}  // namespace rrscope::beats
