#pragma once

#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QRectF>

#include "report/report_content.h"

namespace rrscope::report {

// An A4 page in points (1/72 inch), the unit the report is drawn in.
inline constexpr double kPageWidth = 595.28;
inline constexpr double kPageHeight = 841.89;

// Where each part of the report goes on the page, in points.
struct ReportLayout {
  QRectF header;
  QRectF tachogram;
  QRectF strips;  // empty without the strips of a long recording
  QRectF histogram;
  QRectF poincare;
  QRectF spectrum;
  QRectF dfa;
  QRectF table;
};

// With the strips of alpha1 and RMSSD over time below the tachogram, or
// without them.
ReportLayout reportLayout(bool withStrips = false);

// Draws the whole report on a painter whose unit is the point.
void paintReport(QPainter& painter, const ReportContent& content);

// The report as a one-page A4 PDF file.
QByteArray reportPdf(const ReportContent& content);

// The report as an A4 image at `dotsPerInch`, white behind the drawing.
QImage reportImage(const ReportContent& content, int dotsPerInch);

// The image as the bytes of a PNG file.
QByteArray pngBytes(const QImage& image);

}  // namespace rrscope::report
