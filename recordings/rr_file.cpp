#include "recordings/rr_file.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "hrv/hrv_measures.h"

namespace rrscope::recordings {
namespace {

std::string_view trimmed(std::string_view line) {
  const auto first = line.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return line.substr(first, line.find_last_not_of(" \t") - first + 1);
}

// The whole text must be the number: "1,5" and "800 ms" are not intervals.
std::optional<double> positiveNumber(std::string_view text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (!std::isfinite(value) || value <= 0) return std::nullopt;
  return value;
}

std::string quotedLine(std::size_t number, std::string_view text) {
  constexpr std::size_t kShown = 40;
  std::string shown(text.substr(0, kShown));
  if (text.size() > kShown) shown += "...";
  return "line " + std::to_string(number) + " (\"" + shown + "\")";
}

RrFileError badLine(std::size_t number, std::string_view text) {
  return {"bad-interval", quotedLine(number, text) + " is not a positive number of milliseconds"};
}

RrFileError intervalOutOfRange(std::size_t number, std::string_view text) {
  return {"bad-interval",
          quotedLine(number, text) + " is outside 10 ms to 3600000 ms, the intervals of a heart"};
}

RrFileError cannotOpen(const std::string& path, const std::string& reason) {
  return {"cannot-open-file", path + ": " + reason};
}

// Looks at the file before opening it: opening a FIFO nobody writes to
// would wait for ever, and a device such as /dev/zero never ends.
std::optional<RrFileError> unreadableFile(const std::string& path) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (error) return std::nullopt;  // opening it names the reason
  if (std::filesystem::is_directory(status)) return cannotOpen(path, "is a folder");
  if (!std::filesystem::is_regular_file(status)) return cannotOpen(path, "is not a regular file");
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (!error && size > kMaxRrFileBytes) {
    return cannotOpen(path, "is larger than 64 MiB, too large for a file of intervals");
  }
  return std::nullopt;
}

}  // namespace

RrSeries parseRrText(std::string_view text) {
  RrSeries series;
  std::size_t number = 0;
  while (!text.empty()) {
    const std::size_t end = text.find_first_of("\r\n");
    const std::string_view line = text.substr(0, end);
    ++number;
    if (end == std::string_view::npos) {
      text = {};
    } else {
      const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
      text.remove_prefix(end + (crlf ? 2 : 1));
    }
    const std::string_view content = trimmed(line);
    if (content.empty()) continue;
    const std::optional<double> interval = positiveNumber(content);
    if (!interval) return {{}, badLine(number, line)};
    if (!hrv::isValidInterval(*interval)) return {{}, intervalOutOfRange(number, line)};
    series.intervalsMs.push_back(*interval);
  }
  return series;
}

RrSeries readRrFile(const std::string& path) {
  if (std::optional<RrFileError> refused = unreadableFile(path)) return {{}, *refused};
  std::ifstream file(path, std::ios::binary);
  if (!file) return {{}, cannotOpen(path, std::strerror(errno))};
  // The size was checked, but the file may grow while it is read.
  std::string content(kMaxRrFileBytes / 64, '\0');
  std::size_t done = 0;
  while (file) {
    if (done == content.size()) {
      if (content.size() > kMaxRrFileBytes) break;
      content.resize(content.size() * 2);
    }
    file.read(content.data() + done, static_cast<std::streamsize>(content.size() - done));
    done += static_cast<std::size_t>(file.gcount());
  }
  if (file.bad()) return {{}, RrFileError{"read-error", path + ": cannot read the file"}};
  if (done > kMaxRrFileBytes) {
    return {{}, cannotOpen(path, "is larger than 64 MiB, too large for a file of intervals")};
  }
  content.resize(done);
  return parseRrText(content);
}

}  // namespace rrscope::recordings
