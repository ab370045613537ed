#include "text/text_cut.h"

namespace rrscope::text {
namespace {

// Bytes 10xxxxxx continue a character of several bytes.
bool continuesCharacter(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// How many bytes a character that begins with `lead` announces.
std::size_t announcedLength(unsigned char lead) {
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 1;
}

// The bytes of the character at `pos`: its lead byte and as many of the
// announced continuation bytes as follow it.
std::size_t characterLength(std::string_view text, std::size_t pos) {
  const std::size_t announced = announcedLength(static_cast<unsigned char>(text[pos]));
  std::size_t length = 1;
  while (length < announced && pos + length < text.size() &&
         continuesCharacter(static_cast<unsigned char>(text[pos + length]))) {
    ++length;
  }
  return length;
}

}  // namespace

std::string cutToCharacters(std::string_view text, std::size_t characters) {
  std::size_t pos = 0;
  for (std::size_t taken = 0; pos < text.size(); ++taken) {
    if (taken == characters) return std::string(text.substr(0, pos)) + "...";
    pos += characterLength(text, pos);
  }
  return std::string(text);
}

}  // namespace rrscope::text
