#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "recordings/channel_choice.h"
#include "recordings/read_recording.h"
#include "recordings/recording.h"

namespace rrscope::recordings {

// Every BioSig call runs in a child process (see runInChild): BioSig is
// less hardened against damaged files than the rest of the readers.

// The channels of any file BioSig reads.
std::vector<ChannelListing> listChannelsThroughBiosig(const std::string& path);

// Reads the chosen channel of any file BioSig reads, volts in mV.
Recording readThroughBiosig(const std::string& path, const ChannelRequest& request,
                            WithoutEcgLabel fallback);

// BioSig's samples of one channel as the converter values of a Recording.
struct ConverterValues {
  std::vector<std::int32_t> values;
  double gain = 1.0;
  double baseline = 0.0;
  std::vector<SampleRun> invalid;  // the samples without a physical value
};

// `raw` holds BioSig's uncalibrated samples, whose physical value is
// raw * cal + off. Whole raw values keep their steps; others (a channel
// stored as floating point) are quantized finely enough for any ECG.
// Samples without a physical value (NaN, infinite, or beyond
// kLargestPhysicalValue) are invalid and interpolated between their
// neighbours. Throws std::runtime_error for a channel without a gain or
// without a single valid sample.
ConverterValues converterValues(std::vector<double> raw, double cal, double off);

}  // namespace rrscope::recordings
