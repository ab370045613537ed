#pragma once

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
// not one positive number stops the reading with an error naming it.
RrSeries parseRrText(std::string_view text);

// The same for a file.
RrSeries readRrFile(const std::string& path);

}  // namespace rrscope::recordings
