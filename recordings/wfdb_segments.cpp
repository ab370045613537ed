#include "recordings/wfdb_segments.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "recordings/recording_error.h"
#include "recordings/wfdb_files.h"

namespace rrscope::recordings {
namespace {

std::string segmentHeaderPath(const WfdbSegment& segment, const std::string& headerPath) {
  const std::filesystem::path folder = std::filesystem::path(headerPath).parent_path();
  std::filesystem::path path = fileInFolder(folder, segment.record, headerPath, "segment");
  path += ".hea";
  return path.string();
}

WfdbHeader readSegmentHeader(const WfdbSegment& segment, const WfdbHeader& master,
                             const std::string& headerPath) {
  const std::string path = segmentHeaderPath(segment, headerPath);
  WfdbHeader header = readWfdbHeader(path);
  if (!header.segments.empty()) {
    throw RecordingError(path, "a segment is itself a multi-segment record");
  }
  if (header.rate.numerator != master.rate.numerator ||
      header.rate.denominator != master.rate.denominator) {
    throw RecordingError(path, "the segment's sampling rate differs from the record's");
  }
  return header;
}

bool hasLayoutSegment(const WfdbHeader& master) {
  return !master.segments.front().null() && master.segments.front().length == 0;
}

// Where the layout's signal `index` is in a segment: by label when the
// record has a layout segment (segments may then hold other signals in
// other orders), by number otherwise.
std::optional<std::size_t> signalInSegment(const WfdbHeader& segment, const WfdbSignal& wanted,
                                           std::size_t index, bool byLabel) {
  if (!byLabel) {
    if (index < segment.signals.size()) return index;
    return {};
  }
  for (std::size_t i = 0; i < segment.signals.size(); ++i) {
    if (segment.signals[i].label == wanted.label && segment.signals[i].stored()) return i;
  }
  return {};
}

// Converts a segment's values to the layout's gain and baseline, so that
// (value - baseline) / gain keeps its physical value. A layout whose gain
// puts a value beyond 32 bits cannot hold the segment: refused, never
// wrapped into another value.
void rescale(std::vector<std::int32_t>& values, const WfdbSignal& from, const WfdbSignal& to,
             const std::string& path) {
  if (from.gain == to.gain && from.baseline == to.baseline) return;
  constexpr double kLowest = std::numeric_limits<std::int32_t>::min();
  constexpr double kHighest = std::numeric_limits<std::int32_t>::max();
  for (std::int32_t& value : values) {
    const double physical =
        (static_cast<double>(value) - static_cast<double>(from.baseline)) / from.gain;
    const double rescaled = std::round(physical * to.gain + static_cast<double>(to.baseline));
    if (!(rescaled >= kLowest && rescaled <= kHighest)) {
      throw RecordingError(path, "the record's layout (gain " + std::to_string(to.gain) +
                                     ") cannot hold the segment's values in 32 bits");
    }
    value = static_cast<std::int32_t>(rescaled);
  }
}

// The samples of the chosen signal a segment announces: its frames times
// the samples in a frame, refused where the product overflows.
std::size_t segmentSamples(const WfdbSegment& segment, std::size_t perFrame,
                           const std::string& headerPath) {
  std::size_t samples = 0;
  if (segment.length < 0 ||
      __builtin_mul_overflow(static_cast<std::size_t>(segment.length), perFrame, &samples) ||
      samples > static_cast<std::size_t>(std::numeric_limits<std::int64_t>::max())) {
    throw RecordingError(headerPath, "the segment \"" + segment.record + "\" announces " +
                                         std::to_string(segment.length) +
                                         " frames, more than a record can hold");
  }
  return samples;
}

// A record names each of its segments once: naming one segment thousands
// of times would make a record of gigabytes out of a few kilobytes.
void refuseRepeatedSegments(const WfdbHeader& master, const std::string& headerPath) {
  std::vector<std::string> names;
  for (const WfdbSegment& segment : master.segments) {
    if (!segment.null()) names.push_back(segment.record);
  }
  std::ranges::sort(names);
  const auto repeated = std::ranges::adjacent_find(names);
  if (repeated != names.end()) {
    throw RecordingError(headerPath, "the segment \"" + *repeated + "\" is named more than once");
  }
}

// The chosen signal of the whole record, built segment by segment.
class SegmentJoiner {
 public:
  explicit SegmentJoiner(std::string headerPath) : headerPath_(std::move(headerPath)) {}

