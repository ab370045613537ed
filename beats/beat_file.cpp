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
  std::error_code error;
  std::ifstream in(path, std::ios::binary);
  if (std::filesystem::is_directory(path, error)) throw BeatFileError(0, {}, "it is a folder");
  if (!in) throw BeatFileError(0, {}, std::strerror(errno));
  const std::string bytes(std::istreambuf_iterator<char>(in), {});
  if (in.bad()) throw BeatFileError(0, {}, "reading stopped before its end");
  return parseBeatPositions(bytes);
}

}  // namespace rrscope::beats
