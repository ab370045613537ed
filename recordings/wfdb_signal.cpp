#include "recordings/wfdb_signal.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <optional>
#include <span>

#include "recordings/recording_error.h"
#include "recordings/wfdb_files.h"
#include "recordings/wfdb_flac.h"

namespace rrscope::recordings {
namespace {

// How one format packs samples: `bytes` bytes hold `samples` samples.
struct Packing {
  int bytes;
  int samples;
  std::optional<std::int32_t> invalid;  // the value that marks a sample as missing
  bool differences = false;             // samples are steps from the one before
};

std::optional<Packing> packingOf(int format) {
  switch (format) {
    case 8:
      return Packing{1, 1, std::nullopt, true};
    case 16:
    case 61:
    case 160:
      return Packing{2, 1, -32768};
    case 24:
      return Packing{3, 1, -8388608};
    case 32:
      return Packing{4, 1, INT32_MIN};
    case 80:
      return Packing{1, 1, -128};
    case 212:
      return Packing{3, 2, -2048};
    case 310:
    case 311:
      return Packing{4, 3, -512};
    // FLAC streams are decoded by libFLAC; only the invalid value counts.
    case 508:
      return Packing{1, 1, -128};
    case 516:
      return Packing{2, 1, -32768};
    case 524:
      return Packing{3, 1, -8388608};
    default:
      return std::nullopt;
  }
}

// The bytes left after the last whole group that still hold one sample:
// formats 212, 310 and 311 may end in a lone sample of two bytes.
bool loneSampleTail(int format, std::size_t restBytes) {
  return restBytes == 2 && (format == 212 || format == 310 || format == 311);
}

std::int32_t signExtended(std::uint32_t value, int bits) {
  const std::uint32_t sign = 1u << (bits - 1);
  const std::uint32_t mask = (sign << 1) - 1;
  value &= mask;
  return static_cast<std::int32_t>(value ^ sign) - static_cast<std::int32_t>(sign);
}

std::uint32_t littleEndian(std::span<const unsigned char> bytes) {
  std::uint32_t value = 0;
  for (std::size_t i = bytes.size(); i-- > 0;) value = (value << 8) | bytes[i];
  return value;
}

// Calls `use` with every sample of one group of `format`, in file order.
template <typename Use>
[[gnu::always_inline]] inline void decodeGroup(int format, std::span<const unsigned char> b,
                                               Use&& use) {
  switch (format) {
    case 8:
      use(static_cast<std::int32_t>(static_cast<signed char>(b[0])));
      break;
    case 16:
      use(signExtended(littleEndian(b), 16));
      break;
    case 61:
      use(signExtended((b[0] << 8) | b[1], 16));
      break;
    case 160:
      use(static_cast<std::int32_t>(littleEndian(b)) - 32768);
      break;
    case 24:
      use(signExtended(littleEndian(b), 24));
      break;
    case 32:
      use(static_cast<std::int32_t>(littleEndian(b)));
      break;
    case 80:
      use(static_cast<std::int32_t>(b[0]) - 128);
      break;
    case 212:
      use(signExtended(b[0] | ((b[1] & 0x0F) << 8), 12));
      if (b.size() == 3) use(signExtended(b[2] | ((b[1] & 0xF0) << 4), 12));
      break;
    case 310: {
      // Bits 1-10 of two 16-bit words hold the first and second sample; the
      // top 5 bits of each hold the low and high half of the third.
      const std::uint32_t first = b[0] | (b[1] << 8);
      use(signExtended(first >> 1, 10));
      if (b.size() < 4) break;
      const std::uint32_t second = b[2] | (b[3] << 8);
      use(signExtended(second >> 1, 10));
      use(signExtended(((first & 0xF800) >> 11) | ((second & 0xF800) >> 6), 10));
      break;
    }
    case 311: {
      // Bits 0-9, 10-19 and 20-29 of one 32-bit word.
      const std::uint32_t word = littleEndian(b);
      use(signExtended(word, 10));
      if (b.size() < 4) break;
      use(signExtended(word >> 10, 10));
      use(signExtended(word >> 20, 10));
      break;
    }
    default:
      break;
  }
}

// Decodes `bytes` (whole groups, except that the last may be a lone
// two-byte sample) and hands every sample to `use` in file order.
template <int Format, typename Use>
void decodeGroups(const Packing& packing, std::span<const unsigned char> bytes, Use&& use) {
  const auto groupBytes = static_cast<std::size_t>(packing.bytes);
  std::size_t at = 0;
  for (; at + groupBytes <= bytes.size(); at += groupBytes) {
    decodeGroup(Format, bytes.subspan(at, groupBytes), use);
  }
  if (loneSampleTail(Format, bytes.size() - at)) decodeGroup(Format, bytes.subspan(at), use);
}

// The format is fixed for the whole block, so each has a loop of its own in
// which the decoding of a group is known and inlined.
template <typename Use>
void decodeBlock(int format, const Packing& packing, std::span<const unsigned char> bytes,
                 Use&& use) {
  switch (format) {
    case 8:
      return decodeGroups<8>(packing, bytes, use);
    case 16:
      return decodeGroups<16>(packing, bytes, use);
    case 61:
      return decodeGroups<61>(packing, bytes, use);
    case 160:
      return decodeGroups<160>(packing, bytes, use);
    case 24:
      return decodeGroups<24>(packing, bytes, use);
    case 32:
      return decodeGroups<32>(packing, bytes, use);
    case 80:
      return decodeGroups<80>(packing, bytes, use);
    case 212:
      return decodeGroups<212>(packing, bytes, use);
    case 310:
      return decodeGroups<310>(packing, bytes, use);
    case 311:
      return decodeGroups<311>(packing, bytes, use);
    default:
      return;
  }
}

// The stored signals of one file, in frame order.
std::vector<std::size_t> signalsOfFile(const WfdbHeader& header, const std::string& file) {
  std::vector<std::size_t> group;
  for (std::size_t i = 0; i < header.signals.size(); ++i) {
    if (header.signals[i].stored() && header.signals[i].file == file) group.push_back(i);
  }
  return group;
}

void checkGroup(const WfdbHeader& header, const std::vector<std::size_t>& group,
                const std::string& path) {
  const WfdbSignal& first = header.signals[group.front()];
  for (const std::size_t i : group) {
    const WfdbSignal& signal = header.signals[i];
    if (signal.format != first.format || signal.byteOffset != first.byteOffset) {
      throw RecordingError(path, "the signals of one file must share one format");
    }
  }
  if (!packingOf(first.format)) {
    throw RecordingError(path, "signal format " + std::to_string(first.format) +
                                   " is not supported (8, 16, 24, 32, 61, 80, 160, 212, 310, "
                                   "311, 508, 516 and 524 are)");
  }
}

// Where the chosen signal's samples lie in each frame of its file.
struct FrameSlots {
  std::size_t frameSize = 0;  // samples of every signal of the file in one frame
  std::size_t first = 0;      // the chosen signal's first sample in the frame
  std::size_t count = 1;      // its samples per frame
};

FrameSlots slotsOf(const WfdbHeader& header, const std::vector<std::size_t>& group,
                   std::size_t index) {
  FrameSlots slots;
  for (const std::size_t i : group) {
    const auto samples = static_cast<std::size_t>(header.signals[i].samplesPerFrame);
    if (i == index) {
      slots.first = slots.frameSize;
      slots.count = samples;
    }
    slots.frameSize += samples;
  }
  return slots;
}

// The whole frames the file's data bytes hold, and whether the file ends
// inside a frame (as a recorder stopped mid-write leaves it): then the
// frames before are read, as WFDB reads a short file. The last group of a
// packing of several samples may be filled up beyond the last frame.
struct FramesInFile {
  std::int64_t frames = 0;
  bool endsInsideAFrame = false;
};

FramesInFile framesInFile(std::int64_t dataBytes, int format, const Packing& packing,
                          std::size_t frameSize) {
  const std::int64_t rest = dataBytes % packing.bytes;
  const std::int64_t samples = dataBytes / packing.bytes * packing.samples +
                               (loneSampleTail(format, static_cast<std::size_t>(rest)) ? 1 : 0);
  const std::int64_t beyond = samples % static_cast<std::int64_t>(frameSize);
  const bool filledUp = rest == 0 && beyond < packing.samples;
  const bool ragged = (rest != 0 && !loneSampleTail(format, static_cast<std::size_t>(rest))) ||
                      (beyond != 0 && !filledUp);
  return {samples / static_cast<std::int64_t>(frameSize), ragged};
}

// Takes the samples of one file in order and keeps those of the chosen
// signal, aligned for its skew, undoing differences and noting the runs of
// invalid ones.
class SignalCollector {
 public:
  SignalCollector(const FrameSlots& slots, const Packing& packing, const WfdbSignal& signal,
                  std::int64_t frames, std::int64_t available)
      : slots_(slots),
        packing_(packing),
        skew_(signal.skew),
        frames_(frames),
        lastFrame_(std::min(frames + signal.skew, available)),
        level_(signal.initialValue) {
    values_.reserve(static_cast<std::size_t>(frames) * slots.count);
  }

