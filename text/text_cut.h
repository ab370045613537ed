#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace rrscope::text {

// The first `characters` characters of a UTF-8 text, followed by "..." when
// the text is longer. The cut falls only before a byte that begins a
// character, so a character of several bytes is never split; a byte that
// cannot continue a character counts as one of its own.
std::string cutToCharacters(std::string_view text, std::size_t characters);

}  // namespace rrscope::text
