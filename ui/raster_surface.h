#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "charts/chart_surface.h"
#include "charts/display_list.h"

namespace rrscope::ui {

// How a chart surface looks where nothing is drawn and how it prints.
struct SurfaceLook {
  QFont font;
  QColor textColour;
  QColor background;
};

// A chart surface that paints onto an image of the drawing area. Positions
// arrive in twips and become logical pixels (15 twips each); the image may
// have a device pixel ratio above 1. Operations that cannot touch the image
// are skipped before they reach the painter. Circles are centred on the
// middle of the device pixel their centre falls in, and one that repeats a
// circle already drawn there in the same style is skipped too, which keeps a
// chart of close to a million dots quick.
class RasterSurface final : public charts::ChartSurface {
 public:
  RasterSurface(QImage& image, const SurfaceLook& look);

  void Cls() override;
  void DrawWidth(int width) override;
  void Line(float x1, float y1, float x2, float y2, charts::Colour colour) override;
  void CurrentX(float x) override { currentX_ = x; }
  void CurrentY(float y) override { currentY_ = y; }
  void Circle(float radius, charts::Colour colour) override;
  void Print(std::string_view text) override;

  // Operations that reached the painter; the rest were culled or repeated.
  std::int64_t paintedCount() const { return painted_; }

 private:
  struct DotStyle {
    float radius = -1;
    charts::Colour colour = 0;
    int width = 0;
    friend bool operator==(const DotStyle&, const DotStyle&) = default;
  };

  void usePen(charts::Colour colour);
  std::optional<QPoint> devicePixel(double x, double y) const;
  bool alreadyDotted(QPoint pixel, const DotStyle& style);
  void forgetDots() { ++dotGeneration_; }

  QImage& image_;
  QPainter painter_;
  SurfaceLook look_;
  QRectF area_;  // the image in logical pixels
  qreal ratio_;
  int width_ = 1;
  float currentX_ = 0;
  float currentY_ = 0;
  std::int64_t painted_ = 0;

  // One stamp per device pixel: the generation in which a dot of dotStyle_
  // was centred there. A new generation forgets them all at once.
  std::vector<std::uint32_t> dotStamps_;
  std::uint32_t dotGeneration_ = 1;
  DotStyle dotStyle_;
};

// Unpacks blue * 65536 + green * 256 + red.
QColor colourFromValue(charts::Colour value);

// Renders a display list onto a fresh image of the drawing area
// (`logicalSize` in logical pixels) at the given device pixel ratio.
QImage rasterize(const charts::DisplayList& list, QSize logicalSize, qreal devicePixelRatio,
                 const SurfaceLook& look);

}  // namespace rrscope::ui
