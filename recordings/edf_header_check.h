#pragma once

#include <optional>
#include <string>

namespace rrscope::recordings {

// What is wrong with the header of an EDF or BDF file that EDFlib refused
// as damaged, in the header's own terms: "signal 0 ("ECG"): the digital
// minimum and maximum are both 0". EDFlib gives one code for every such
// fault, which tells the user nothing to mend. Signals are numbered from 0,
// as --signal numbers them. nullopt when none of these checks finds the
// fault, and the caller keeps EDFlib's general reason.
std::optional<std::string> edfHeaderProblem(const std::string& path);

}  // namespace rrscope::recordings