  void addGap(std::size_t samples) {
    gaps_ += static_cast<std::int64_t>(samples);
    if (gaps_ > kLongestWfdbGaps) {
      throw RecordingError(headerPath_, "the gaps between the segments add up to more than " +
                                            std::to_string(kLongestWfdbGaps) + " samples");
    }
    markInvalid(joined_.values.size(), joined_.values.size() + samples);
    joined_.values.resize(joined_.values.size() + samples, 0);
  }

  void addSegment(WfdbSignalValues segment) {
    const std::size_t offset = joined_.values.size();
    for (const SampleRun& run : segment.invalid) {
      markInvalid(offset + run.first, offset + run.end);
    }
    joined_.values.insert(joined_.values.end(), segment.values.begin(), segment.values.end());
    for (std::string& warning : segment.warnings) joined_.warnings.push_back(std::move(warning));
  }

  WfdbSignalValues finish() && {
    bridgeInvalidRuns(joined_.values, joined_.invalid, headerPath_);
    return std::move(joined_);
  }

 private:
  void markInvalid(std::size_t first, std::size_t end) {
    if (first == end) return;
    std::vector<SampleRun>& runs = joined_.invalid;
    if (!runs.empty() && runs.back().end == first) {
      runs.back().end = end;
    } else {
      runs.push_back({first, end});
    }
  }

  std::string headerPath_;
  WfdbSignalValues joined_;
  std::int64_t gaps_ = 0;
};

}  // namespace

WfdbHeader wfdbSegmentLayout(const WfdbHeader& master, const std::string& headerPath) {
  for (const WfdbSegment& segment : master.segments) {
    if (segment.null()) continue;
    WfdbHeader layout = readSegmentHeader(segment, master, headerPath);
    layout.record = master.record;
    layout.sampleCount = master.sampleCount;
    return layout;
  }
  throw RecordingError(headerPath, "every segment of the record is \"~\"");
}

WfdbSignalValues readWfdbSegments(const WfdbHeader& master, const WfdbHeader& layout,
                                  std::size_t index, const std::string& headerPath) {
  const WfdbSignal& wanted = layout.signals.at(index);
  const auto perFrame = static_cast<std::size_t>(wanted.samplesPerFrame);
  const bool byLabel = hasLayoutSegment(master);
  refuseRepeatedSegments(master, headerPath);
  std::size_t total = 0;
  for (const WfdbSegment& segment : master.segments) {
    if (__builtin_add_overflow(total, segmentSamples(segment, perFrame, headerPath), &total) ||
        total > static_cast<std::size_t>(std::numeric_limits<std::int64_t>::max())) {
      throw RecordingError(headerPath, "the segments announce more samples than a record can hold");
    }
  }
  SegmentJoiner joiner(headerPath);
  for (const WfdbSegment& segment : master.segments) {
    const std::size_t samples = segmentSamples(segment, perFrame, headerPath);
    if (segment.length == 0) continue;
    if (segment.null()) {
      joiner.addGap(samples);
      continue;
    }
    const WfdbHeader header = readSegmentHeader(segment, master, headerPath);
    const std::string path = segmentHeaderPath(segment, headerPath);
    const auto found = signalInSegment(header, wanted, index, byLabel);
    if (!found || header.signals[*found].samplesPerFrame != wanted.samplesPerFrame) {
      joiner.addGap(samples);
      continue;
    }
    WfdbSignalValues values = readWfdbSignalUnbridged(header, *found, path);
    if (values.values.size() < samples) {
      throw RecordingError(path, "the segment holds " + std::to_string(values.values.size()) +
                                     " samples, the record announces " + std::to_string(samples));
    }
    values.values.resize(samples);
    std::erase_if(values.invalid, [samples](const SampleRun& run) { return run.first >= samples; });
    if (!values.invalid.empty()) {
      values.invalid.back().end = std::min(values.invalid.back().end, samples);
    }
    rescale(values.values, header.signals[*found], wanted, path);
    joiner.addSegment(std::move(values));
  }
  return std::move(joiner).finish();
}

}  // namespace rrscope::recordings
