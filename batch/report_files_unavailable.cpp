#include <stdexcept>

#include "batch/report_files.h"

namespace rrscope::batch {

struct ReportWriter::Application {};

bool ReportWriter::available() {
  return false;
}

ReportWriter::ReportWriter(int&, char**) {}

ReportWriter::~ReportWriter() = default;

std::vector<std::filesystem::path> ReportWriter::write(const recordings::Recording&,
                                                       const pipeline::RecordingAnalysis&,
                                                       const std::filesystem::path&,
                                                       std::string_view, const std::string&,
                                                       const hrv::MeasureOptions&) const {
  throw std::logic_error("this build has no report");
}

}  // namespace rrscope::batch
