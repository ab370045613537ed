#include "recordings/edf_header_check.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>
#include <vector>

namespace rrscope::recordings {
namespace {

constexpr std::size_t kFixedHeader = 256;
// EDFlib's own limits: the signals it keeps, and the largest data record it
// reads (10 MiB of 16-bit EDF samples, 15 MiB of 24-bit BDF ones).
constexpr std::int64_t kMaxSignals = 640;
constexpr std::int64_t kMaxEdfRecordBytes = 10 * 1024 * 1024;
constexpr std::int64_t kMaxBdfRecordBytes = 15 * 1024 * 1024;

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  return text;
}

std::optional<std::int64_t> wholeNumber(std::string_view field) {
  const std::string_view text = trimmed(field);
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<double> number(std::string_view field) {
  const std::string_view text = trimmed(field);
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::string quoted(std::string_view field) {
  std::string text(1, '"');
  text.append(trimmed(field));
  text.push_back('"');
  return text;
}

// One signal's fields as the header gives them.
struct SignalFields {
  std::string_view label;
  std::string_view physicalMinimum;
  std::string_view physicalMaximum;
  std::string_view digitalMinimum;
  std::string_view digitalMaximum;
  std::string_view samplesPerRecord;
};

// The per-signal part of the header is field after field, each for every
// signal in turn: label 16, transducer 80, dimension 8, physical minimum and
// maximum 8 each, digital minimum and maximum 8 each, prefiltering 80,
// samples per record 8, reserved 32.
SignalFields signalFields(std::string_view signals, std::size_t count, std::size_t index) {
  const auto field = [&](std::size_t offsetPerSignal, std::size_t width) {
    return signals.substr(offsetPerSignal * count + index * width, width);
  };
  return {field(0, 16), field(104, 8), field(112, 8), field(120, 8), field(128, 8), field(216, 8)};
}

bool isAnnotationSignal(std::string_view label) {
  const std::string_view text = trimmed(label);
  return text == "EDF Annotations" || text == "BDF Annotations";
}

std::optional<std::string> signalProblem(const SignalFields& fields, std::size_t index, bool bdf) {
  const std::string name = "signal " + std::to_string(index) + " (" + quoted(fields.label) + "): ";
  const auto physicalMinimum = number(fields.physicalMinimum);
  const auto physicalMaximum = number(fields.physicalMaximum);
  const auto digitalMinimum = wholeNumber(fields.digitalMinimum);
  const auto digitalMaximum = wholeNumber(fields.digitalMaximum);
  const auto samples = wholeNumber(fields.samplesPerRecord);
  if (!physicalMinimum)
    return name + "the physical minimum " + quoted(fields.physicalMinimum) + " is not a number";
  if (!physicalMaximum)
    return name + "the physical maximum " + quoted(fields.physicalMaximum) + " is not a number";
  if (!digitalMinimum)
    return name + "the digital minimum " + quoted(fields.digitalMinimum) + " is not a whole number";
  if (!digitalMaximum)
    return name + "the digital maximum " + quoted(fields.digitalMaximum) + " is not a whole number";
  if (!samples)
    return name + "the samples per data record " + quoted(fields.samplesPerRecord) +
           " are not a whole number";
  if (*physicalMinimum == *physicalMaximum) {
    return name + "the physical minimum and maximum are both " +
           std::string(trimmed(fields.physicalMinimum)) + ", so the signal has no gain";
  }
  if (*digitalMinimum >= *digitalMaximum) {
    return name + "the digital minimum " + std::to_string(*digitalMinimum) +
           " is not below the maximum " + std::to_string(*digitalMaximum) +
           ", so the signal has no gain";
  }
  const std::int64_t limit = bdf ? (1 << 23) : (1 << 15);
  if (*digitalMinimum < -limit || *digitalMaximum >= limit) {
    return name + "the digital range " + std::to_string(*digitalMinimum) + " to " +
           std::to_string(*digitalMaximum) + " does not fit " + (bdf ? "24" : "16") +
           "-bit samples";
  }
  if (*samples <= 0) return name + std::to_string(*samples) + " samples per data record";
  return std::nullopt;
}

}  // namespace

std::optional<std::string> edfHeaderProblem(const std::string& path) {
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  if (error) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  std::string fixed(kFixedHeader, '\0');
  if (!in.read(fixed.data(), static_cast<std::streamsize>(fixed.size()))) {
    return "the file is shorter than the 256 bytes of an EDF header";
  }
  const std::string_view head(fixed);
  const bool bdf = static_cast<unsigned char>(head[0]) == 0xff;
  // Data records of EDF+D and BDF+D follow each other with gaps between
  // them that only their time stamps tell: joined, they would shift every
  // beat after a gap.
  const std::string_view reserved = head.substr(192, 44);
  if (reserved.starts_with("EDF+D") || reserved.starts_with("BDF+D")) {
    return "discontinuous EDF+D/BDF+D files are not supported";
  }
  const auto signals = wholeNumber(head.substr(252, 4));
  if (!signals || *signals < 1 || *signals > kMaxSignals) {
    return "the header gives " + quoted(head.substr(252, 4)) + " signals, not 1 to " +
           std::to_string(kMaxSignals);
  }
  const auto count = static_cast<std::size_t>(*signals);
  const auto headerBytes = wholeNumber(head.substr(184, 8));
  const std::int64_t expectedHeader = static_cast<std::int64_t>(kFixedHeader * (count + 1));
  if (headerBytes != expectedHeader) {
    return "the header says it is " + quoted(head.substr(184, 8)) + " bytes long, but " +
           std::to_string(count) + " signals make it " + std::to_string(expectedHeader);
  }
  const auto records = wholeNumber(head.substr(236, 8));
  if (!records || *records < 1) {
    return "the header gives " + quoted(head.substr(236, 8)) +
           " data records (-1 is left by a recorder that was never closed)";
  }
  const auto duration = number(head.substr(244, 8));
  if (!duration || *duration < 0) {
    return "the duration of a data record " + quoted(head.substr(244, 8)) +
           " is not a number of seconds";
  }
  std::string perSignal(kFixedHeader * count, '\0');
  if (!in.read(perSignal.data(), static_cast<std::streamsize>(perSignal.size()))) {
    return "the file ends inside the header of its " + std::to_string(count) + " signals";
  }
  const std::int64_t bytesPerSample = bdf ? 3 : 2;
  const std::int64_t maxRecordBytes = bdf ? kMaxBdfRecordBytes : kMaxEdfRecordBytes;
  std::int64_t recordBytes = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const SignalFields fields = signalFields(perSignal, count, i);
    if (!isAnnotationSignal(fields.label)) {
      if (auto problem = signalProblem(fields, i, bdf)) return problem;
    }
    const auto samples = wholeNumber(fields.samplesPerRecord).value_or(0);
    // Checked one signal at a time, so that the sum cannot overflow.
    if (samples > 0) recordBytes += std::min(samples, maxRecordBytes) * bytesPerSample;
    if (recordBytes > maxRecordBytes) {
      return "a data record of more than " + std::to_string(maxRecordBytes / (1024 * 1024)) +
             " MiB (signal " + std::to_string(i) + " brings it to " + std::to_string(recordBytes) +
             " bytes or more), larger than the EDF reader takes";
    }
  }
  if (recordBytes == 0) return "the data records hold no samples";
  const auto fileBytes = static_cast<std::int64_t>(size);
  if ((fileBytes - expectedHeader) / recordBytes != *records ||
      (fileBytes - expectedHeader) % recordBytes != 0) {
    return "the file holds " + std::to_string(fileBytes) + " bytes, but its header promises " +
           std::to_string(*records) + " data records of " + std::to_string(recordBytes) +
           " bytes after " + std::to_string(expectedHeader) + " bytes of header";
  }
  return std::nullopt;
}

}  // namespace rrscope::recordings
