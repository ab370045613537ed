#include "ui/raster_surface.h"

#include <gtest/gtest.h>

#include <cmath>

namespace rrscope::ui {
namespace {

// Fonts exist only once the application does, so the look is made late.
const SurfaceLook& look() {
  static const SurfaceLook look{QFont(), Qt::black, QColor(240, 240, 240)};
  return look;
}
const QSize kArea(245, 253);  // Picture1's drawing area

// Every operation handed straight to a painter, as a surface would without
// culling or skipping repeated dots: the image the rasterizer must match.
// Circles centred on the image go to the middle of their device pixel.
class PlainPainter final : public charts::ChartSurface {
 public:
  explicit PlainPainter(QImage& image) : painter_(&image), ratio_(image.devicePixelRatio()) {}
  void Cls() override { painter_.fillRect(QRectF(0, 0, 1e4, 1e4), look().background); }
  void DrawWidth(int width) override { width_ = width; }
  void Line(float x1, float y1, float x2, float y2, charts::Colour colour) override {
    painter_.setPen(pen(colour));
    painter_.drawLine(QPointF(x1 / 15.0, y1 / 15.0), QPointF(x2 / 15.0, y2 / 15.0));
  }
  void CurrentX(float x) override { x_ = x / 15.0; }
  void CurrentY(float y) override { y_ = y / 15.0; }
  void Circle(float radius, charts::Colour colour) override {
    painter_.setPen(pen(colour));
    const double r = radius / 15.0;
    QPointF centre(x_, y_);
    const QPointF device = centre * ratio_;
    if (device.x() >= 0 && device.y() >= 0 && device.x() < kArea.width() * ratio_ &&
        device.y() < kArea.height() * ratio_) {
      centre = QPointF(std::floor(device.x()) + 0.5, std::floor(device.y()) + 0.5) / ratio_;
    }
    if (r * ratio_ < 0.5) {
      painter_.drawPoint(centre);
    } else {
      painter_.drawEllipse(centre, r, r);
    }
  }
  void Print(std::string_view) override {}

 private:
  QPen pen(charts::Colour colour) const {
    QPen pen(colourFromValue(colour));
    pen.setWidthF(width_);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
  }
  QPainter painter_;
  qreal ratio_;
  int width_ = 1;
  double x_ = 0;
  double y_ = 0;
};

QImage plainImage(const charts::DisplayList& list, qreal ratio) {
  QImage image(kArea * ratio, QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  image.fill(look().background);
  {
    PlainPainter painter(image);
    list.replay(painter);
  }
  return image;
}

void dot(charts::DisplayList& list, double x, double y, float radius, charts::Colour colour,
         int width = 2) {
  list.DrawWidth(width);
  list.CurrentX(static_cast<float>(x));
  list.CurrentY(static_cast<float>(y));
  list.Circle(radius, colour);
}

TEST(RasterSurface, SkippingDrawsTheSameImageAsPaintingEverything) {
  charts::DisplayList list;
  list.Cls();
  list.DrawWidth(2);
  list.Line(0, 0, 0, 3735, charts::kRed);
  list.Line(0, 3795, 3735, 3795, charts::kRed);      // runs past the right edge
  list.Line(-500, -500, -100, 4000, charts::kBlue);  // wholly left of the area
  list.Line(-500, 2000, 1000, 2000, charts::kBlue);  // enters from the left
  for (int k = 1; k <= 40; ++k) dot(list, 10, 3795 - 240.0 * k, 20, charts::kBlue);  // most above
  // A circle far outside whose outline crosses the area, one whose hole
  // holds the whole area, and thick outlines just beyond each edge.
  dot(list, -5000, 1800, 5200, charts::kRed);
  dot(list, 1800, 1800, 60000, charts::kBlue, 3);
  dot(list, -100, 1000, 20, charts::kRed, 5);
  dot(list, 3700, 1000, 20, charts::kRed, 5);
  dot(list, 1000, 3830, 20, charts::kRed, 5);
  // A pulse chart squeezed onto x = 0, then spread out: thousands of
  // repeated dots, interleaved with a line that must stay on top of the
  // dots drawn before it and under those drawn after.
  for (int i = 1; i < 40000; i += 11)
    dot(list, 0, 1730 + 500 * std::sin(i * 0.01), 2, charts::kRed);
  list.Line(0, 1730, 3675, 1730, charts::kBlue);
  for (int i = 1; i < 40000; i += 11)
    dot(list, i * 0.05, 1730 + 500 * std::sin(i * 0.01), 2, charts::kRed);
  for (int i = 1; i < 40000; i += 11)
    dot(list, 0, 1730 + 500 * std::sin(i * 0.01), 2, charts::kBlue);

  for (const qreal ratio : {1.0, 2.0}) {
    EXPECT_EQ(rasterize(list, kArea, ratio, look()), plainImage(list, ratio)) << ratio;
  }
}

TEST(RasterSurface, RepeatedAndOutsideDotsNeverReachThePainter) {
  QImage image(kArea, QImage::Format_RGB32);
  RasterSurface surface(image, look());
  surface.DrawWidth(2);
  for (int i = 0; i < 10000; ++i) {
    surface.CurrentX(0);
    surface.CurrentY(static_cast<float>(1730 + (i % 7)));  // one device pixel
    surface.Circle(2, charts::kRed);
    surface.CurrentX(static_cast<float>(4000 + i));  // right of the area
    surface.Circle(2, charts::kRed);
  }
  EXPECT_EQ(surface.paintedCount(), 1);
  surface.CurrentX(0);
  surface.Circle(2, charts::kBlue);  // another colour is another dot
  EXPECT_EQ(surface.paintedCount(), 2);
}

TEST(RasterSurface, UnpacksColoursAndClipsFarCoordinates) {
  charts::DisplayList list;
  list.DrawWidth(1);
  list.Line(-1e30f, 750, 1e30f, 750, charts::kBlue);  // row 50
  list.Line(1500, -3e38f, 1500, 3e38f, 65280);        // column 100, green
  list.Line(0, 1500, 3000, 1500, 255 + 128 * 256 + 64 * 65536);
  list.Line(NAN, 0, 100, 100, charts::kRed);
  const QImage image = rasterize(list, kArea, 1, look());
  EXPECT_EQ(image.pixel(0, 50), qRgb(0, 0, 255));
  EXPECT_EQ(image.pixel(244, 50), qRgb(0, 0, 255));
  EXPECT_EQ(image.pixel(100, 0), qRgb(0, 255, 0));
  EXPECT_EQ(image.pixel(100, 252), qRgb(0, 255, 0));
  EXPECT_EQ(image.pixel(50, 100), qRgb(255, 128, 64));
  EXPECT_EQ(image.pixel(10, 10), look().background.rgb());
}

TEST(RasterSurface, PrintsWithTheTopLeftAtTheCurrentPosition) {
  charts::DisplayList list;
  list.CurrentX(300);  // 20 pixels
  list.CurrentY(600);  // 40 pixels
  list.Print("88");
  const QImage image = rasterize(list, kArea, 1, look());
  QRect inked;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) != look().background.rgb()) inked |= QRect(x, y, 1, 1);
    }
  }
  EXPECT_GE(inked.left(), 20);
  EXPECT_LE(inked.left(), 23);
  EXPECT_GE(inked.top(), 40);
  EXPECT_LE(inked.bottom(), 40 + QFontMetrics(look().font).height());
}

}  // namespace
}  // namespace rrscope::ui
