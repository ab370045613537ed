#pragma once

#include <span>
#include <string>
#include <vector>

#include "recordings/channel_choice.h"
#include "recordings/read_recording.h"

namespace rrscope::recordings {

// The text fields of an EDF or BDF header that hold anything but printable
// ASCII, each as a warning: "the physical dimension of signal 3 is not
// plain ASCII" (signals numbered from 0, as --signal numbers them). Empty
// when the header cannot be read or is clean.
std::vector<std::string> nonAsciiEdfFields(const std::string& path);

// The physical dimension of each signal as the header's bytes give it.
std::vector<std::string> edfPhysicalDimensions(const std::string& path);

// The channels and the chosen channel of an EDF file EDFlib refused for
// `edflibProblem`, through BioSig. A file BioSig cannot read either gets
// `edflibProblem`, the fields that are not plain ASCII and BioSig's reason.
std::vector<ChannelListing> listRefusedEdfChannels(const std::string& path,
                                                   const std::string& edflibProblem,
                                                   std::span<const std::string> fields);
Recording readRefusedEdf(const std::string& path, const ChannelRequest& request,
                         const std::string& edflibProblem, std::span<const std::string> fields);

}  // namespace rrscope::recordings
