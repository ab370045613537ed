#include "recordings/wfdb_writer.h"

#include <fstream>
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

void writeAnnotations(const std::filesystem::path& path, std::span<const Annotation> annotations) {
  constexpr int kSkip = 59;
  std::vector<unsigned char> bytes;
  std::int64_t time = 0;
  for (const Annotation& annotation : annotations) {
    std::int64_t step = annotation.sample - time;
    if (step < 0) throw std::runtime_error("annotations out of time order");
    if (step > 1023) {
      const auto skip = static_cast<std::uint32_t>(step);
      put16(bytes, kSkip << 10);
      put16(bytes, static_cast<int>(skip >> 16));
      put16(bytes, static_cast<int>(skip & 0xFFFF));
      step = 0;
    }
    put16(bytes, (annotation.code << 10) | static_cast<int>(step));
    time = annotation.sample;
  }
  put16(bytes, 0);
  std::ofstream out = openForWriting(path);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace rrscope::recordings
