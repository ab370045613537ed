#pragma once

#include <edflib.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

// A sine of `count` samples, `step` radians apart: a signal whose every
// value differs from its neighbours.
inline std::vector<double> waveOf(std::size_t count, double amplitude, double step = 0.05) {
  std::vector<double> values;
  for (std::size_t i = 0; i < count; ++i) values.push_back(amplitude * std::sin(step * i));
  return values;
}

// One channel of an EDF or BDF file to write through EDFlib.
struct EdfChannel {
  std::string label;
  int samplesPerSecond;
  std::vector<double> values;  // a whole number of seconds
  std::string units = "mV";
  double physicalLimit = 5.0;  // the range is -limit to +limit
};

// Writes `channels` into one file of one-second data records.
inline void writeEdf(const std::filesystem::path& path, int fileType,
                     const std::vector<EdfChannel>& channels) {
  const int handle =
      edfopen_file_writeonly(path.c_str(), fileType, static_cast<int>(channels.size()));
  if (handle < 0) throw std::runtime_error("cannot open " + path.string());
  const bool bdf = fileType == EDFLIB_FILETYPE_BDF || fileType == EDFLIB_FILETYPE_BDFPLUS;
  for (int i = 0; i < static_cast<int>(channels.size()); ++i) {
    const EdfChannel& channel = channels[static_cast<std::size_t>(i)];
    edf_set_samplefrequency(handle, i, channel.samplesPerSecond);
    edf_set_physical_maximum(handle, i, channel.physicalLimit);
    edf_set_physical_minimum(handle, i, -channel.physicalLimit);
    edf_set_digital_maximum(handle, i, bdf ? 8388607 : 32767);
    edf_set_digital_minimum(handle, i, bdf ? -8388608 : -32768);
    edf_set_label(handle, i, channel.label.c_str());
    edf_set_physical_dimension(handle, i, channel.units.c_str());
  }
  const std::size_t seconds =
      channels.front().values.size() / static_cast<std::size_t>(channels.front().samplesPerSecond);
  for (std::size_t second = 0; second < seconds; ++second) {
    for (const EdfChannel& channel : channels) {
      std::vector<double> record(
          channel.values.begin() + static_cast<std::ptrdiff_t>(second * channel.samplesPerSecond),
          channel.values.begin() +
              static_cast<std::ptrdiff_t>((second + 1) * channel.samplesPerSecond));
      if (edfwrite_physical_samples(handle, record.data()) != 0) {
        throw std::runtime_error("cannot write " + path.string());
      }
    }
  }
  edfclose_file(handle);
}

// Overwrites `width` bytes at `offset` of the file at `path` with `text`,
// cut or space-padded to the width, as a header field.
inline void patchField(const std::filesystem::path& path, std::size_t offset, std::size_t width,
                       std::string text) {
  text.resize(width, ' ');
  std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
  file.seekp(static_cast<std::streamoff>(offset));
  file.write(text.data(), static_cast<std::streamsize>(text.size()));
}
