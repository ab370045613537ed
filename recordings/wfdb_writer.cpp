#include "recordings/wfdb_writer.h"

#include <algorithm>
#include <fstream>
#include <limits>
#include <stdexcept>

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

std::vector<unsigned char> packedSamples(const WfdbRecordToWrite& record) {
  const std::size_t frames = record.channels.empty() ? 0 : record.channels.front().size();
  std::vector<std::int16_t> stream;
  stream.reserve(frames * record.channels.size());
  for (std::size_t f = 0; f < frames; ++f) {
    for (const auto& signal : record.channels) stream.push_back(signal[f]);
  }
  std::vector<unsigned char> bytes;
  if (record.format == 16) {
    for (const std::int16_t value : stream) put16(bytes, value);
    return bytes;
  }
  if (record.format != 212) throw std::runtime_error("only formats 212 and 16 are written");
  for (std::size_t i = 0; i < stream.size(); i += 2) {
    const int first = stream[i];
    if (first < -2048 || first > 2047) throw std::runtime_error("a value exceeds 12 bits");
    bytes.push_back(static_cast<unsigned char>(first & 0xFF));
    if (i + 1 == stream.size()) {
      bytes.push_back(static_cast<unsigned char>((first >> 8) & 0x0F));
      break;
    }
    const int second = stream[i + 1];
    if (second < -2048 || second > 2047) throw std::runtime_error("a value exceeds 12 bits");
    bytes.push_back(static_cast<unsigned char>(((first >> 8) & 0x0F) | ((second >> 4) & 0xF0)));
    bytes.push_back(static_cast<unsigned char>(second & 0xFF));
  }
  return bytes;
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

// A note at time 0 that says in how many ticks per second the file counts.
void putResolutionNote(std::vector<unsigned char>& bytes, std::int64_t ticksPerSecond) {
  if (ticksPerSecond <= 0) throw std::runtime_error("a time resolution must be positive");
  const std::string text = "## time resolution: " + std::to_string(ticksPerSecond);
  put16(bytes, kNote << 10);
  put16(bytes, (kAux << 10) | static_cast<int>(text.size()));
  bytes.insert(bytes.end(), text.begin(), text.end());
  if (text.size() % 2 != 0) bytes.push_back(0);
}

std::string rateText(SamplingRate rate) {
  if (rate.denominator == 1) return std::to_string(rate.numerator);
  return std::to_string(rate.hertz());
}

}  // namespace

void writeWfdbRecord(const std::filesystem::path& base, const WfdbRecordToWrite& record) {
  const std::string name = base.filename().string();
  const std::size_t frames = record.channels.empty() ? 0 : record.channels.front().size();
  std::ofstream header = openForWriting(std::filesystem::path(base).concat(".hea"));
  header << name << ' ' << record.channels.size() << ' ' << rateText(record.rate) << ' ' << frames
         << '\n';
  for (std::size_t i = 0; i < record.channels.size(); ++i) {
    header << name << ".dat " << record.format << ' ' << record.gain << '(' << record.baseline
           << ")/mV " << (record.format == 212 ? 12 : 16) << " 0 0 0 0 "
           << (i < record.labels.size() ? record.labels[i] : "") << '\n';
  }
  const std::vector<unsigned char> bytes = packedSamples(record);
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
    time = annotation.sample;
  }
  put16(bytes, 0);
  std::ofstream out = openForWriting(path);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace rrscope::recordings
