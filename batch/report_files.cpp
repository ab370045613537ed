#include "batch/report_files.h"

#include <QGuiApplication>
#include <array>
#include <optional>

#include "batch/offscreen_platform.h"
#include "batch/output_files.h"
#include "batch/whole_file.h"
#include "report/report_page.h"
#include "report/window_strips.h"

namespace rrscope::batch {
namespace {

// The PNG's resolution: A4 at 150 dots per inch, 1240 x 1754 pixels.
constexpr int kPngDotsPerInch = 150;

report::ReportContent reportContent(const recordings::Recording& recording,
                                    const pipeline::RecordingAnalysis& analysis,
                                    const std::string& reference,
                                    const hrv::MeasureOptions& measures) {
  report::ReportContent content;
  content.file = recording.file;
  content.channel = recording.channel;
  content.rateHz = recording.rate.hertz();
  content.durationSeconds = recording.durationSeconds();
  content.sampleCount = recording.sampleCount();
  content.detector = "Pan–Tompkins";
  content.detectedBeats = analysis.detected.size();
  content.corrections = analysis.corrections;
  content.scoring = analysis.scoring;
  content.reference = reference;
  if (!analysis.nnClasses.empty()) content.classes = report::summariseClasses(analysis.nnClasses);
  const double rate = recording.rate.hertz();
  for (const std::size_t end : analysis.nnEnds) {
    content.beatSeconds.push_back(analysis.nnBeats[end] / rate);
  }
  content.nnMs = analysis.nnMs;
  // An interval is marked when the beat that ends it was moved or inserted.
  for (std::size_t i = 0; i < analysis.nnEnds.size(); ++i) {
    if (analysis.nnOrigins[analysis.nnEnds[i]].change != beats::BeatChange::kept) {
      content.correctedIntervals.push_back(i);
    }
  }
  for (const beats::SampleStretch& stretch : analysis.unreadable) {
    content.unreadableSeconds.emplace_back(stretch.begin / rate, stretch.end / rate);
  }
  if (analysis.measures) content.measures = *analysis.measures;
  content.spectrumNote = report::spectrumNote(measures);
  if (!analysis.nnMs.empty()) {
    const std::vector<double> endsMs = analysis.nnEndsMs();
    report::addWindowStrips(content, analysis.nnMs, endsMs, endsMs.back());
  }
  return content;
}

}  // namespace

struct ReportWriter::Application {
  Application(int& argc, char** argv) {
    if (QCoreApplication::instance() == nullptr) {
      chooseOffscreenWithoutDisplay();
      app.emplace(argc, argv);
    }
  }
  std::optional<QGuiApplication> app;
};

bool ReportWriter::available() {
  return true;
}

ReportWriter::ReportWriter(int& argc, char** argv)
    : application_(std::make_unique<Application>(argc, argv)) {}

ReportWriter::~ReportWriter() = default;

std::vector<std::filesystem::path> ReportWriter::write(const recordings::Recording& recording,
                                                       const pipeline::RecordingAnalysis& analysis,
                                                       const std::filesystem::path& dir,
                                                       std::string_view stem,
                                                       const std::string& reference,
                                                       const hrv::MeasureOptions& measures) const {
  const report::ReportContent content = reportContent(recording, analysis, reference, measures);
  const QByteArray pdf = report::reportPdf(content);
  const QByteArray png = report::pngBytes(report::reportImage(content, kPngDotsPerInch));
  const std::filesystem::path pdfPath = dir / (std::string(stem) + ".pdf");
  const std::filesystem::path pngPath = dir / (std::string(stem) + ".png");
  // A PDF without its PNG, or the other way round, would pass for a
  // finished report: both appear, or neither.
  const std::array<OutputContent, 2> both{
      OutputContent{pdfPath, {pdf.constData(), static_cast<std::size_t>(pdf.size())}},
      OutputContent{pngPath, {png.constData(), static_cast<std::size_t>(png.size())}}};
  writeOutputsTogether(both);
  return {pdfPath, pngPath};
}

}  // namespace rrscope::batch