  void operator()(std::int32_t value) {
    if (done()) return;
    const bool ours = position_ >= slots_.first && position_ < slots_.first + slots_.count;
    if (ours) keep(value);
    if (++position_ == slots_.frameSize) {
      position_ = 0;
      ++frame_;
    }
  }

  // The samples of a decoded block, in file order. Whole frames of values
  // that need no running sum are taken in one tight loop: a day of samples
  // passes through here before any beat can be detected.
  void take(std::span<const std::int32_t> samples) {
    std::size_t at = 0;
    while (at < samples.size() && !done()) {
      const bool plain = position_ == 0 && !packing_.differences && frame_ >= skew_;
      const auto wholeFrames = static_cast<std::int64_t>((samples.size() - at) / slots_.frameSize);
      const std::int64_t frames = plain ? std::min(wholeFrames, lastFrame_ - frame_) : 0;
      if (frames > 0) {
        keepFrames(samples.subspan(at, static_cast<std::size_t>(frames) * slots_.frameSize));
        at += static_cast<std::size_t>(frames) * slots_.frameSize;
        frame_ += frames;
      } else {
        (*this)(samples[at++]);
      }
    }
  }

  // The frames to read: those of the record, shifted by the skew, as far as
  // the file holds them.
  bool done() const { return frame_ >= lastFrame_; }

