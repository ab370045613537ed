// rrscope-make-day-recording: tiles a WFDB record (every signal and its beat
// annotations) to 24 hours and writes it as WFDB format 212 (DAY.hea,
// DAY.dat, DAY.atr) and as EDF+ with EDFlib (DAY.edf), for timing the batch
// tool on a recording of a whole day.
//
//   rrscope-make-day-recording RECORD.hea OUTPUT_FOLDER [SECONDS]
#include <edflib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "recordings/read_recording.h"
#include "recordings/wfdb_annotations.h"
#include "recordings/wfdb_header.h"
#include "recordings/wfdb_signal.h"
#include "recordings/wfdb_writer.h"

namespace {

using rrscope::recordings::Annotation;
using rrscope::recordings::WfdbHeader;

constexpr std::int64_t kDaySeconds = 24 * 60 * 60;

std::vector<std::int16_t> tiled(const std::vector<std::int32_t>& values, std::size_t length) {
  std::vector<std::int16_t> out(length);
  for (std::size_t i = 0; i < length; ++i)
    out[i] = static_cast<std::int16_t>(values[i % values.size()]);
  return out;
}

std::vector<Annotation> tiledBeats(const std::vector<Annotation>& annotations, std::int64_t period,
                                   std::int64_t length) {
  std::vector<Annotation> out;
  for (std::int64_t start = 0; start < length; start += period) {
    for (const Annotation& annotation : annotations) {
      if (!rrscope::recordings::isBeatCode(annotation.code)) continue;
      if (start + annotation.sample < length)
        out.push_back({start + annotation.sample, annotation.code});
    }
  }
  return out;
}

void writeEdf(const std::filesystem::path& path, const WfdbHeader& header,
              const std::vector<std::vector<std::int16_t>>& signals, int rate) {
  const int handle = edfopen_file_writeonly(path.c_str(), EDFLIB_FILETYPE_EDFPLUS,
                                            static_cast<int>(signals.size()));
  if (handle < 0) throw std::runtime_error("cannot write " + path.string());
  for (int i = 0; i < static_cast<int>(signals.size()); ++i) {
    const auto& signal = header.signals[static_cast<std::size_t>(i)];
    // The 12-bit converter's range, so that EDF keeps the ADC values as they are.
    edf_set_samplefrequency(handle, i, rate);
    edf_set_digital_maximum(handle, i, 2047);
    edf_set_digital_minimum(handle, i, -2048);
    edf_set_physical_maximum(handle, i,
                             (2047.0 - static_cast<double>(signal.baseline)) / signal.gain);
    edf_set_physical_minimum(handle, i,
                             (-2048.0 - static_cast<double>(signal.baseline)) / signal.gain);
    edf_set_label(handle, i, signal.label.c_str());
    edf_set_physical_dimension(handle, i, signal.units.c_str());
  }
  const std::size_t seconds = signals.front().size() / static_cast<std::size_t>(rate);
  std::vector<short> record(static_cast<std::size_t>(rate));
  for (std::size_t second = 0; second < seconds; ++second) {
    for (const auto& signal : signals) {
      std::copy_n(signal.begin() + static_cast<std::ptrdiff_t>(second * record.size()),
                  record.size(), record.begin());
      if (edfwrite_digital_short_samples(handle, record.data()) != 0) {
        throw std::runtime_error("cannot write " + path.string());
      }
    }
  }
  if (edfclose_file(handle) != 0) throw std::runtime_error("cannot close " + path.string());
}

int makeDay(const std::string& headerPath, const std::filesystem::path& folder,
            std::int64_t seconds) {
  const WfdbHeader header = rrscope::recordings::readWfdbHeader(headerPath);
  if (header.rate.denominator != 1)
    throw std::runtime_error("the record's rate is no whole number");
  const auto rate = static_cast<int>(header.rate.numerator);
  const auto length = static_cast<std::size_t>(seconds * rate);
  const auto source = std::filesystem::path(headerPath).parent_path();

  std::vector<std::vector<std::int16_t>> signals;
  std::vector<std::string> labels;
  std::size_t period = 0;
  for (std::size_t i = 0; i < header.signals.size(); ++i) {
    const auto& signal = header.signals[i];
    const auto adc = rrscope::recordings::readWfdbSignal(header, i, source);
    period = adc.size();
    signals.push_back(tiled(adc, length));
    labels.push_back(signal.label);
  }
  std::filesystem::create_directories(folder);
  const auto base = folder / "day";
  rrscope::recordings::WfdbRecordToWrite record{
      header.rate, 212, header.signals.front().gain, header.signals.front().baseline, labels, {}};
  for (const auto& signal : signals) record.channels.emplace_back(signal);
  rrscope::recordings::writeWfdbRecord(base, record);

  auto annotations = std::filesystem::path(headerPath).replace_extension(".atr");
  const auto beats =
      tiledBeats(rrscope::recordings::readAnnotations(annotations.string()).annotations,
                 static_cast<std::int64_t>(period), static_cast<std::int64_t>(length));
  rrscope::recordings::writeAnnotations(std::filesystem::path(base).concat(".atr"), beats);
  writeEdf(std::filesystem::path(base).concat(".edf"), header, signals, rate);
  std::printf("%s.{hea,dat,atr,edf}: %zu samples at %d per second, %zu signals, %zu beats\n",
              base.c_str(), length, rate, signals.size(), beats.size());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr, "usage: rrscope-make-day-recording RECORD.hea OUTPUT_FOLDER [SECONDS]\n");
    return 2;
  }
  try {
    return makeDay(argv[1], argv[2], argc == 4 ? std::stoll(argv[3]) : kDaySeconds);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "rrscope-make-day-recording: %s\n", error.what());
    return 1;
  }
}
