#include "recordings/wfdb_writer.h"

#include <algorithm>
#include <fstream>
#include <limits>
#include <stdexcept>
#include <string_view>

namespace rrscope::recordings {
namespace {

std::ofstream openForWriting(const std::filesystem::path& path) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot write " + path.string());
  return out;
}

void put16(std::vector<unsigned char>& bytes, int value) {
  bytes.push_back(static_cast<unsigned char>(value & 0xFF));
  bytes.push_back(static_cast<unsigned char>((value >> 8) & 0xFF));
}

void putLittleEndian(std::vector<unsigned char>& bytes, std::uint32_t value, int count) {
  for (int i = 0; i < count; ++i) bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

// Throws unless `value` fits a two's complement number of `bits` bits.
std::uint32_t fitted(std::int64_t value, int bits) {
  const std::int64_t limit = std::int64_t{1} << (bits - 1);
  if (value < -limit || value >= limit) {
    throw std::runtime_error("the value " + std::to_string(value) + " exceeds " +
                             std::to_string(bits) + " bits");
  }
  return static_cast<std::uint32_t>(value) & static_cast<std::uint32_t>((limit << 1) - 1);
}

// Packs 12-bit samples in pairs into three bytes; a lone last one takes two.
void put212(std::vector<unsigned char>& bytes, std::span<const std::int32_t> samples) {
  for (std::size_t i = 0; i < samples.size(); i += 2) {
    const std::uint32_t first = fitted(samples[i], 12);
    bytes.push_back(static_cast<unsigned char>(first & 0xFF));
    if (i + 1 == samples.size()) {
      bytes.push_back(static_cast<unsigned char>(first >> 8));
      break;
    }
    const std::uint32_t second = fitted(samples[i + 1], 12);
    bytes.push_back(static_cast<unsigned char>((first >> 8) | ((second >> 4) & 0xF0)));
    bytes.push_back(static_cast<unsigned char>(second & 0xFF));
  }
}

// Packs 10-bit samples in threes into 32 bits: bits 1-10 of two 16-bit
// words hold the first and third, the top 5 bits of each word the low and
// high half of the second. A lone last sample takes one word.
void put310(std::vector<unsigned char>& bytes, std::span<const std::int32_t> samples) {
  for (std::size_t i = 0; i < samples.size(); i += 3) {
    const std::uint32_t a = fitted(samples[i], 10);
    if (i + 1 == samples.size()) {
      putLittleEndian(bytes, a << 1, 2);
      break;
    }
    const std::uint32_t b = fitted(samples[i + 1], 10);
    const std::uint32_t c = i + 2 < samples.size() ? fitted(samples[i + 2], 10) : 0;
    putLittleEndian(bytes, (a << 1) | ((c & 0x1F) << 11), 2);
    putLittleEndian(bytes, (b << 1) | ((c >> 5) << 11), 2);
  }
}

// Packs 10-bit samples in threes into bits 0-9, 10-19 and 20-29 of a 32-bit
// word. A lone last sample takes the word's low half.
void put311(std::vector<unsigned char>& bytes, std::span<const std::int32_t> samples) {
  for (std::size_t i = 0; i < samples.size(); i += 3) {
    const std::uint32_t a = fitted(samples[i], 10);
    if (i + 1 == samples.size()) {
      putLittleEndian(bytes, a, 2);
      break;
    }
    const std::uint32_t b = fitted(samples[i + 1], 10);
    const std::uint32_t c = i + 2 < samples.size() ? fitted(samples[i + 2], 10) : 0;
    putLittleEndian(bytes, a | (b << 10) | (c << 20), 4);
  }
}

void putDifferences(std::vector<unsigned char>& bytes, std::span<const std::int32_t> samples,
                    std::size_t frameSize, std::int32_t initialValue) {
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const std::int64_t before = i < frameSize ? initialValue : samples[i - frameSize];
    bytes.push_back(static_cast<unsigned char>(fitted(samples[i] - before, 8)));
  }
}

int resolutionBits(int format) {
  switch (format) {
    case 8:
    case 80:
      return 8;
    case 24:
      return 24;
    case 32:
      return 32;
    case 212:
      return 12;
    case 310:
    case 311:
      return 10;
    default:
      return 16;
  }
}

std::vector<std::int32_t> interleaved(const WfdbRecordToWrite& record) {
  const std::size_t frames = record.channels.empty() ? 0 : record.channels.front().size();
  std::vector<std::int32_t> stream;
  stream.reserve(frames * record.channels.size());
  for (std::size_t f = 0; f < frames; ++f) {
    for (const auto& signal : record.channels) stream.push_back(signal[f]);
  }
  return stream;
}

// Pseudo-annotation types, which modify or extend the annotation before
// them instead of marking a time.
constexpr int kSkip = 59;
constexpr int kSub = 61;
constexpr int kAux = 63;
// A comment annotation; its text is in the AUX after it.
constexpr int kNote = 22;
// The largest step an annotation word holds; a longer one needs a SKIP.
constexpr std::int64_t kLongestStep = 0x3FF;

// Writes SKIPs for as much of `step` as the 10 bits of an annotation word
// cannot hold, each SKIP at most a signed 32-bit step, and returns the rest.
std::int64_t putSkips(std::vector<unsigned char>& bytes, std::int64_t step) {
  while (step > kLongestStep) {
    const std::int64_t skip =
        std::min<std::int64_t>(step, std::numeric_limits<std::int32_t>::max());
    const auto value = static_cast<std::uint32_t>(skip);
    put16(bytes, kSkip << 10);
    put16(bytes, static_cast<int>(value >> 16));
    put16(bytes, static_cast<int>(value & 0xFFFF));
    step -= skip;
  }
  return step;
}

void putSubtype(std::vector<unsigned char>& bytes, int subtype) {
  if (subtype == 0) return;
  if (subtype < std::numeric_limits<signed char>::min() ||
      subtype > std::numeric_limits<signed char>::max()) {
    throw std::runtime_error("subtype " + std::to_string(subtype) + " does not fit a signed byte");
  }
  put16(bytes, (kSub << 10) | (subtype & 0x3FF));
}

void putAux(std::vector<unsigned char>& bytes, std::string_view text) {
  if (text.empty()) return;
  if (text.size() > std::numeric_limits<unsigned char>::max()) {
    throw std::runtime_error("an annotation's text is longer than 255 bytes");
  }
  put16(bytes, (kAux << 10) | static_cast<int>(text.size()));
  bytes.insert(bytes.end(), text.begin(), text.end());
  if (text.size() % 2 != 0) bytes.push_back(0);
}

// A note at time 0 that says in how many ticks per second the file counts.
void putResolutionNote(std::vector<unsigned char>& bytes, std::int64_t ticksPerSecond) {
  if (ticksPerSecond <= 0) throw std::runtime_error("a time resolution must be positive");
  put16(bytes, kNote << 10);
  putAux(bytes, "## time resolution: " + std::to_string(ticksPerSecond));
}

std::string rateText(SamplingRate rate) {
  if (rate.denominator == 1) return std::to_string(rate.numerator);
  return std::to_string(rate.hertz());
}

}  // namespace