  // Invalid samples for those the skew takes past the end of the file.
  WfdbSignalValues finish() && {
    const std::size_t wanted = static_cast<std::size_t>(frames_) * slots_.count;
    if (values_.size() < wanted) {
      markInvalid(values_.size(), wanted);
      values_.resize(wanted, 0);
    }
    return {std::move(values_), std::move(invalid_), {}};
  }

 private:
  void keep(std::int32_t value) {
    if (packing_.differences) {
      level_ += value;
      value = static_cast<std::int32_t>(level_);
    }
    if (frame_ < skew_) return;
    if (packing_.invalid && value == *packing_.invalid) {
      markInvalid(values_.size(), values_.size() + 1);
    }
    values_.push_back(value);
  }

  void keepFrames(std::span<const std::int32_t> frames) {
    const std::size_t from = values_.size();
    const std::size_t count = frames.size() / slots_.frameSize * slots_.count;
    values_.resize(from + count);
    std::int32_t* out = values_.data() + from;
    if (slots_.count == 1) {
      // One sample per frame, the usual case: a plain strided copy, which
      // the compiler would otherwise turn into a call to copy each sample.
      for (std::size_t f = slots_.first; f < frames.size(); f += slots_.frameSize)
        *out++ = frames[f];
    } else {
      for (std::size_t f = slots_.first; f < frames.size(); f += slots_.frameSize) {
        out = std::copy_n(frames.begin() + static_cast<std::ptrdiff_t>(f), slots_.count, out);
      }
    }
    if (!packing_.invalid) return;
    for (std::size_t i = from; i < from + count; ++i) {
      if (values_[i] == *packing_.invalid) markInvalid(i, i + 1);
    }
  }

