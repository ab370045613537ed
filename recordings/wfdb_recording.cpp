#include <filesystem>

#include "recordings/read_recording.h"
#include "recordings/recording_error.h"
#include "recordings/voltage_units.h"
#include "recordings/wfdb_annotations.h"
#include "recordings/wfdb_header.h"
#include "recordings/wfdb_segments.h"
#include "recordings/wfdb_signal.h"

namespace rrscope::recordings {
namespace {

std::filesystem::path recordBase(const std::string& headerPath) {
  std::filesystem::path base(headerPath);
  if (base.extension() == ".hea") base.replace_extension();
  return base;
}

// The header that describes the record's signals: its own, or for a
// multi-segment record that of its layout.
WfdbHeader signalsHeader(const WfdbHeader& header, const std::string& headerPath) {
  if (header.segments.empty()) return header;
  return wfdbSegmentLayout(header, headerPath);
}

}  // namespace

std::vector<ChannelListing> listWfdbChannels(const std::string& headerPath) {
  const WfdbHeader header = signalsHeader(readWfdbHeader(headerPath), headerPath);
  std::vector<ChannelListing> channels;
  for (std::size_t i = 0; i < header.signals.size(); ++i) {
    channels.push_back({header.signals[i].label, header.signalRate(i)});
  }
  return channels;
}

namespace {

// Signal `index` of a record whose values have been read.
Recording wfdbRecording(const WfdbHeader& header, std::size_t index, const std::string& headerPath,
                        WfdbSignalValues signal) {
  const std::string& label = header.signals[index].label;
  Recording recording;
  recording.file = headerPath;
  recording.channel = label.empty() ? "signal " + std::to_string(index) : label;
  recording.rate = header.signalRate(index);
  // A lead in volts or microvolts is given in millivolts, as EDF leads are:
  // the gain is in steps per unit, so per millivolt it is divided by the
  // millivolts a unit holds.
  const std::string& units = header.signals[index].units;
  const double millivolts = millivoltsPer(units);
  const bool voltage = millivolts != 0.0;
  recording.units = voltage ? "mV" : units;
  recording.gain = voltage ? header.signals[index].gain / millivolts : header.signals[index].gain;
  recording.baseline = static_cast<double>(header.signals[index].baseline);
  recording.values = std::move(signal.values);
  recording.invalid = std::move(signal.invalid);
  recording.warnings = std::move(signal.warnings);
  if (recording.values.empty()) throw RecordingError(headerPath, "the record holds no samples");
  return recording;
}

}  // namespace

Recording readWfdbRecording(const std::string& headerPath, const ChannelRequest& request) {
  const WfdbHeader master = readWfdbHeader(headerPath);
  const WfdbHeader header = signalsHeader(master, headerPath);
  std::vector<std::string> labels;
  for (const WfdbSignal& signal : header.signals) labels.push_back(signal.label);
  const std::size_t index = chooseChannel(labels, request, headerPath, WithoutEcgLabel::takeFirst);
  WfdbSignalValues signal = master.segments.empty()
                                ? readWfdbSignalValues(header, index, headerPath)
                                : readWfdbSegments(master, header, index, headerPath);
  return wfdbRecording(header, index, headerPath, std::move(signal));
}

std::vector<Recording> readWfdbRecordings(const std::string& headerPath,
                                          std::span<const std::size_t> numbers) {
  const WfdbHeader master = readWfdbHeader(headerPath);
  const WfdbHeader header = signalsHeader(master, headerPath);
  for (const std::size_t number : numbers) {
    if (number >= header.signals.size()) {
      throw RecordingError(headerPath, "the record has no signal " + std::to_string(number));
    }
  }
  std::vector<Recording> recordings;
  if (!master.segments.empty()) {
    // Segments are read one signal at a time: each may be a day long.
    for (const std::size_t number : numbers) {
      recordings.push_back(wfdbRecording(header, number, headerPath,
                                         readWfdbSegments(master, header, number, headerPath)));
    }
    return recordings;
  }
  std::vector<WfdbSignalValues> signals = readWfdbSignalsUnbridged(header, numbers, headerPath);
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    recordings.push_back(
        wfdbRecording(header, numbers[i], headerPath,
                      bridgedWfdbSignal(header, numbers[i], headerPath, std::move(signals[i]))));
  }
  return recordings;
}

std::vector<std::int64_t> readWfdbReferenceBeats(const std::string& headerPath, SamplingRate rate) {
  return readWfdbLabelledBeats(headerPath, rate).samples;
}

LabelledBeats readWfdbLabelledBeats(const std::string& headerPath, SamplingRate rate) {
  const WfdbHeader header = readWfdbHeader(headerPath);
  std::filesystem::path path = recordBase(headerPath);
  path += ".atr";
  BeatAnnotations beats = readBeatAnnotations(path.string());
  convertBeatTicks(beats.ticks, beats.timeResolution.value_or(header.rate), rate);
  return {std::move(beats.ticks), std::move(beats.labels)};
}

}  // namespace rrscope::recordings
