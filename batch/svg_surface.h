#pragma once

#include <string>
#include <string_view>

#include "analysis/run_window.h"
#include "charts/chart_surface.h"
#include "charts/display_list.h"

namespace rrscope::batch {

// The drawing area of a picture box in twips, and how it prints.
struct SurfaceArea {
  float width;
  float height;
  std::string_view fontFamily;
  float fontSize;  // in twips
};

// The drawing area of each of the window's picture boxes: the outer size less
// the 2-pixel sunken border on every side.
SurfaceArea surfaceArea(analysis::Picture picture);

// A chart surface that writes an SVG document in twips, with the drawing
// area as its view box and clipped to it as the window clips. Line widths
// count in pixels of 15 twips. Operations that cannot touch the area are
// left out, so a full pulse chart stays small.
class SvgSurface final : public charts::ChartSurface {
 public:
  explicit SvgSurface(const SurfaceArea& area) : area_(area) {}

  void Cls() override { body_.clear(); }
  void DrawWidth(int width) override;
  void Line(float x1, float y1, float x2, float y2, charts::Colour colour) override;
  void CurrentX(float x) override { currentX_ = x; }
  void CurrentY(float y) override { currentY_ = y; }
  void Circle(float radius, charts::Colour colour) override;
  void Print(std::string_view text) override;

  // The whole document drawn so far.
  std::string document() const;

 private:
  bool touchesArea(float left, float top, float right, float bottom) const;
  float strokeWidth() const;

  SurfaceArea area_;
  std::string body_;
  int width_ = 1;
  float currentX_ = 0;
  float currentY_ = 0;
};

// The SVG document of one picture's display list.
std::string pictureSvg(const charts::DisplayList& list, analysis::Picture picture);

}  // namespace rrscope::batch