  void markInvalid(std::size_t first, std::size_t end) {
    if (!invalid_.empty() && invalid_.back().end == first) {
      invalid_.back().end = end;
    } else {
      invalid_.push_back({first, end});
    }
  }

  FrameSlots slots_;
  Packing packing_;
  std::int64_t skew_;
  std::int64_t frames_;
  std::int64_t lastFrame_;
  std::int64_t level_;
  std::size_t position_ = 0;
  std::int64_t frame_ = 0;
  std::vector<std::int32_t> values_;
  std::vector<SampleRun> invalid_;
};

void checkHeldSamples(std::int64_t frames, std::int64_t available, const std::string& path) {
  if (frames > available) {
    throw RecordingError(path, "the header announces " + std::to_string(frames) +
                                   " samples per signal, the signal file holds " +
                                   std::to_string(available));
  }
}

// The samples of the chosen channel to decode: those of the record and its
// skew, or, without a length in the header, a bound on what a small file
// may expand to.
std::size_t flacLimit(const WfdbHeader& header, const WfdbSignal& signal) {
  const auto longest = static_cast<std::int64_t>(kLongestWfdbFlacChannel);
  if (!header.sampleCount) return kLongestWfdbFlacChannel;
  const std::int64_t frames = std::min(*header.sampleCount, longest) + signal.skew;
  return static_cast<std::size_t>(std::min(frames * signal.samplesPerFrame, longest));
}

// A FLAC signal file: each signal a channel of the stream, all of one
// number of samples per frame.
WfdbSignalValues readFlacSignal(const WfdbHeader& header, const std::vector<std::size_t>& group,
                                std::size_t index, const std::string& path) {
  const WfdbSignal& signal = header.signals[index];
  const auto perFrame = static_cast<std::size_t>(signal.samplesPerFrame);
  for (const std::size_t i : group) {
    if (header.signals[i].samplesPerFrame != signal.samplesPerFrame) {
      throw RecordingError(path,
                           "the signals of a FLAC file must share one number of samples "
                           "per frame");
    }
  }
  if (group.size() > 8) throw RecordingError(path, "a FLAC file holds at most 8 signals");
  // Decoding stops one sample past what the file's size allows, so that a
  // stream built to fill memory is refused before it does.
  std::error_code sizeError;
  const std::uintmax_t fileBytes = std::filesystem::file_size(path, sizeError);
  const std::size_t byBytes =
      sizeError ? kLongestWfdbFlacChannel
                : static_cast<std::size_t>(std::min<std::uintmax_t>(
                      fileBytes * kMostFlacSamplesPerByte / group.size(), kLongestWfdbFlacChannel));
  const std::size_t limit = std::min(flacLimit(header, signal), byBytes + 1);
  const std::vector<std::int32_t> channel = readWfdbFlacChannel(
      path, static_cast<unsigned>(group.size()), static_cast<unsigned>(wfdbFlacBits(signal.format)),
      static_cast<std::size_t>(std::ranges::find(group, index) - group.begin()), limit);
  if (channel.size() > byBytes) {
    throw RecordingError(path, "the FLAC stream decodes to more than " +
                                   std::to_string(kMostFlacSamplesPerByte) +
                                   " samples a byte of the file");
  }
  if (!header.sampleCount && channel.size() >= kLongestWfdbFlacChannel) {
    throw RecordingError(path, "the FLAC stream holds more than " +
                                   std::to_string(kLongestWfdbFlacChannel) + " samples per signal");
  }
  if (channel.size() % perFrame != 0 && channel.size() < limit) {
    throw RecordingError(path, "the signal file is truncated: it ends inside a frame of " +
                                   std::to_string(perFrame) + " samples");
  }
  const auto available = static_cast<std::int64_t>(channel.size() / perFrame);
  const std::int64_t frames = header.sampleCount.value_or(available);
  checkHeldSamples(frames, available, path);
  SignalCollector collect({perFrame, 0, perFrame}, *packingOf(signal.format), signal, frames,
                          available);
  collect.take(channel);
  return std::move(collect).finish();
}

std::ifstream openSignalFile(const std::string& path, std::int64_t byteOffset) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw RecordingError(path, "cannot open the signal file");
  in.seekg(byteOffset);
  return in;
}

}  // namespace