std::vector<unsigned char> encodeWfdbSamples(int format, std::span<const std::int32_t> samples,
                                             std::size_t frameSize, std::int32_t initialValue) {
  std::vector<unsigned char> bytes;
  switch (format) {
    case 8:
      putDifferences(bytes, samples, std::max<std::size_t>(frameSize, 1), initialValue);
      break;
    case 16:
    case 24:
    case 32:
      for (const std::int32_t value : samples) {
        putLittleEndian(bytes, fitted(value, resolutionBits(format)), resolutionBits(format) / 8);
      }
      break;
    case 61:
      for (const std::int32_t value : samples) {
        const std::uint32_t word = fitted(value, 16);
        bytes.push_back(static_cast<unsigned char>(word >> 8));
        bytes.push_back(static_cast<unsigned char>(word & 0xFF));
      }
      break;
    case 80:
      for (const std::int32_t value : samples) bytes.push_back((fitted(value, 8) + 128) & 0xFF);
      break;
    case 160:
      for (const std::int32_t value : samples) {
        putLittleEndian(bytes, (fitted(value, 16) + 32768) & 0xFFFF, 2);
      }
      break;
    case 212:
      put212(bytes, samples);
      break;
    case 310:
      put310(bytes, samples);
      break;
    case 311:
      put311(bytes, samples);
      break;
    default:
      throw std::runtime_error("format " + std::to_string(format) + " cannot be written");
  }
  return bytes;
}

void writeWfdbRecord(const std::filesystem::path& base, const WfdbRecordToWrite& record) {
  const std::string name = base.filename().string();
  const std::size_t frames = record.channels.empty() ? 0 : record.channels.front().size();
  std::ofstream header = openForWriting(std::filesystem::path(base).concat(".hea"));
  header << name << ' ' << record.channels.size() << ' ' << rateText(record.rate) << ' ' << frames
         << '\n';
  for (std::size_t i = 0; i < record.channels.size(); ++i) {
    header << name << ".dat " << record.format << ' ' << record.gain << '(' << record.baseline
           << ")/mV " << resolutionBits(record.format) << " 0 0 0 0 "
           << (i < record.labels.size() ? record.labels[i] : "") << '\n';
  }
  const std::vector<unsigned char> bytes =
      encodeWfdbSamples(record.format, interleaved(record), record.channels.size());
  std::ofstream data = openForWriting(std::filesystem::path(base).concat(".dat"));
  data.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  if (!header.flush() || !data.flush()) throw std::runtime_error("cannot write " + base.string());
}

void writeAnnotations(const std::filesystem::path& path, std::span<const Annotation> annotations,
                      std::optional<std::int64_t> timeResolution) {
  std::vector<unsigned char> bytes;
  if (timeResolution) putResolutionNote(bytes, *timeResolution);
  std::int64_t time = 0;
  for (const Annotation& annotation : annotations) {
    if (annotation.code < 1 || annotation.code >= kSkip) {
      throw std::runtime_error("annotation type " + std::to_string(annotation.code) +
                               " cannot be written");
    }
    const std::int64_t step = annotation.sample - time;
    if (step < 0) throw std::runtime_error("annotations out of time order");
    put16(bytes, (annotation.code << 10) | static_cast<int>(putSkips(bytes, step)));
    putSubtype(bytes, annotation.subtype);
    putAux(bytes, annotation.aux);
    time = annotation.sample;
  }
  put16(bytes, 0);
  std::ofstream out = openForWriting(path);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace rrscope::recordings
