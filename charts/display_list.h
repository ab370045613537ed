#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "charts/chart_surface.h"

namespace rrscope::charts {

// The recording surface: keeps every operation in the order it was issued,
// so that a drawing can be rasterized, exported or compared later. Cls drops
// what was recorded before it, as it blanks a real surface.
//
// Operations are packed into parallel arrays rather than one struct each: a
// full pulse chart issues almost four million of them.
class DisplayList final : public ChartSurface {
 public:
  enum class Op : std::uint8_t { Cls, DrawWidth, Line, CurrentX, CurrentY, Circle, Print };

  void Cls() override;
  void DrawWidth(int width) override;
  void Line(float x1, float y1, float x2, float y2, Colour colour) override;
  void CurrentX(float x) override;
  void CurrentY(float y) override;
  void Circle(float radius, Colour colour) override;
  void Print(std::string_view text) override;

  // Issues the recorded operations, in order, on another surface.
  void replay(ChartSurface& target) const;

  std::size_t size() const { return ops_.size(); }
  bool empty() const { return ops_.empty(); }
  const std::vector<Op>& ops() const { return ops_; }

  friend bool operator==(const DisplayList&, const DisplayList&) = default;

 private:
  std::vector<Op> ops_;
  std::vector<float> floats_;       // coordinates and radii, in order of issue
  std::vector<std::int32_t> ints_;  // widths and colours, in order of issue
  std::vector<std::string> texts_;  // printed texts, in order of issue
};

}  // namespace rrscope::charts