void bridgeInvalidRuns(std::vector<std::int32_t>& values, std::span<const SampleRun> invalid,
                       const std::string& file) {
  const auto size = values.size();
  for (const SampleRun& run : invalid) {
    const bool hasLeft = run.first > 0;
    const bool hasRight = run.end < size;
    if (!hasLeft && !hasRight) {
      throw RecordingError(file, "every sample of the signal is marked invalid");
    }
    const double left = hasLeft ? values[run.first - 1] : values[run.end];
    const double right = hasRight ? values[run.end] : values[run.first - 1];
    const double span = static_cast<double>(run.end - run.first + 1);
    for (std::size_t k = run.first; k < run.end; ++k) {
      const double along = static_cast<double>(k - run.first + 1) / span;
      values[k] = static_cast<std::int32_t>(std::lround(left + (right - left) * along));
    }
  }
}

namespace {

void requireStored(const WfdbHeader& header, std::size_t index, const std::string& headerPath) {
  if (!header.signals.at(index).stored()) {
    throw RecordingError(headerPath, "signal " + std::to_string(index) +
                                         " is not stored (file \"~\" or format 0, as in the "
                                         "layout of a multi-segment record)");
  }
}

// The signals `indices` of one signal file (all named `signal.file`),
// decoded in one pass: a file of hundreds of signals is read once, not
// once per signal.
std::vector<WfdbSignalValues> readSignalsOfOneFile(const WfdbHeader& header,
                                                   std::span<const std::size_t> indices,
                                                   const std::string& headerPath) {
  const WfdbSignal& signal = header.signals[indices.front()];
  const std::filesystem::path folder = std::filesystem::path(headerPath).parent_path();
  const std::filesystem::path file = fileInFolder(folder, signal.file, headerPath, "signal file");
  const std::string path = file.string();
  const std::vector<std::size_t> group = signalsOfFile(header, signal.file);
  checkGroup(header, group, path);
  const Packing packing = *packingOf(signal.format);

  requireRegularFile(file, "signal file");
  if (isWfdbFlacFormat(signal.format)) {
    std::vector<WfdbSignalValues> flac;
    for (const std::size_t index : indices) {
      flac.push_back(readFlacSignal(header, group, index, path));
    }
    return flac;
  }
  std::error_code sizeError;
  const auto fileBytes = static_cast<std::int64_t>(std::filesystem::file_size(file, sizeError));
  if (sizeError) throw RecordingError(path, "cannot open the signal file");
  if (fileBytes < signal.byteOffset) {
    throw RecordingError(path, "the signal file is shorter than its byte offset");
  }
  const std::size_t frameSize = slotsOf(header, group, indices.front()).frameSize;
  const FramesInFile held =
      framesInFile(fileBytes - signal.byteOffset, signal.format, packing, frameSize);
  const std::int64_t available = held.frames;
  const std::int64_t frames = header.sampleCount.value_or(available);
  checkHeldSamples(frames, available, path);

  std::vector<SignalCollector> collectors;
  collectors.reserve(indices.size());
  for (const std::size_t index : indices) {
    collectors.emplace_back(slotsOf(header, group, index), packing, header.signals[index], frames,
                            available);
  }
  const auto allDone = [&collectors] {
    return std::ranges::all_of(collectors, [](const SignalCollector& c) { return c.done(); });
  };
  std::ifstream in = openSignalFile(path, signal.byteOffset);
  constexpr std::size_t kBlockBytes = 12 * 32768;  // whole groups of every packing
  std::vector<unsigned char> block(kBlockBytes);
  // No packing holds more samples than bytes, and a lone tail sample takes two.
  std::vector<std::int32_t> decoded(kBlockBytes);
  while (!allDone() && in) {
    in.read(reinterpret_cast<char*>(block.data()), static_cast<std::streamsize>(block.size()));
    const auto got = static_cast<std::size_t>(in.gcount());
    std::int32_t* out = decoded.data();
    decodeBlock(signal.format, packing, std::span(block).first(got),
                [&out](std::int32_t value) { *out++ = value; });
    for (SignalCollector& collect : collectors) collect.take(std::span(decoded.data(), out));
  }
  if (!allDone()) throw RecordingError(path, "the signal file could not be read to its end");
  std::vector<WfdbSignalValues> values;
  for (SignalCollector& collect : collectors) {
    values.push_back(std::move(collect).finish());
    if (held.endsInsideAFrame) {
      values.back().warnings.push_back(path + ": the signal file ends inside a frame of " +
                                       std::to_string(frameSize) +
                                       " samples; the samples of that last frame are left out");
    }
  }
  return values;
}

}  // namespace

