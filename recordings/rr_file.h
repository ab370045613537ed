#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rrscope::recordings {

// Why a file of RR intervals could not be read.
struct RrFileError {
  std::string kind;  // "cannot-open-file", "read-error" or "bad-interval"
  std::string message;
};

struct RrSeries {
  std::vector<double> intervalsMs;
  std::optional<RrFileError> error;  // when set, intervalsMs is empty
};

// Reads intervals in milliseconds, one per line, as other devices and HRV
// tools export them: a decimal point, blanks around the number allowed,
// blank lines ignored. Lines end with LF, CRLF or a lone CR. A line that is
// not one positive number, or one outside hrv::kMinIntervalMs to
// hrv::kMaxIntervalMs (10 ms to 1 hour), stops the reading with a
// "bad-interval" error naming it.
RrSeries parseRrText(std::string_view text);

// The largest file of intervals read: a week of beats takes some 5 MB, so a
// larger file is no RR file, and refusing it keeps memory bounded.
inline constexpr std::uintmax_t kMaxRrFileBytes = std::uintmax_t{64} << 20;

// The same for a file. A folder, anything that is not a regular file (a
// FIFO, a device; refused before opening, so nothing waits) and a file
// larger than kMaxRrFileBytes are "cannot-open-file" errors.
RrSeries readRrFile(const std::string& path);

}  // namespace rrscope::recordings
