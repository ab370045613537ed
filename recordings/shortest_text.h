#pragma once

#include <array>
#include <charconv>
#include <string>

namespace rrscope::recordings {

// Appends the shortest text that reads back to the same double, so that an
// exported value is exactly the value RRscope computed.
inline void appendShortest(std::string& out, double value) {
  std::array<char, 32> buffer{};
  const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
  out.append(buffer.data(), end);
}

}  // namespace rrscope::recordings
