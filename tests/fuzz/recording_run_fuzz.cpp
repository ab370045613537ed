// A whole recording run as rrscope-batch makes it (--correct --hrv
// --windows 300,30 --export-csv) on a fuzzed header and any signal bytes:
// the record reads, its beats are found and corrected, its measures taken,
// and its samples exported, or the run stops with the error that ends one
// file of a batch (a RecordingError or a documented std::invalid_argument
// of the detector); never a crash, a hang or unbounded memory.
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string_view>

#include "fuzz_check.h"
#include "hrv/hrv_measures.h"
#include "pipeline/lead_reading.h"
#include "pipeline/recording_analysis.h"
#include "pipeline/recording_reading.h"
#include "record_files.h"
#include "recordings/csv_export.h"
#include "recordings/recording_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const rrscope::fuzz::RecordFolder folder;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string header = folder.write(input);
  try {
    const rrscope::pipeline::PrimaryLead primary =
        rrscope::pipeline::readPrimaryLead(header, {}, true);
    const auto& recording = primary.recording;
    const auto others = rrscope::pipeline::detectOtherLeads(header, primary.otherLeads, recording);
    rrscope::pipeline::RecordingAnalysisOptions options;
    options.correct = true;
    options.hrv = true;
    const rrscope::pipeline::RecordingAnalysis analysis =
        rrscope::pipeline::analyseRecording(recording, options, std::nullopt, others);
    for (const double beat : analysis.nnBeats) {
      FUZZ_CHECK(
          std::isfinite(beat) && beat >= 0 && beat <= static_cast<double>(recording.values.size()),
          input);
    }
    const std::vector<double> endsMs = analysis.nnEndsMs();
    if (!endsMs.empty()) {
      (void)rrscope::hrv::windowedMeasures(analysis.nnMs, endsMs, endsMs.back(), {300, 30});
    }
    const std::string csv = rrscope::recordings::csvExport(recording);
    FUZZ_CHECK(!csv.empty(), input);
  } catch (const rrscope::recordings::RecordingError&) {
  } catch (const std::invalid_argument&) {
  }
  return 0;
}
