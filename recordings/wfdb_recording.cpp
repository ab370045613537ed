#include <filesystem>

#include "recordings/read_recording.h"
#include "recordings/recording_error.h"
#include "recordings/wfdb_annotations.h"
#include "recordings/wfdb_header.h"
#include "recordings/wfdb_signal.h"

namespace rrscope::recordings {
namespace {

std::filesystem::path recordBase(const std::string& headerPath) {
  std::filesystem::path base(headerPath);
  if (base.extension() == ".hea") base.replace_extension();
  return base;
}

}  // namespace

std::vector<ChannelListing> listWfdbChannels(const std::string& headerPath) {
  const WfdbHeader header = readWfdbHeader(headerPath);
  std::vector<ChannelListing> channels;
  for (const WfdbSignal& signal : header.signals) {
    // A signal of several samples per frame runs that many times faster.
    channels.push_back({signal.label, reducedRate(header.rate.numerator * signal.samplesPerFrame,
                                                  header.rate.denominator)});
  }
  return channels;
}

Recording readWfdbRecording(const std::string& headerPath, const ChannelRequest& request) {
  const WfdbHeader header = readWfdbHeader(headerPath);
  std::vector<std::string> labels;
  for (const WfdbSignal& signal : header.signals) labels.push_back(signal.label);
  const std::size_t index = chooseChannel(labels, request, headerPath, WithoutEcgLabel::takeFirst);
  const std::filesystem::path folder = std::filesystem::path(headerPath).parent_path();
  Recording recording;
  recording.file = headerPath;
  recording.channel = labels[index].empty() ? "signal " + std::to_string(index) : labels[index];
  recording.units = header.signals[index].units;
  recording.rate = header.rate;
  recording.gain = header.signals[index].gain;
  recording.baseline = static_cast<double>(header.signals[index].baseline);
  recording.values = readWfdbSignal(header, index, folder);
  if (recording.values.empty()) throw RecordingError(headerPath, "the record holds no samples");
  return recording;
}

std::vector<std::int64_t> readWfdbReferenceBeats(const std::string& headerPath, SamplingRate rate) {
  const WfdbHeader header = readWfdbHeader(headerPath);
  std::filesystem::path annotations = recordBase(headerPath);
  annotations += ".atr";
  return beatSamples(readAnnotations(annotations.string()), header.rate, rate);
}

}  // namespace rrscope::recordings
