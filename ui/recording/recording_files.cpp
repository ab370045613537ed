#include "ui/recording/recording_files.h"

#include <QFileInfo>
#include <QSaveFile>
#include <cmath>

#include "editing/beat_list_files.h"
#include "pipeline/measure_csv.h"
#include "recordings/shortest_text.h"
#include "recordings/text_export.h"
#include "report/report_page.h"
#include "report/window_strips.h"
#include "ui/recording/clock_text.h"

namespace rrscope::ui {
namespace {

// The PNG report: A4 at 150 dots per inch, as the batch tool writes it.
constexpr int kPngDotsPerInch = 150;

bool hasSuffix(const QString& path, const QString& suffix) {
  return QFileInfo(path).suffix().compare(suffix, Qt::CaseInsensitive) == 0;
}

void writeBytes(const QString& path, const QByteArray& bytes) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
    throw std::runtime_error(QStringLiteral("%1: %2").arg(path, file.errorString()).toStdString());
  }
}

std::string stretchNote(const editing::BeatList& beats, beats::SampleStretch stretch,
                        const QString& correction) {
  const double rate = beats.rate();
  return QStringLiteral("%1–%2 из %3; правлено ударов вручную: %4; коррекция: %5")
      .arg(clockText(stretch.begin / rate), clockText(stretch.end / rate),
           clockText(static_cast<double>(beats.sampleCount()) / rate))
      .arg(beats.editedBeats())
      .arg(correction)
      .toStdString();
}

// The classes of the beats inside the stretch.
std::span<const beats::BeatClass> stretchClasses(const editing::BeatList& beats,
                                                 beats::SampleStretch stretch) {
  const std::size_t first = beats.firstAtOrAfter(stretch.begin);
  const std::size_t last = std::max(first, beats.firstAtOrAfter(stretch.end));
  return beats.classes().subspan(first, last - first);
}

report::ReportContent reportContent(const editing::OpenedRecording& opened,
                                    const editing::BeatList& beats, beats::SampleStretch stretch,
                                    const editing::StretchSeries& series,
                                    const hrv::Measures& measures, const QString& correction) {
  const double rate = beats.rate();
  report::ReportContent content;
  content.file = opened.file;
  content.channel = opened.recording ? opened.recording->channel : "RR";
  content.rateHz = rate;
  content.durationSeconds = (stretch.end - stretch.begin) / rate;
  content.startSeconds = stretch.begin / rate;
  content.sampleCount = static_cast<std::size_t>(std::llround(stretch.end - stretch.begin));
  content.detector = opened.recording ? "Pan–Tompkins" : "—";
  content.detectedBeats = series.beats;
  // The correction ran over the whole recording; its counts are those.
  content.corrections = opened.analysis.corrections;
  content.stretchNote = stretchNote(beats, stretch, correction);
  // An RR file's beats have no ECG to be classed by.
  if (opened.recording) content.classes = report::summariseClasses(stretchClasses(beats, stretch));
  const std::span<const double> positions = beats.positions();
  for (std::size_t i = 0; i < series.intervalsMs.size(); ++i) {
    const std::size_t end = series.ends[i];
    content.beatSeconds.push_back(positions[end] / rate);
    if (beats.sources()[end] != editing::BeatSource::detected) {
      content.correctedIntervals.push_back(i);
    }
  }
  content.nnMs = series.intervalsMs;
  for (const beats::SampleStretch& mark : beats.unreadable()) {
    const double from = std::max(mark.begin, stretch.begin), to = std::min(mark.end, stretch.end);
    if (from < to) content.unreadableSeconds.emplace_back(from / rate, to / rate);
  }
  content.measures = measures;
  if (!series.intervalsMs.empty()) {
    // The stretch's intervals, timed by their beats: those of unreadable
    // stretches are left out and leave gaps.
    const double first = positions[series.ends.front() - 1];
    std::vector<double> endsMs;
    for (const std::size_t end : series.ends)
      endsMs.push_back((positions[end] - first) / rate * 1000);
    report::addWindowStrips(content, series.intervalsMs, endsMs, endsMs.back());
  }
  return content;
}

}  // namespace

