#include "analysis/run_stages.h"

#include <cmath>

#include "text/number_text.h"

namespace rrscope::analysis {

void enableRefresh(RunContext& run) {
  run.window.enableRefresh();
}

void resetDebugPage(RunContext& run) {
  run.state.DebugPage = 2;
}

// The caption of sam shows the number of samples; the run counts one past it.
void takeSampleCount(RunContext& run) {
  run.values.sampleEnd = roundedPosition(parseCaption(run, Caption::sam)) + 1;
}

void loadSampleFile(RunContext& run) {
  const std::string path = run.window.chooseSampleFile();
  // The new lines replace the old ones only once the whole file has been
  // read, so a failed load leaves the loaded samples and sam as they were.
  run.state.SampleLines = readSampleFile(path);
  const std::int64_t lines = run.state.SampleLines.lineCount();
  run.window.setCaption(Caption::sam, text::wholeNumberText(lines));
  run.values.sampleEnd = lines + 1;
}

}  // namespace rrscope::analysis
