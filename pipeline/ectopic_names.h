#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "pipeline/readable_series.h"

namespace rrscope::pipeline {

inline constexpr std::array<EctopicHandling, 2> kEctopicHandlings{EctopicHandling::exclude,
                                                                  EctopicHandling::interpolate};

// "exclude" or "interpolate": the word the batch tool's --ectopic and the
// Python module take, and the batch tool's line writes.
std::string_view ectopicHandlingName(EctopicHandling handling);

// The handling of one of those words; none for any other.
std::optional<EctopicHandling> ectopicHandlingNamed(std::string_view name);

}  // namespace rrscope::pipeline
