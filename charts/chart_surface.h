#pragma once

#include <cstdint>
#include <string_view>

namespace rrscope::charts {

// A 24-bit colour stored as blue * 65536 + green * 256 + red.
using Colour = std::int32_t;
inline constexpr Colour kRed = 255;
inline constexpr Colour kBlue = 16711680;

// What a chart stage can do to one of the window's picture boxes. Positions
// are twips of the drawing area, (0, 0) at its top-left corner, y downwards;
// drawing outside the area is clipped, never clamped or reported.
class ChartSurface {
 public:
  virtual ~ChartSurface() = default;

  // Clears the whole surface to its background.
  virtual void Cls() = 0;
  // Width in pixels of the lines and circles drawn afterwards.
  virtual void DrawWidth(int width) = 0;
  virtual void Line(float x1, float y1, float x2, float y2, Colour colour) = 0;
  virtual void CurrentX(float x) = 0;
  virtual void CurrentY(float y) = 0;
  // The outline of a circle centred on the current position.
  virtual void Circle(float radius, Colour colour) = 0;
  // A text with its top-left corner at the current position.
  virtual void Print(std::string_view text) = 0;
};

}  // namespace rrscope::charts
