#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

// An ISHNE Holter file to write: leads of equal length at one rate.
struct IshneLead {
  std::int16_t code;  // the format's lead code: 5 is I, 6 II, 11 V1 ...
  std::int16_t nanovoltsPerStep;
  std::vector<std::int16_t> values;
};

namespace ishne_detail {

inline void putLittleEndian(std::string& bytes, std::size_t offset, std::uint64_t value,
                            std::size_t width) {
  for (std::size_t i = 0; i < width; ++i) {
    bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xff);
  }
}

// CRC-CCITT: polynomial 0x1021 from 0xffff, as the format checks its header.
inline std::uint16_t crcCcitt(std::string_view bytes) {
  std::uint16_t crc = 0xffff;
  for (const char c : bytes) {
    crc ^= static_cast<std::uint16_t>(static_cast<unsigned char>(c) << 8);
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc & 0x8000) ? static_cast<std::uint16_t>((crc << 1) ^ 0x1021)
                           : static_cast<std::uint16_t>(crc << 1);
    }
  }
  return crc;
}

}  // namespace ishne_detail

// Writes the magic, the CRC over the fixed header and the variable block,
// the 512 bytes of the fixed header and `variableBlock`, then the samples
// as little-endian 16-bit values interleaved lead by lead.
inline void writeIshne(const std::filesystem::path& path, std::int16_t samplesPerSecond,
                       const std::vector<IshneLead>& leads, const std::string& variableBlock = "") {
  using ishne_detail::putLittleEndian;
  if (leads.empty() || leads.size() > 12) throw std::invalid_argument("1 to 12 leads");
  constexpr std::size_t kFixed = 512;
  constexpr std::size_t kPrefix = 10;  // magic and CRC
  const std::size_t samples = leads.front().values.size();
  std::string header(kFixed, '\0');
  putLittleEndian(header, 0, variableBlock.size(), 4);                      // variable block size
  putLittleEndian(header, 4, samples, 4);                                   // samples per lead
  putLittleEndian(header, 8, kPrefix + kFixed, 4);                          // offset of the block
  putLittleEndian(header, 12, kPrefix + kFixed + variableBlock.size(), 4);  // offset of the ECG
  putLittleEndian(header, 16, 1, 2);                                        // file version
  header.replace(18, 4, "Test");                                            // first name
  header.replace(58, 6, "Holter");                                          // last name
  header.replace(98, 3, "T-1");                                             // patient id
  putLittleEndian(header, 118, 1, 2);                                       // sex
  for (std::size_t date = 0; date < 4; ++date) {  // birth, record, file, start
    putLittleEndian(header, 122 + 6 * date, 1, 2);
    putLittleEndian(header, 124 + 6 * date, 1, 2);
    putLittleEndian(header, 126 + 6 * date, date == 3 ? 0 : 2020, 2);
  }
  putLittleEndian(header, 146, leads.size(), 2);
  for (std::size_t i = 0; i < 12; ++i) {
    const bool used = i < leads.size();
    putLittleEndian(header, 148 + 2 * i, used ? static_cast<std::uint16_t>(leads[i].code) : 0xffff,
                    2);
    putLittleEndian(header, 172 + 2 * i, used ? 1 : 0xffff, 2);  // lead quality
    putLittleEndian(header, 196 + 2 * i,
                    used ? static_cast<std::uint16_t>(leads[i].nanovoltsPerStep) : 0xffff, 2);
  }
  putLittleEndian(header, 220, 0, 2);  // no pacemaker
  header.replace(222, 6, "tester");
  putLittleEndian(header, 262, static_cast<std::uint16_t>(samplesPerSecond), 2);

  const std::string checked = header + variableBlock;
  std::string prefix = "ISHNE1.0";
  prefix.resize(kPrefix);
  const std::uint16_t crc = ishne_detail::crcCcitt(checked);
  prefix[8] = static_cast<char>(crc & 0xff);
  prefix[9] = static_cast<char>(crc >> 8);

  std::string data(samples * leads.size() * 2, '\0');
  for (std::size_t s = 0; s < samples; ++s) {
    for (std::size_t lead = 0; lead < leads.size(); ++lead) {
      putLittleEndian(data, 2 * (s * leads.size() + lead),
                      static_cast<std::uint16_t>(leads[lead].values.at(s)), 2);
    }
  }
  std::ofstream out(path, std::ios::binary);
  out << prefix << checked << data;
  if (!out) throw std::runtime_error("cannot write " + path.string());
}
