#include "recordings/biosig_recording.h"

#include <biosig.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <stdexcept>

#include "recordings/child_reader.h"
#include "recordings/ishne_checksum.h"
#include "recordings/recording_error.h"
#include "recordings/wfdb_files.h"

namespace rrscope::recordings {
namespace {

constexpr std::chrono::milliseconds kQuietLimit{120'000};
// The time a reader may take in all: a minute, and a second more for each
// megabyte of the file. BioSig reads a day-long Holter file of 100 MB in a
// few seconds, so only a reader that spins on a damaged file reaches it.
constexpr std::chrono::milliseconds kBaseRunLimit{60'000};
constexpr std::uintmax_t kBytesPerExtraSecond = 1'000'000;
constexpr std::uint16_t kVolt = 4256;        // BioSig's code of the volt without prefix
constexpr std::uint16_t kPrefixMask = 0x1f;  // the low bits of a code give the prefix
constexpr std::string_view kBiosigRefuses = "BioSig cannot read the file: ";

// Builds the message from the child to the parent.
class Message {
 public:
  template <typename Value>
  void put(const Value& value) {
    const auto* bytes = reinterpret_cast<const std::byte*>(&value);
    bytes_.insert(bytes_.end(), bytes, bytes + sizeof value);
  }
  void putText(const std::string& text) {
    put(static_cast<std::uint64_t>(text.size()));
    const auto* bytes = reinterpret_cast<const std::byte*>(text.data());
    bytes_.insert(bytes_.end(), bytes, bytes + text.size());
  }
  template <typename Value>
  void putAll(std::span<const Value> values) {
    put(static_cast<std::uint64_t>(values.size()));
    const auto* bytes = reinterpret_cast<const std::byte*>(values.data());
    bytes_.insert(bytes_.end(), bytes, bytes + values.size_bytes());
  }
  std::span<const std::byte> bytes() const { return bytes_; }

 private:
  std::vector<std::byte> bytes_;
};

// Takes the message apart in the parent; a short message is a reader fault.
class MessageReader {
 public:
  MessageReader(std::span<const std::byte> bytes, const std::string& file)
      : bytes_(bytes), file_(file) {}
  template <typename Value>
  Value get() {
    Value value;
    std::memcpy(&value, take(sizeof value).data(), sizeof value);
    return value;
  }
  std::string getText() {
    const auto size = get<std::uint64_t>();
    const auto bytes = take(size);
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
  template <typename Value>
  std::vector<Value> getAll() {
    const auto count = get<std::uint64_t>();
    if (count > bytes_.size() / sizeof(Value)) throw shortMessage();
    std::vector<Value> values(static_cast<std::size_t>(count));
    if (values.empty()) return values;  // memcpy must not see the null data() of an empty vector
    std::memcpy(values.data(), take(values.size() * sizeof(Value)).data(),
                values.size() * sizeof(Value));
    return values;
  }

 private:
  std::span<const std::byte> take(std::uint64_t size) {
    if (size > bytes_.size()) throw shortMessage();
    const auto taken = bytes_.first(static_cast<std::size_t>(size));
    bytes_ = bytes_.subspan(taken.size());
    return taken;
  }
  RecordingError shortMessage() const {
    return RecordingError(file_, "the reader's answer is incomplete");
  }
  std::span<const std::byte> bytes_;
  const std::string& file_;
};

// BioSig's reason for refusing a file, in plain words where its code says
// enough.
std::string biosigProblem(const HDRTYPE& header) {
  switch (header.AS.B4C_ERRNUM) {
    case B4C_CANNOT_OPEN_FILE:
      return "cannot open the file";
    case B4C_FORMAT_UNKNOWN:
      return std::string(kBiosigRefuses) + "the format is unknown";
    case B4C_FORMAT_UNSUPPORTED:
    case B4C_DATATYPE_UNSUPPORTED:
      return std::string(kBiosigRefuses) + "this variant of the format is not supported";
    case B4C_INCOMPLETE_FILE:
      return "the file ends before its header says";
    case B4C_CRC_ERROR:
      return "the checksum of the header does not match it";
    default: {
      const char* message = header.AS.B4C_ERRMSG;
      return std::string(kBiosigRefuses) + (message && *message ? message : "unknown error");
    }
  }
}

// Closes and frees BioSig's header on every way out of the child.
class OpenBiosig {
 public:
  explicit OpenBiosig(const std::string& path) : header_(sopen(path.c_str(), "r", nullptr)) {
    if (header_ == nullptr) throw RecordingError(path, "BioSig cannot open the file");
    // serror2 would print the error and clear it; the code says enough.
    if (header_->AS.B4C_ERRNUM != B4C_NO_ERROR) {
      // A header BioSig refused is left as it is: the child ends right
      // after, and nothing BioSig holds then needs closing.
      throw RecordingError(path, biosigProblem(*header_));
    }
  }
  ~OpenBiosig() {
    sclose(header_);
    destructHDR(header_);
  }
  OpenBiosig(const OpenBiosig&) = delete;
  OpenBiosig& operator=(const OpenBiosig&) = delete;

  HDRTYPE& header() const { return *header_; }

 private:
  HDRTYPE* header_;
};

std::string trimmed(std::string text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.pop_back();
  return text;
}

std::vector<std::string> channelLabels(const HDRTYPE& header) {
  std::vector<std::string> labels;
  for (std::size_t i = 0; i < header.NS; ++i) labels.push_back(trimmed(header.CHANNEL[i].Label));
  return labels;
}

// A rate given as a double, as the exact fraction it stands for: the
// smallest power of ten that makes it whole within rounding.
SamplingRate rateFraction(double hertz) {
  std::int64_t denominator = 1;
  for (int digits = 0; digits < 7; ++digits, denominator *= 10) {
    const double scaled = hertz * static_cast<double>(denominator);
    if (std::abs(scaled - std::round(scaled)) < 1e-6 * static_cast<double>(denominator)) break;
  }
  return reducedRate(std::llround(hertz * static_cast<double>(denominator)), denominator);
}

SamplingRate channelRate(const HDRTYPE& header, const CHANNEL_TYPE& channel) {
  if (channel.SPR == 0 || header.SPR == 0 || !(header.SampleRate > 0)) return {0, 1};
  return rateFraction(header.SampleRate * channel.SPR / header.SPR);
}

// Millivolts per unit of the channel's values, 0 when it is not in volts.
double millivoltsPerUnit(std::uint16_t code) {
  if ((code & ~kPrefixMask) != kVolt) return 0.0;
  return PhysDimScale(code) * 1000.0;
}

// BioSig prints its warnings and errors itself; in the child they would
// only interleave with the parent's output, and the errors reach the
// parent through the pipe anyway.
std::chrono::milliseconds runLimitFor(const std::string& path) {
  std::error_code error;
  const std::uintmax_t bytes = std::filesystem::file_size(path, error);
  const auto extra = std::chrono::seconds(error ? 0 : bytes / kBytesPerExtraSecond);
  return kBaseRunLimit + std::chrono::duration_cast<std::chrono::milliseconds>(extra);
}

void silenceBiosig() {
  const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (null < 0) return;
  ::dup2(null, STDOUT_FILENO);
  ::dup2(null, STDERR_FILENO);
  ::close(null);
}

void putListing(ChildPipe& pipe, const std::string& path) {
  silenceBiosig();
  const OpenBiosig biosig(path);
  const HDRTYPE& header = biosig.header();
  Message message;
  message.put(static_cast<std::uint64_t>(header.NS));
  for (std::size_t i = 0; i < header.NS; ++i) {
    const CHANNEL_TYPE& channel = header.CHANNEL[i];
    const SamplingRate rate = channelRate(header, channel);
    message.putText(trimmed(channel.Label));
    message.put(rate.numerator);
    message.put(rate.denominator);
  }
  pipe.write(message.bytes());
}

std::uint32_t littleEndian32(const unsigned char* bytes) {
  return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

// BioSig 2.5 takes the first 4096 bytes of an ISHNE file for its header,
// whatever the header says; the samples per lead and the offset of the ECG
// block stand at bytes 14 and 22 of the file.
void takeIshneLayoutFromTheFile(HDRTYPE& header, const std::string& path) {
  if (header.TYPE != ISHNE) return;
  std::ifstream in(path, std::ios::binary);
  unsigned char fixed[26];
  if (!in.read(reinterpret_cast<char*>(fixed), sizeof fixed)) {
    throw std::runtime_error("the ISHNE header is incomplete");
  }
  const std::uint64_t samples = littleEndian32(fixed + 14);
  const std::uint64_t offset = littleEndian32(fixed + 22);
  const std::uint64_t size = std::filesystem::file_size(path);
  const std::uint64_t frame = 2 * std::uint64_t{header.NS};
  if (offset < 522 || offset > size || samples > (size - offset) / frame) {
    throw std::runtime_error("the ISHNE header gives " + std::to_string(samples) +
                             " samples per lead from byte " + std::to_string(offset) +
                             ", more than the file holds");
  }
  header.HeadLen = static_cast<std::uint32_t>(offset);
  header.NRec = static_cast<nrec_t>(samples);
}

// BioSig repeats the samples of a channel below the file's highest rate;
// every `step`-th sample is the channel at its own rate. The quiet limit
// of the child covers the one long read.
std::vector<double> readRawSamples(HDRTYPE& header, std::size_t index, ChildPipe& pipe) {
  const CHANNEL_TYPE& channel = header.CHANNEL[index];
  if (header.NRec <= 0) throw std::runtime_error("the file holds no data records");
  if (channel.SPR == 0 || header.SPR % channel.SPR != 0) {
    throw std::runtime_error("channel \"" + trimmed(channel.Label) + "\" has no whole rate");
  }
  const std::size_t step = header.SPR / channel.SPR;
  for (std::size_t i = 0; i < header.NS; ++i) header.CHANNEL[i].OnOff = i == index ? 1 : 0;
  biosig_set_flag(&header, BIOSIG_FLAG_UCAL);
  biosig_reset_flag(&header, BIOSIG_FLAG_OVERFLOWDETECTION | BIOSIG_FLAG_ROW_BASED_CHANNELS);

  // One call for the whole file: BioSig 2.5 returns wrong samples, or
  // crashes on ISHNE, when sread starts past the first record.
  const auto records = static_cast<std::size_t>(header.NRec);
  pipe.keepAlive();
  const std::size_t got = sread(nullptr, 0, records, &header);
  if (got != records || header.data.block == nullptr) {
    throw std::runtime_error("the file ends before its last data record");
  }
  std::vector<double> raw;
  const std::size_t rows = header.data.size[0];
  raw.reserve(rows / step + 1);
  for (std::size_t row = 0; row < rows; row += step) raw.push_back(header.data.block[row]);
  pipe.keepAlive();
  return raw;
}

void putChannel(ChildPipe& pipe, const std::string& path, const ChannelRequest& request,
                WithoutEcgLabel fallback) {
  silenceBiosig();
  const OpenBiosig biosig(path);
  HDRTYPE& header = biosig.header();
  const std::vector<std::string> labels = channelLabels(header);
  const std::size_t index = chooseChannel(labels, request, path, fallback);
  takeIshneLayoutFromTheFile(header, path);
  const CHANNEL_TYPE& channel = header.CHANNEL[index];
  const SamplingRate rate = channelRate(header, channel);
  if (rate.numerator <= 0) {
    throw RecordingError(path, "the sampling rate of channel \"" + labels[index] + "\" is 0");
  }
  std::vector<double> raw = readRawSamples(header, index, pipe);
  if (raw.empty()) throw RecordingError(path, "channel \"" + labels[index] + "\" holds no samples");

  const double toMillivolts = millivoltsPerUnit(channel.PhysDimCode);
  const double scale = toMillivolts > 0 ? toMillivolts : 1.0;
  const ConverterValues converted =
      converterValues(std::move(raw), channel.Cal * scale, channel.Off * scale);
  const char* unitText = PhysDim3(channel.PhysDimCode);
  Message message;
  message.putText(labels[index]);
  message.putText(toMillivolts > 0 ? "mV" : trimmed(unitText ? unitText : ""));
  message.put(rate.numerator);
  message.put(rate.denominator);
  message.put(converted.gain);
  message.put(converted.baseline);
  message.putAll(std::span(converted.invalid));
  message.put(static_cast<std::uint64_t>(converted.values.size()));
  pipe.write(message.bytes());
  pipe.write(std::as_bytes(std::span(converted.values)));  // without a copy: a day is large
}

// Linear interpolation over each run of missing samples; a run at an end
// takes the nearest valid value.
void fillMissing(std::vector<double>& physical, std::span<const SampleRun> runs) {
  for (const SampleRun& run : runs) {
    const bool hasBefore = run.first > 0;
    const bool hasAfter = run.end < physical.size();
    const double before = hasBefore ? physical[run.first - 1] : 0.0;
    const double after = hasAfter ? physical[run.end] : before;
    const double start = hasBefore ? before : after;
    const auto span = static_cast<double>(run.end - run.first + 1);
    for (std::size_t i = run.first; i < run.end; ++i) {
      const double part = hasBefore && hasAfter ? static_cast<double>(i - run.first + 1) / span : 0;
      physical[i] = start + (after - start) * part;
    }
  }
}

// A sample with no physical value: missing (NaN), infinite, or beyond any
// recording's range (a float channel's 1e308), which would otherwise set the
// scale of every other sample. Such samples are invalid, as WFDB marks them.
bool noPhysicalValue(double raw, double cal, double off) {
  return !(std::abs(raw * cal + off) <= kLargestPhysicalValue);
}

std::vector<SampleRun> missingRuns(std::span<const double> raw) {
  std::vector<SampleRun> runs;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (!std::isnan(raw[i])) continue;
    if (!runs.empty() && runs.back().end == i) {
      runs.back().end = i + 1;
    } else {
      runs.push_back({i, i + 1});
    }
  }
  return runs;
}

bool wholeConverterSteps(std::span<const double> raw) {
  constexpr double kLimit = std::numeric_limits<std::int32_t>::max();
  return std::ranges::all_of(raw, [](double value) {
    return std::isnan(value) || (value == std::round(value) && std::abs(value) <= kLimit);
  });
}

}  // namespace

ConverterValues converterValues(std::vector<double> raw, double cal, double off) {
  if (!(cal != 0) || !std::isfinite(cal) || !std::isfinite(off)) {
    throw std::runtime_error("the channel has no gain");
  }
  for (double& value : raw) {
    if (noPhysicalValue(value, cal, off)) value = std::nan("");
  }
  ConverterValues converted;
  converted.invalid = missingRuns(raw);
  if (converted.invalid.size() == 1 && converted.invalid.front().first == 0 &&
      converted.invalid.front().end == raw.size()) {
    throw std::runtime_error("every sample of the channel is invalid");
  }
  if (wholeConverterSteps(raw)) {
    converted.gain = 1.0 / cal;
    converted.baseline = -off / cal;
  } else {
    // Physical values in steps of a 2^30th of their largest magnitude.
    double largest = 0.0;
    for (double& value : raw) {
      if (std::isnan(value)) continue;
      value = value * cal + off;
      largest = std::max(largest, std::abs(value));
    }
    converted.gain = largest > 0 ? std::ldexp(1.0, 30) / largest : 1.0;
    converted.baseline = 0.0;
    for (double& value : raw) value *= converted.gain;
  }
  fillMissing(raw, converted.invalid);
  converted.values.reserve(raw.size());
  for (const double value : raw) {
    converted.values.push_back(static_cast<std::int32_t>(std::lround(value)));
  }
  return converted;
}

std::vector<ChannelListing> listChannelsThroughBiosig(const std::string& path) {
  // A FIFO or a device would keep the reader waiting for bytes that never
  // come: refuse anything but a regular file before the library opens it.
  refuseSpecialFile(path);
  const std::vector<std::byte> answer = runInChild(
      [&path](ChildPipe& pipe) { putListing(pipe, path); }, path, kQuietLimit, runLimitFor(path));
  MessageReader reader(answer, path);
  std::vector<ChannelListing> channels(static_cast<std::size_t>(reader.get<std::uint64_t>()));
  for (ChannelListing& channel : channels) {
    channel.label = reader.getText();
    channel.rate.numerator = reader.get<std::int64_t>();
    channel.rate.denominator = reader.get<std::int64_t>();
  }
  return channels;
}

Recording readThroughBiosig(const std::string& path, const ChannelRequest& request,
                            WithoutEcgLabel fallback) {
  refuseSpecialFile(path);
  const std::vector<std::byte> answer =
      runInChild([&](ChildPipe& pipe) { putChannel(pipe, path, request, fallback); }, path,
                 kQuietLimit, runLimitFor(path));
  MessageReader reader(answer, path);
  Recording recording;
  recording.file = path;
  recording.channel = reader.getText();
  recording.units = reader.getText();
  recording.rate.numerator = reader.get<std::int64_t>();
  recording.rate.denominator = reader.get<std::int64_t>();
  recording.gain = reader.get<double>();
  recording.baseline = reader.get<double>();
  recording.invalid = reader.getAll<SampleRun>();
  recording.values = reader.getAll<std::int32_t>();
  return recording;
}

std::vector<ChannelListing> listHolterChannels(const std::string& path) {
  return listChannelsThroughBiosig(path);
}

Recording readHolterRecording(const std::string& path, const ChannelRequest& request) {
  const RecordingKind kind = recordingKindOf(path);
  Recording recording = readThroughBiosig(path, request, withoutEcgLabelFor(kind));
  if (kind == RecordingKind::ishne) {
    if (auto warning = ishneChecksumWarning(path)) recording.warnings.push_back(*warning);
  }
  return recording;
}

}  // namespace rrscope::recordings