std::vector<WfdbSignalValues> readWfdbSignalsUnbridged(const WfdbHeader& header,
                                                       std::span<const std::size_t> indices,
                                                       const std::string& headerPath) {
  for (const std::size_t index : indices) requireStored(header, index, headerPath);
  std::vector<WfdbSignalValues> values(indices.size());
  std::vector<bool> read(indices.size(), false);
  for (std::size_t i = 0; i < indices.size(); ++i) {
    if (read[i]) continue;
    // This signal and the later wanted ones of its file, in one pass.
    std::vector<std::size_t> places;
    std::vector<std::size_t> sameFile;
    for (std::size_t j = i; j < indices.size(); ++j) {
      if (!read[j] && header.signals[indices[j]].file == header.signals[indices[i]].file) {
        places.push_back(j);
        sameFile.push_back(indices[j]);
        read[j] = true;
      }
    }
    std::vector<WfdbSignalValues> ofFile = readSignalsOfOneFile(header, sameFile, headerPath);
    for (std::size_t k = 0; k < places.size(); ++k) values[places[k]] = std::move(ofFile[k]);
  }
  return values;
}

WfdbSignalValues readWfdbSignalUnbridged(const WfdbHeader& header, std::size_t index,
                                         const std::string& headerPath) {
  return std::move(readWfdbSignalsUnbridged(header, std::span(&index, 1), headerPath).front());
}

WfdbSignalValues bridgedWfdbSignal(const WfdbHeader& header, std::size_t index,
                                   const std::string& headerPath, WfdbSignalValues values) {
  const WfdbSignal& signal = header.signals[index];
  const std::string path = (std::filesystem::path(headerPath).parent_path() / signal.file).string();
  bridgeInvalidRuns(values.values, values.invalid, path);
  return values;
}

WfdbSignalValues readWfdbSignalValues(const WfdbHeader& header, std::size_t index,
                                      const std::string& headerPath) {
  return bridgedWfdbSignal(header, index, headerPath,
                           readWfdbSignalUnbridged(header, index, headerPath));
}

std::vector<std::int32_t> readWfdbSignal(const WfdbHeader& header, std::size_t index,
                                         const std::filesystem::path& folder) {
  const std::string headerPath = (folder / (header.record + ".hea")).string();
  return readWfdbSignalValues(header, index, headerPath).values;
}

}  // namespace rrscope::recordings
