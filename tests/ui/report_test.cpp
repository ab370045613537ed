#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <functional>
#include <numbers>
#include <regex>

#include "report/report_page.h"
#include "report/window_strips.h"

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

// Pixels of a colour that `counts` inside a part of a page drawn at 100
// dots per inch, the part given in points.
int pixelsIn(const QImage& image, QRectF points, const std::function<bool(const QColor&)>& counts) {
  const double scale = 100.0 / 72.0;
  const QRect pixels(QPointF(points.topLeft() * scale).toPoint(),
                     QPointF(points.bottomRight() * scale).toPoint());
  int count = 0;
  for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
    for (int x = pixels.left(); x <= pixels.right(); ++x) count += counts(image.pixelColor(x, y));
  }
  return count;
}

// Pixels that are not white.
int inkIn(const QImage& image, QRectF points) {
  return pixelsIn(image, points, [](const QColor& c) { return c != Qt::white; });
}

TEST(Report, APageOfA4WithEveryChartDrawn) {
  const ReportContent content = tenMinutes();
  const QImage page = reportImage(content, 100);
  EXPECT_EQ(page.size(), QSize(827, 1169));  // 210 x 297 mm at 100 dots per inch
  EXPECT_EQ(page.dotsPerMeterX(), 3937);

  const QImage empty = reportImage(ReportContent{}, 100);
  const ReportLayout layout = reportLayout();
  for (const QRectF& area :
       {layout.tachogram, layout.histogram, layout.poincare, layout.spectrum, layout.dfa}) {
    // Data adds far more ink than the message of a chart without any.
    EXPECT_GT(inkIn(page, area), 2 * inkIn(empty, area) + 500) << area.x() << "," << area.y();
  }
  // The table names every measure, with or without values.
  EXPECT_GT(inkIn(empty, layout.table), 5000);
}

// A series of ten minutes or more gets the strips of alpha1 and RMSSD over
// time under its tachogram; the charts below make room for them.
TEST(Report, ALongSeriesGetsItsAlpha1AndRmssdOverTime) {
  ReportContent content = tenMinutes();
  std::vector<double> endsMs;
  double endMs = 0;
  for (const double nn : content.nnMs) endsMs.push_back(endMs += nn);
  addWindowStrips(content, content.nnMs, endsMs, endMs);
  // Windows every 30 s that end by the end of the series.
  ASSERT_EQ(content.alpha1Strip.size(), 17u);  // ending at 120, 150, ..., 600 s
  ASSERT_EQ(content.rmssdStrip.size(), 11u);   // ending at 300, 330, ..., 600 s
  EXPECT_EQ(content.alpha1Strip.front().seconds, 120);
  EXPECT_TRUE(content.alpha1Strip.front().value.has_value());
  EXPECT_EQ(content.rmssdStrip.back().seconds, 600);

  const ReportLayout withStrips = reportLayout(true);
  EXPECT_GT(withStrips.histogram.top(), withStrips.strips.bottom());
  // The same strips without values: the frames without the lines.
  ReportContent blank = content;
  for (auto* strip : {&blank.alpha1Strip, &blank.rmssdStrip}) {
    for (auto& point : *strip) point.value.reset();
  }
  EXPECT_GT(inkIn(reportImage(content, 100), withStrips.strips),
            inkIn(reportImage(blank, 100), withStrips.strips) + 300);

  ReportContent shorter = tenMinutes();
  addWindowStrips(shorter, shorter.nnMs, std::span(endsMs).first(shorter.nnMs.size() / 2),
                  endsMs[shorter.nnMs.size() / 2 - 1]);
  EXPECT_TRUE(shorter.alpha1Strip.empty());
}

// Classed beats add a line of their counts and burden to the header.
TEST(Report, TheHeaderCountsTheClassesOfClassedBeats) {
  const ReportContent plain = tenMinutes();
  ReportContent classed = plain;
  std::vector<beats::BeatClass> classes(plain.nnMs.size() + 1, beats::BeatClass::N);
  classes[100] = classes[101] = beats::BeatClass::V;
  classed.classes = summariseClasses(classes);
  const QRectF header = reportLayout().header;
  EXPECT_GT(inkIn(reportImage(classed, 100), header), inkIn(reportImage(plain, 100), header) + 300);
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

// The purple of intervals beyond the scale, and the line's blue.
bool purple(const QColor& c) {
  return c.red() > 80 && c.blue() > 120 && c.green() < 110;
}
bool blue(const QColor& c) {
  return c.blue() > c.red() + 60 && c.green() < 160 && !purple(c);
}

// The tachogram of a stretch from 25 min on spans that stretch: its line
// fills the first fifth of the plot as well as the last; an interval
// beyond the scale is marked at its edge.
TEST(Report, TheTachogramSpansItsStretchAndMarksWhatItsScaleCuts) {
  ReportContent late = tenMinutes();
  for (double& t : late.beatSeconds) t += 1500;
  late.startSeconds = 1500;
  const QRectF area = reportLayout().tachogram;
  const QRectF first(area.left() + 0.12 * area.width(), area.top() + 20, 0.15 * area.width(),
                     area.height() - 40);
  const QRectF last = first.translated(0.65 * area.width(), 0);
  const QImage page = reportImage(late, 100);
  EXPECT_GT(pixelsIn(page, first, blue), pixelsIn(page, last, blue) / 2);
  // A stray pixel where a red mark meets the blue line is no triangle.
  EXPECT_LT(pixelsIn(page, area, purple), 5);

  late.nnMs[300] = 4000;
  EXPECT_GT(pixelsIn(reportImage(late, 100), area, purple), 20);
}

}  // namespace
}  // namespace rrscope::report
