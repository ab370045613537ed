#include "recordings/wfdb_signal.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <optional>
#include <span>

#include "recordings/recording_error.h"

namespace rrscope::recordings {
namespace {

// How one format packs samples: `bytes` bytes hold `samples` samples.
struct Packing {
  int bytes;
  int samples;
  std::int32_t invalid;  // the value that marks a sample as missing
};

std::optional<Packing> packingOf(int format) {
  switch (format) {
    case 212:
      return Packing{3, 2, -2048};
    case 16:
      return Packing{2, 1, -32768};
    case 61:
      return Packing{2, 1, -32768};
    case 80:
      return Packing{1, 1, -128};
    default:
      return std::nullopt;
  }
}

std::int32_t twelveBit(std::int32_t value) {
  return value >= 2048 ? value - 4096 : value;
}

// Decodes `bytes` (whole packing groups, except that format 212 may end in a
// lone two-byte sample) and hands every sample to `use` in file order.
template <typename Use>
void decodeBlock(int format, std::span<const unsigned char> bytes, Use&& use) {
  const std::size_t size = bytes.size();
  switch (format) {
    case 212: {
      std::size_t i = 0;
      for (; i + 3 <= size; i += 3) {
        use(twelveBit(bytes[i] | ((bytes[i + 1] & 0x0F) << 8)));
        use(twelveBit(bytes[i + 2] | ((bytes[i + 1] & 0xF0) << 4)));
      }
      if (i + 2 == size) use(twelveBit(bytes[i] | ((bytes[i + 1] & 0x0F) << 8)));
      break;
    }
    case 16:
      for (std::size_t i = 0; i + 2 <= size; i += 2) {
        use(static_cast<std::int16_t>(bytes[i] | (bytes[i + 1] << 8)));
      }
      break;
    case 61:
      for (std::size_t i = 0; i + 2 <= size; i += 2) {
        use(static_cast<std::int16_t>((bytes[i] << 8) | bytes[i + 1]));
      }
      break;
    case 80:
      for (const unsigned char byte : bytes) use(static_cast<std::int32_t>(byte) - 128);
      break;
    default:
      break;
  }
}

// The signals stored in one file, in frame order.
std::vector<std::size_t> signalsOfFile(const WfdbHeader& header, const std::string& file) {
  std::vector<std::size_t> group;
  for (std::size_t i = 0; i < header.signals.size(); ++i) {
    if (header.signals[i].file == file) group.push_back(i);
  }
  return group;
}

void checkGroup(const WfdbHeader& header, const std::vector<std::size_t>& group,
                const std::string& path) {
  const WfdbSignal& first = header.signals[group.front()];
  for (const std::size_t i : group) {
    const WfdbSignal& signal = header.signals[i];
    if (signal.samplesPerFrame != 1) {
      throw RecordingError(path, "signals of several samples per frame are not supported");
    }
    if (signal.format != first.format || signal.byteOffset != first.byteOffset) {
      throw RecordingError(path, "the signals of one file must share one format");
    }
  }
  if (!packingOf(first.format)) {
    throw RecordingError(path, "signal format " + std::to_string(first.format) +
                                   " is not supported (212, 16, 61 and 80 are)");
  }
}

// The number of whole frames the file's data bytes hold; throws when the
// file ends inside a frame.
std::int64_t framesInFile(std::int64_t dataBytes, const Packing& packing, std::size_t signals,
                          const std::string& path) {
  const std::int64_t groups = dataBytes / packing.bytes;
  std::int64_t samples = groups * packing.samples;
  const std::int64_t rest = dataBytes % packing.bytes;
  if (packing.bytes == 3 && rest == 2) samples += 1;  // a lone 12-bit sample in two bytes
  const bool ragged = (packing.bytes == 3 ? rest == 1 : rest != 0) ||
                      samples % static_cast<std::int64_t>(signals) != 0;
  if (ragged) {
    throw RecordingError(path, "the signal file is truncated: it ends inside a frame of " +
                                   std::to_string(signals) + " samples");
  }
  return samples / static_cast<std::int64_t>(signals);
}

void bridgeInvalid(std::vector<std::int32_t>& values, std::int32_t invalid,
                   const std::string& path) {
  const auto firstValid = std::ranges::find_if(values, [invalid](auto v) { return v != invalid; });
  if (firstValid == values.end()) {
    throw RecordingError(path, "every sample of the signal is marked invalid");
  }
  std::fill(values.begin(), firstValid, *firstValid);
  auto previous = static_cast<std::size_t>(firstValid - values.begin());
  for (std::size_t i = previous + 1; i < values.size(); ++i) {
    if (values[i] == invalid) continue;
    const double left = values[previous];
    const double step = (values[i] - left) / static_cast<double>(i - previous);
    for (std::size_t k = previous + 1; k < i; ++k) {
      values[k] =
          static_cast<std::int32_t>(std::lround(left + step * static_cast<double>(k - previous)));
    }
    previous = i;
  }
  std::fill(values.begin() + static_cast<std::ptrdiff_t>(previous) + 1, values.end(),
            values[previous]);
}

}  // namespace

std::vector<std::int32_t> readWfdbSignal(const WfdbHeader& header, std::size_t index,
                                         const std::filesystem::path& folder) {
  const WfdbSignal& signal = header.signals.at(index);
  const std::string path = (folder / signal.file).string();
  const std::vector<std::size_t> group = signalsOfFile(header, signal.file);
  checkGroup(header, group, path);
  const Packing packing = *packingOf(signal.format);

  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) throw RecordingError(path, "cannot open the signal file");
  const std::int64_t fileBytes = in.tellg();
  if (fileBytes < signal.byteOffset) {
    throw RecordingError(path, "the signal file is shorter than its byte offset");
  }
  const std::int64_t available =
      framesInFile(fileBytes - signal.byteOffset, packing, group.size(), path);
  const std::int64_t frames = header.sampleCount.value_or(available);
  if (frames > available) {
    throw RecordingError(path, "the header announces " + std::to_string(frames) +
                                   " samples per signal, the signal file holds " +
                                   std::to_string(available));
  }

  const std::size_t slot =
      static_cast<std::size_t>(std::ranges::find(group, index) - group.begin());
  const std::size_t perFrame = group.size();
  std::vector<std::int32_t> samples;
  samples.reserve(static_cast<std::size_t>(frames));
  bool anyInvalid = false;
  std::size_t position = 0;  // of the next sample in the frame
  const std::size_t wanted = static_cast<std::size_t>(frames) * perFrame;
  std::size_t seen = 0;
  const auto keep = [&](std::int32_t value) {
    if (seen++ >= wanted) return;
    if (position == slot) {
      anyInvalid = anyInvalid || value == packing.invalid;
      samples.push_back(value);
    }
    if (++position == perFrame) position = 0;
  };

  in.seekg(signal.byteOffset);
  constexpr std::size_t kBlockBytes = 6 * 65536;  // whole groups of every packing
  std::vector<unsigned char> block(kBlockBytes);
  while (seen < wanted && in) {
    in.read(reinterpret_cast<char*>(block.data()), static_cast<std::streamsize>(block.size()));
    const auto got = static_cast<std::size_t>(in.gcount());
    decodeBlock(signal.format, std::span(block).first(got), keep);
  }
  if (samples.size() != static_cast<std::size_t>(frames)) {
    throw RecordingError(path, "the signal file could not be read to its end");
  }
  if (anyInvalid) bridgeInvalid(samples, packing.invalid, path);
  return samples;
}

}  // namespace rrscope::recordings
