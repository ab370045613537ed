#pragma once

#include <optional>
#include <string>

namespace rrscope::recordings {

// A warning for an ISHNE Holter file (.ecg) whose header checksum does not
// match its header: the CRC-CCITT (polynomial 0x1021 from 0xFFFF) of the
// 512-byte fixed header and the variable block, stored after the magic.
// The samples may still be sound, so the file is read; the user is told.
// None for a matching checksum, or a file too short to hold a header (its
// reading names that fault).
std::optional<std::string> ishneChecksumWarning(const std::string& path);

}  // namespace rrscope::recordings
