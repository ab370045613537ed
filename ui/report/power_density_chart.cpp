#include <algorithm>

#include "ui/report/plot_frame.h"
#include "ui/report/report_charts.h"

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

}  // namespace

void drawSpectrum(QPainter& painter, QRectF area, const ReportContent& content) {
  const QString title = QStringLiteral("Спектр NN (метод Уэлча), полосы VLF, LF, HF");
  const auto& spectrum = content.measures.spectrum;
  if (spectrum.frequenciesHz.empty()) {
    drawEmptyChart(painter, area, title, QStringLiteral("запись короче, чем нужно для спектра"));
    return;
  }
  double highest = 0;
  for (std::size_t i = 0; i < spectrum.frequenciesHz.size(); ++i) {
    if (spectrum.frequenciesHz[i] <= kHighestHz) {
      highest = std::max(highest, spectrum.densitiesMs2PerHz[i]);
    }
  }
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
  QPolygonF line;
  for (std::size_t i = 0; i < spectrum.frequenciesHz.size(); ++i) {
    if (spectrum.frequenciesHz[i] > kHighestHz) break;
    line << frame.at(spectrum.frequenciesHz[i], spectrum.densitiesMs2PerHz[i]);
  }
  painter.setPen(QPen(QColor(20, 70, 160), 0.9));
  painter.drawPolyline(line);
  painter.restore();
}

}  // namespace rrscope::report