recordings::SamplingRate beatRate(const editing::OpenedRecording& opened) {
  return opened.recording ? opened.recording->rate : recordings::SamplingRate{1000, 1};
}

void saveBeatFile(const QString& path, const editing::BeatList& beats,
                  const editing::OpenedRecording& opened, beats::CorrectionLevel correction,
                  std::span<const beats::SampleStretch> samples) {
  const std::filesystem::path file(path.toStdString());
  if (hasSuffix(path, QStringLiteral("csv"))) {
    editing::writeBeatCsv(file, beats);
  } else {
    editing::writeBeatAnnotations(
        file, beats, beatRate(opened),
        {editing::identityOf(opened), correction, {samples.begin(), samples.end()}});
  }
}

void writeStretchReport(const QString& path, const editing::OpenedRecording& opened,
                        const editing::BeatList& beats, beats::SampleStretch stretch,
                        const editing::StretchSeries& series, const hrv::Measures& measures,
                        const QString& correction) {
  const report::ReportContent content =
      reportContent(opened, beats, stretch, series, measures, correction);
  writeBytes(path, hasSuffix(path, QStringLiteral("png"))
                       ? report::pngBytes(report::reportImage(content, kPngDotsPerInch))
                       : report::reportPdf(content));
}

std::string measuresCsv(const QString& file, std::span<const MeasureRow> rows,
                        std::string_view correction, bool samples) {
  std::string text =
      "file,start_s,end_s,intervals" + pipeline::measureCsvColumns() + ",correction,sample\n";
  // A file name with a comma or a quote is quoted, as CSV has it.
  std::string name = file.toStdString();
  if (name.find_first_of(",\"\n") != std::string::npos) {
    name = '"' + QString::fromStdString(name).replace('"', "\"\"").toStdString() + '"';
  }
  std::size_t number = 0;
  for (const MeasureRow& row : rows) {
    text += name + ',';
    if (row.seconds) recordings::appendShortest(text, row.seconds->first);
    text += ',';
    if (row.seconds) recordings::appendShortest(text, row.seconds->second);
    text += ',' + std::to_string(row.intervals);
    pipeline::appendMeasureCsvFields(text, row.measures);
    text += ',';
    text += correction;
    text += ',';
    if (samples) text += row.seconds ? std::to_string(++number) : std::string("all");
    text += '\n';
  }
  return text;
}

void writeTextFile(const QString& path, const std::string& text) {
  writeBytes(path, QByteArray(text.data(), static_cast<qsizetype>(text.size())));
}

QString writeStretchText(const recordings::Recording& recording, beats::SampleStretch stretch,
                         const QString& folder) {
  const auto first = static_cast<std::size_t>(std::max(0.0, std::floor(stretch.begin)));
  const auto end = std::min(recording.values.size(),
                            static_cast<std::size_t>(std::max(0.0, std::ceil(stretch.end))));
  recordings::Recording part;
  part.file = recording.file;
  part.channel = recording.channel;
  part.units = recording.units;
  part.rate = recording.rate;
  part.gain = recording.gain;
  part.baseline = recording.baseline;
  part.values.assign(recording.values.begin() + static_cast<std::ptrdiff_t>(std::min(first, end)),
                     recording.values.begin() + static_cast<std::ptrdiff_t>(end));
  if (part.values.size() < 2) throw StretchTooLong("Отрезок слишком короток для окна анализа.");
  if (recordings::textLineCount(part) > recordings::kMaxTextLines) {
    throw StretchTooLong(
        "Окно анализа читает не более 10 000 000 отсчётов при 6000 в секунду (27 мин 46 с). "
        "Выберите отрезок короче, например кнопкой «5 мин».");
  }
  const QString stem =
      QStringLiteral("%1-%2")
          .arg(QFileInfo(QString::fromStdString(recording.file)).completeBaseName())
          .arg(static_cast<long long>(std::llround(stretch.begin / recording.rate.hertz())));
  const std::vector<std::filesystem::path> written = recordings::exportTextFiles(
      part, {}, false, std::filesystem::path(folder.toStdString()), stem.toStdString());
  return QString::fromStdString(written.front().string());
}

}  // namespace rrscope::ui
