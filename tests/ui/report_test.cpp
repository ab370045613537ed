#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <numbers>
#include <regex>

#include "ui/report/report_page.h"

namespace rrscope::report {
namespace {

// Ten minutes of intervals swinging with breathing, a few of them corrected.
ReportContent tenMinutes() {
  ReportContent content;
  content.file = "/data/rec.hea";
  content.channel = "MLII";
  content.rateHz = 360;
  content.durationSeconds = 600;
  content.sampleCount = 216'000;
  content.detector = "Pan–Tompkins";
  content.corrections = beats::CorrectionCounts{1, 0, 2, 0};
  double t = 0;
  while (t < 600) {
    const double nn = 800 + 50 * std::sin(2 * std::numbers::pi * t / 4.0) + 20 * std::sin(t / 40);
    t += nn / 1000;
    content.beatSeconds.push_back(t);
    content.nnMs.push_back(nn);
  }
  content.correctedIntervals = {10, 200, 400};
  content.detectedBeats = content.nnMs.size() + 1;
  content.measures = hrv::computeMeasures(content.nnMs);
  return content;
}

// Pixels that are not white inside a part of the page given in points.
int inkIn(const QImage& image, QRectF points, double scale) {
  const QRect pixels(QPointF(points.topLeft() * scale).toPoint(),
                     QPointF(points.bottomRight() * scale).toPoint());
  int ink = 0;
  for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
    for (int x = pixels.left(); x <= pixels.right(); ++x) {
      if (image.pixel(x, y) != qRgb(255, 255, 255)) ++ink;
    }
  }
  return ink;
}

TEST(Report, APageOfA4WithEveryChartDrawn) {
  const ReportContent content = tenMinutes();
  const QImage page = reportImage(content, 100);
  EXPECT_EQ(page.size(), QSize(827, 1169));  // 210 x 297 mm at 100 dots per inch
  EXPECT_EQ(page.dotsPerMeterX(), 3937);

  const QImage empty = reportImage(ReportContent{}, 100);
  const ReportLayout layout = reportLayout();
  const double scale = 100.0 / 72.0;
  for (const QRectF& area :
       {layout.tachogram, layout.histogram, layout.poincare, layout.spectrum}) {
    // Data adds far more ink than the message of a chart without any.
    EXPECT_GT(inkIn(page, area, scale), 2 * inkIn(empty, area, scale) + 500)
        << area.x() << "," << area.y();
  }
  // The table names every measure, with or without values.
  EXPECT_GT(inkIn(empty, layout.table, scale), 5000);
}

TEST(Report, ThePdfIsOneA4Page) {
  const QByteArray pdf = reportPdf(tenMinutes());
  ASSERT_TRUE(pdf.startsWith("%PDF-"));
  const std::string text = pdf.toStdString();
  const std::regex page(R"(/Type\s*/Page\b)");
  EXPECT_EQ(
      std::distance(std::sregex_iterator(text.begin(), text.end(), page), std::sregex_iterator()),
      1);
  std::smatch box;
  ASSERT_TRUE(std::regex_search(text, box, std::regex(R"(/MediaBox\s*\[0 0 ([\d.]+) ([\d.]+)\])")));
  EXPECT_NEAR(std::stod(box[1]), kPageWidth, 1.0);
  EXPECT_NEAR(std::stod(box[2]), kPageHeight, 1.0);
}

}  // namespace
}  // namespace rrscope::report
