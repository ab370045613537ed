#include <algorithm>

#include "report/plot_frame.h"
#include "report/report_charts.h"

namespace rrscope::report {
namespace {

constexpr double kHighestHz = 0.5;

struct BandLook {
  const char* name;
  QColor fill;
};

// VLF, LF and HF in the order of hrv::kBands.
const BandLook kBandLooks[] = {
    {"VLF", QColor(225, 225, 240)}, {"LF", QColor(205, 230, 205)}, {"HF", QColor(250, 225, 200)}};

double highestDensity(const hrv::Spectrum& spectrum) {
  double highest = 0;
  for (std::size_t i = 0; i < spectrum.frequenciesHz.size(); ++i) {
    if (spectrum.frequenciesHz[i] <= kHighestHz) {
      highest = std::max(highest, spectrum.densitiesMs2PerHz[i]);
    }
  }
  return highest;
}

QPolygonF spectrumLine(const PlotFrame& frame, const hrv::Spectrum& spectrum) {
  QPolygonF line;
  for (std::size_t i = 0; i < spectrum.frequenciesHz.size(); ++i) {
    if (spectrum.frequenciesHz[i] > kHighestHz) break;
    line << frame.at(spectrum.frequenciesHz[i],
                     std::min(spectrum.densitiesMs2PerHz[i], frame.y().high));
  }
  return line;
}

const QColor kWelchColour(20, 70, 160);
const QColor kArColour(200, 60, 40);

}  // namespace

void drawSpectrum(QPainter& painter, QRectF area, const ReportContent& content) {
  const QString title = QStringLiteral("Спектр NN: Уэлч и АР-модель (Бёрг, порядок 16)");
  const auto& spectrum = content.measures.spectrum;
  const auto& ar = content.measures.arSpectrum;
  if (spectrum.frequenciesHz.empty()) {
    drawEmptyChart(painter, area, title, QStringLiteral("запись короче, чем нужно для спектра"));
    return;
  }
  // A sharp AR peak may rise far above Welch's; the scale takes the higher.
  const double highest = std::max(highestDensity(spectrum), highestDensity(ar));
  const PlotFrame frame(area, {0, kHighestHz}, roundedOut({0, highest * 1.1}, 5));
  frame.drawAxes(painter, title, QStringLiteral("частота, Гц"), QStringLiteral("СПМ, мс²/Гц"));

  painter.save();
  painter.setClipRect(frame.plot());
  painter.setFont(reportFont(6.5, true));
  for (std::size_t b = 0; b < hrv::kBands.size(); ++b) {
    const hrv::Band& band = hrv::kBands[b];
    const QRectF shade(QPointF(frame.xAt(band.loHz), frame.plot().top()),
                       QPointF(frame.xAt(band.hiHz), frame.plot().bottom()));
    painter.fillRect(shade, kBandLooks[b].fill);
    painter.setPen(QColor(90, 90, 90));
    painter.drawText(shade.adjusted(0, 2, 0, 0), Qt::AlignHCenter | Qt::AlignTop,
                     QString::fromLatin1(kBandLooks[b].name));
  }
  painter.setPen(QPen(kWelchColour, 0.9));
  painter.drawPolyline(spectrumLine(frame, spectrum));
  if (!ar.frequenciesHz.empty()) {
    painter.setPen(QPen(kArColour, 0.9));
    painter.drawPolyline(spectrumLine(frame, ar));
  }
  painter.setFont(reportFont(6.5, true));
  const QRectF legend = frame.plot().adjusted(0, 12, -4, 0);
  painter.setPen(kWelchColour);
  painter.drawText(legend, Qt::AlignRight | Qt::AlignTop, QStringLiteral("Уэлч"));
  painter.setPen(kArColour);
  painter.drawText(legend.adjusted(0, 9, 0, 0), Qt::AlignRight | Qt::AlignTop,
                   QStringLiteral("АР"));
  painter.restore();
}

}  // namespace rrscope::report
