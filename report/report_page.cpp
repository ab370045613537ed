#include "report/report_page.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPageSize>
#include <QPdfWriter>
#include <cmath>
#include <stdexcept>

#include "report/plot_frame.h"
#include "report/report_charts.h"
#include "report/report_header.h"

namespace rrscope::report {
namespace {

constexpr double kMargin = 34;
constexpr double kPointsPerInch = 72;
constexpr double kInchesPerMeter = 1 / 0.0254;

}  // namespace

ReportLayout reportLayout(bool withStrips) {
  const double left = kMargin;
  const double right = kPageWidth - kMargin;
  const double bottom = kPageHeight - kMargin;
  const double width = right - left;
  const double columnGap = 22;
  const double chartGap = 10;
  const double leftWidth = width * 0.58;
  const double rightLeft = left + leftWidth + columnGap;
  ReportLayout layout;
  layout.header = QRectF(left, kMargin, width, 112);
  layout.tachogram = QRectF(left, 152, width, 130);
  double top = layout.tachogram.bottom() + chartGap;
  if (withStrips) {
    layout.strips = QRectF(left, top, width, 72);
    top = layout.strips.bottom() + chartGap;
  }
  const double half = (leftWidth - chartGap) / 2;
  layout.histogram = QRectF(left, top, half, 150);
  layout.poincare = QRectF(left + half + chartGap, top, half, 150);
  layout.spectrum = QRectF(left, layout.histogram.bottom() + chartGap, leftWidth, 140);
  const double dfaTop = layout.spectrum.bottom() + chartGap;
  layout.dfa = QRectF(left, dfaTop, leftWidth, bottom - dfaTop);
  layout.table = QRectF(rightLeft, top, right - rightLeft, bottom - top);
  return layout;
}

void paintReport(QPainter& painter, const ReportContent& content) {
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  const bool strips = !content.alpha1Strip.empty() || !content.rmssdStrip.empty();
  const ReportLayout layout = reportLayout(strips);
  drawReportHeader(painter, layout.header, content);
  drawTachogram(painter, layout.tachogram, content);
  if (strips) drawWindowStrips(painter, layout.strips, content);
  drawHistogram(painter, layout.histogram, content);
  drawPoincare(painter, layout.poincare, content);
  drawSpectrum(painter, layout.spectrum, content);
  drawDfa(painter, layout.dfa, content);
  drawMeasureTable(painter, layout.table, content);
}

QByteArray reportPdf(const ReportContent& content) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    // One device unit per point, so that fonts and lines keep their sizes.
    writer.setResolution(static_cast<int>(kPointsPerInch));
    writer.setTitle(QStringLiteral("Анализ вариабельности сердечного ритма: ") +
                    QFileInfo(QString::fromStdString(content.file)).fileName());
    writer.setCreator(QStringLiteral("RRscope"));
    QPainter painter(&writer);
    if (!painter.isActive()) throw std::runtime_error("cannot start the PDF page");
    paintReport(painter, content);
  }
  return bytes;
}

QImage reportImage(const ReportContent& content, int dotsPerInch) {
  const double scale = dotsPerInch / kPointsPerInch;
  QImage image(static_cast<int>(std::lround(kPageWidth * scale)),
               static_cast<int>(std::lround(kPageHeight * scale)), QImage::Format_RGB32);
  image.fill(Qt::white);
  // Painted at 72 dots per inch and scaled, so that point sizes of fonts
  // mean the same as on the PDF page.
  const int pointsPerMeter = static_cast<int>(std::lround(kPointsPerInch * kInchesPerMeter));
  image.setDotsPerMeterX(pointsPerMeter);
  image.setDotsPerMeterY(pointsPerMeter);
  {
    QPainter painter(&image);
    painter.scale(scale, scale);
    paintReport(painter, content);
  }
  const int dotsPerMeter = static_cast<int>(std::lround(dotsPerInch * kInchesPerMeter));
  image.setDotsPerMeterX(dotsPerMeter);
  image.setDotsPerMeterY(dotsPerMeter);
  return image;
}

QByteArray pngBytes(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) throw std::runtime_error("cannot encode the report as PNG");
  return bytes;
}

}  // namespace rrscope::report
