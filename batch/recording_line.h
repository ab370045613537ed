#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "batch/batch_options.h"
#include "batch/json_line.h"
#include "beats/class_scoring.h"
#include "pipeline/recording_analysis.h"
#include "recordings/recording.h"

namespace rrscope::batch {

// Everything one recording's line tells; the pointers are null for what the
// run did not reach.
struct RecordingLineContent {
  const std::string& file;
  const recordings::Recording* recording;
  const pipeline::RecordingAnalysis* analysis;
  const BatchOptions& options;
  std::span<const std::filesystem::path> outputs;
  const std::optional<std::string>& error;
  std::string_view stage;  // where the run stopped, when it did
  std::optional<std::string> outputFailure;
  // The Se and +P of each class, when classed beats were scored against
  // labelled ones.
  std::optional<beats::ClassScoring> classScoring;
};

// The recording's line: file, format, channel, units, rate, duration,
// samples, detector, series, leads, beats and intervals, then corrections,
// the classes, scoring, hrv and peaks as asked for, the files written and the
// error (kind, stage, message).
JsonLine recordingObject(const RecordingLineContent& content);

// The same as the text of a JSON line.
std::string recordingLine(const RecordingLineContent& content);

}  // namespace rrscope::batch
