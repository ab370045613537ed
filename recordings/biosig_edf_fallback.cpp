#include "recordings/biosig_edf_fallback.h"

#include <algorithm>
#include <charconv>
#include <fstream>

#include "recordings/biosig_recording.h"
#include "recordings/recording_error.h"
#include "recordings/voltage_units.h"

namespace rrscope::recordings {
namespace {

constexpr std::size_t kFixedHeader = 256;
constexpr std::size_t kMaxSignals = 4096;

// A field of the fixed header or of each signal: its offset and width.
struct HeaderField {
  std::string_view name;
  std::size_t offset;
  std::size_t width;
};

constexpr HeaderField kFixedFields[] = {
    {"the patient field", 8, 80},
    {"the recording field", 88, 80},
    {"the reserved field of the header", 192, 44},
};

// The per-signal fields in the order of the header, each `width` bytes per
// signal; the numeric ones are only skipped over.
constexpr HeaderField kSignalFields[] = {{"the label", 0, 16},
                                         {"the transducer", 0, 80},
                                         {"the physical dimension", 0, 8},
                                         {"", 0, 8},
                                         {"", 0, 8},
                                         {"", 0, 8},
                                         {"", 0, 8},
                                         {"the prefiltering", 0, 80},
                                         {"", 0, 8},
                                         {"the reserved field", 0, 32}};
constexpr std::size_t kPhysicalDimension = 2;

bool plainAscii(std::string_view text) {
  return std::ranges::all_of(text, [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 32 && byte <= 126;
  });
}

std::string headerBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string fixed(kFixedHeader, '\0');
  if (!in.read(fixed.data(), static_cast<std::streamsize>(fixed.size()))) return {};
  std::size_t signals = 0;
  const std::string_view count = std::string_view(fixed).substr(252, 4);
  const auto first = count.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto end = count.data() + count.find_last_not_of(' ') + 1;
  const auto [stop, error] = std::from_chars(count.data() + first, end, signals);
  if (error != std::errc() || stop != end || signals == 0 || signals > kMaxSignals) return {};
  std::string perSignal(signals * kFixedHeader, '\0');
  if (!in.read(perSignal.data(), static_cast<std::streamsize>(perSignal.size()))) return {};
  return fixed + perSignal;
}

std::size_t signalCount(const std::string& header) {
  return header.empty() ? 0 : header.size() / kFixedHeader - 1;
}

// The bytes of field `field` of signal `signal`.
std::string_view signalField(const std::string& header, std::size_t field, std::size_t signal) {
  std::size_t offset = kFixedHeader;
  for (std::size_t i = 0; i < field; ++i) offset += kSignalFields[i].width * signalCount(header);
  const std::size_t width = kSignalFields[field].width;
  return std::string_view(header).substr(offset + signal * width, width);
}

std::string trimmed(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  return std::string(text);
}

std::string fieldList(std::span<const std::string> fields) {
  std::string list;
  for (const std::string& field : fields) list += (list.empty() ? "" : "; ") + field;
  return list;
}

// BioSig failed where EDFlib failed: EDFlib's reason comes first.
RecordingError refusedByBoth(const std::string& path, const std::string& edflibProblem,
                             std::span<const std::string> fields, const RecordingError& biosig) {
  std::string reason = biosig.what();
  if (reason.starts_with(path + ": ")) reason.erase(0, path.size() + 2);
  constexpr std::string_view kBiosigRefuses = "BioSig cannot read the file: ";
  if (reason.starts_with(kBiosigRefuses)) reason.erase(0, kBiosigRefuses.size());
  return RecordingError(path, edflibProblem + "; " + fieldList(fields) +
                                  ", and BioSig cannot read the file either (" + reason + ")");
}

// BioSig reads µV as mV when it does not know the unit: put it right.
void toMillivolts(Recording& recording, const std::string& headerUnits) {
  const double scale = millivoltsPer(headerUnits);
  if (recording.units == "mV" || scale == 0.0) return;
  recording.gain /= scale;  // the baseline is in converter steps and stays
  recording.units = "mV";
}

bool isAnnotationSignal(const std::string& label) {
  return label == "EDF Annotations" || label == "BDF Annotations";
}

// The signals as EDFlib numbers them, without the annotation signals of
// EDF+ and BDF+ that BioSig lists among them, and where each stands in the
// header.
struct SignalChannels {
  std::vector<ChannelListing> listing;
  std::vector<std::size_t> headerIndex;
};

SignalChannels signalChannels(const std::string& path, const std::string& edflibProblem,
                              std::span<const std::string> fields) {
  std::vector<ChannelListing> all;
  try {
    all = listChannelsThroughBiosig(path);
  } catch (const RecordingError& biosig) {
    throw refusedByBoth(path, edflibProblem, fields, biosig);
  }
  SignalChannels channels;
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (isAnnotationSignal(all[i].label)) continue;
    channels.listing.push_back(all[i]);
    channels.headerIndex.push_back(i);
  }
  return channels;
}

}  // namespace

std::vector<std::string> nonAsciiEdfFields(const std::string& path) {
  const std::string header = headerBytes(path);
  if (header.empty()) return {};
  std::vector<std::string> warnings;
  for (const HeaderField& field : kFixedFields) {
    if (!plainAscii(std::string_view(header).substr(field.offset, field.width))) {
      warnings.push_back(std::string(field.name) + " is not plain ASCII");
    }
  }
  for (std::size_t signal = 0; signal < signalCount(header); ++signal) {
    for (std::size_t field = 0; field < std::size(kSignalFields); ++field) {
      if (kSignalFields[field].name.empty()) continue;
      if (!plainAscii(signalField(header, field, signal))) {
        warnings.push_back(std::string(kSignalFields[field].name) + " of signal " +
                           std::to_string(signal) + " is not plain ASCII");
      }
    }
  }
  return warnings;
}

std::vector<std::string> edfPhysicalDimensions(const std::string& path) {
  const std::string header = headerBytes(path);
  std::vector<std::string> dimensions;
  for (std::size_t signal = 0; signal < signalCount(header); ++signal) {
    dimensions.push_back(trimmed(signalField(header, kPhysicalDimension, signal)));
  }
  return dimensions;
}

std::vector<ChannelListing> listRefusedEdfChannels(const std::string& path,
                                                   const std::string& edflibProblem,
                                                   std::span<const std::string> fields) {
  return signalChannels(path, edflibProblem, fields).listing;
}

Recording readRefusedEdf(const std::string& path, const ChannelRequest& request,
                         const std::string& edflibProblem, std::span<const std::string> fields) {
  const SignalChannels channels = signalChannels(path, edflibProblem, fields);
  std::vector<std::string> labels;
  for (const ChannelListing& channel : channels.listing) labels.push_back(channel.label);
  const std::size_t chosen = chooseChannel(labels, request, path, WithoutEcgLabel::refuse);
  const std::size_t index = channels.headerIndex[chosen];
  Recording recording = readThroughBiosig(path, {std::to_string(index)}, WithoutEcgLabel::refuse);
  const std::vector<std::string> dimensions = edfPhysicalDimensions(path);
  if (index < dimensions.size()) toMillivolts(recording, dimensions[index]);
  recording.warnings.assign(fields.begin(), fields.end());
  return recording;
}

}  // namespace rrscope::recordings
