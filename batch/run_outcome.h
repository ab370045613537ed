#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "analysis/analysis_state.h"
#include "analysis/run_error.h"
#include "analysis/run_window.h"
#include "batch/batch_options.h"
#include "charts/display_list.h"

namespace rrscope::batch {

struct BeatReport;

// A file that a run produced, to be written as a whole.
struct OutputFile {
  std::filesystem::path path;
  std::string content;
};

// What one file's run left behind, whichever window it ran in: the texts
// and captions as the window shows them, the drawings of its five surfaces
// and the analysis state, and the pictures of the window when it had one.
struct RunOutcome {
  std::string_view file;
  const ParameterTexts& parameters;  // the texts set before the run
  const analysis::RunWindow& window;
  std::array<const charts::DisplayList*, 5> displayLists;
  const analysis::AnalysisState& state;
  const std::optional<analysis::RunReport>& error;
  std::span<const OutputFile> windowPictures = {};
  // Why an output of this file could not be written, once that is known.
  std::optional<std::string> outputFailure = {};
  // The beats the beat options made, when any was given.
  const BeatReport* beats = nullptr;
};

}  // namespace rrscope::batch
