#pragma once

#include <cstdint>

#include "analysis/analysis_state.h"
#include "analysis/run_window.h"

namespace rrscope::analysis {

// The values one run creates and hands from stage to stage.
struct RunValues {
  std::int64_t sampleEnd = 0;  // number of samples plus one
  double threshold = 0;
  double guardSamples = 0;
  std::int64_t peakEnd = 1;  // number of detected peaks plus one
};

// What every stage works on: the window's state, the window and the run values.
struct RunContext {
  AnalysisState& state;
  RunWindow& window;
  RunValues values;
};

// Reads a text box with the numeric parse; a number beyond the range of
// doubles is an overflow RunError naming the box.
double parseTextBox(const RunContext& run, TextBox box);

// The same for a caption.
double parseCaption(const RunContext& run, Caption label);

// The same for the sample on line `position` of the loaded file.
double parseSampleLine(const SampleLines& lines, std::int64_t position);

}  // namespace rrscope::analysis
