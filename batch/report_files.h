#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pipeline/recording_analysis.h"
#include "recordings/recording.h"

namespace rrscope::batch {

// Draws the one-page report of a recording with Qt, offscreen when there is
// no display. It owns the Qt application when no other part made one.
class ReportWriter {
 public:
  // False when the program was built without Qt.
  static bool available();

  ReportWriter(int& argc, char** argv);
  ~ReportWriter();
  ReportWriter(const ReportWriter&) = delete;
  ReportWriter& operator=(const ReportWriter&) = delete;

  // Writes DIR/STEM.pdf and DIR/STEM.png, each whole or not at all; returns
  // their paths. `reference` names what the scoring compared with;
  // `measures` says how the spectra were prepared. Throws
  // OutputError when one cannot be written.
  std::vector<std::filesystem::path> write(const recordings::Recording& recording,
                                           const pipeline::RecordingAnalysis& analysis,
                                           const std::filesystem::path& dir, std::string_view stem,
                                           const std::string& reference,
                                           const hrv::MeasureOptions& measures) const;

 private:
  struct Application;
  std::unique_ptr<Application> application_;
};

}  // namespace rrscope::batch
