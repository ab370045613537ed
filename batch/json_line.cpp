#include "batch/json_line.h"

#include <cmath>
#include <cstdint>

namespace rrscope::batch {

std::string jsonLineText(const JsonLine& line) {
  return line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + '\n';
}

std::string validUtf8(std::string_view text) {
  // The library's own replacement, read back, so that the CSV rows and the
  // JSON lines show a name alike.
  const nlohmann::json asJson = std::string(text);
  return nlohmann::json::parse(
             asJson.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace))
      .get<std::string>();
}

JsonLine jsonNumber(double value) {
  if (!std::isfinite(value)) return nullptr;
  // Every whole double below 2^53 is exact as an integer.
  constexpr double kExactIntegers = 9007199254740992.0;
  if (std::trunc(value) == value && std::abs(value) < kExactIntegers) {
    return static_cast<std::int64_t>(value);
  }
  return value;
}

}  // namespace rrscope::batch
