#include "recordings/rr_file.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

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

RrFileError badLine(std::size_t number, std::string_view text) {
  constexpr std::size_t kShown = 40;
  std::string shown(text.substr(0, kShown));
  if (text.size() > kShown) shown += "...";
  return {"bad-interval", "line " + std::to_string(number) + " (\"" + shown +
                              "\") is not a positive number of milliseconds"};
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
    series.intervalsMs.push_back(*interval);
  }
  return series;
}

RrSeries readRrFile(const std::string& path) {
  std::error_code ignored;
  if (std::filesystem::is_directory(path, ignored))
    return {{}, RrFileError{"cannot-open-file", path + ": is a folder"}};
  std::ifstream file(path, std::ios::binary);
  if (!file) return {{}, RrFileError{"cannot-open-file", path + ": " + std::strerror(errno)}};
  std::ostringstream content;
  content << file.rdbuf();
  if (file.bad()) return {{}, RrFileError{"read-error", path + ": cannot read the file"}};
  return parseRrText(content.view());
}

}  // namespace rrscope::recordings
