#include "recordings/ishne_checksum.h"

#include <cstdint>
#include <fstream>
#include <string_view>

namespace rrscope::recordings {
namespace {

constexpr std::size_t kPrefix = 10;  // the magic "ISHNE1.0" and the checksum
constexpr std::size_t kFixedHeader = 512;
// A variable block larger than this is no header: the checksum is left to
// the reading to refuse.
constexpr std::uint32_t kLargestVariableBlock = 1 << 20;

std::uint16_t crcCcitt(std::string_view bytes) {
  std::uint16_t crc = 0xffff;
  for (const char c : bytes) {
    crc ^= static_cast<std::uint16_t>(static_cast<unsigned char>(c) << 8);
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc & 0x8000) != 0 ? static_cast<std::uint16_t>((crc << 1) ^ 0x1021)
                                : static_cast<std::uint16_t>(crc << 1);
    }
  }
  return crc;
}

std::uint32_t littleEndian(std::string_view bytes) {
  std::uint32_t value = 0;
  for (std::size_t i = bytes.size(); i-- > 0;) {
    value = (value << 8) | static_cast<unsigned char>(bytes[i]);
  }
  return value;
}

}  // namespace

std::optional<std::string> ishneChecksumWarning(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string head(kPrefix + kFixedHeader, '\0');
  if (!in.read(head.data(), static_cast<std::streamsize>(head.size()))) return std::nullopt;
  const std::uint32_t variable = littleEndian(std::string_view(head).substr(kPrefix, 4));
  if (variable > kLargestVariableBlock) return std::nullopt;
  std::string block(variable, '\0');
  if (!in.read(block.data(), static_cast<std::streamsize>(block.size()))) return std::nullopt;
  const auto stored = static_cast<std::uint16_t>(littleEndian(std::string_view(head).substr(8, 2)));
  if (crcCcitt(head.substr(kPrefix) + block) == stored) return std::nullopt;
  return "the header checksum does not match the header: it may be damaged";
}

}  // namespace rrscope::recordings
