#include "ui/raster_surface.h"

#include <QString>
#include <algorithm>
#include <cmath>
#include <optional>

#include "ui/control_table.h"

namespace rrscope::ui {
namespace {

double pixels(float twips) {
  return static_cast<double>(twips) / kTwipsPerPixel;
}

// Cuts the segment to `rect` (Liang-Barsky). Returns false when no part of it
// lies inside; the painter then never sees coordinates far beyond the image.
// A cut end is computed from the edge it lies on rather than as start + t *
// delta, which would lose every digit for ends near 1e30.
bool clipSegment(QPointF& a, QPointF& b, const QRectF& rect) {
  enum class Edge { none, left, right, top, bottom };
  const double dx = b.x() - a.x();
  const double dy = b.y() - a.y();
  double enter = 0;
  double leave = 1;
  Edge enterEdge = Edge::none;
  Edge leaveEdge = Edge::none;
  const auto cut = [&](double p, double q, Edge edge) {
    if (p == 0) return q >= 0;
    const double t = q / p;
    if (p < 0) {
      if (t > leave) return false;
      if (t > enter) {
        enter = t;
        enterEdge = edge;
      }
    } else {
      if (t < enter) return false;
      if (t < leave) {
        leave = t;
        leaveEdge = edge;
      }
    }
    return true;
  };
  if (!cut(-dx, a.x() - rect.left(), Edge::left) || !cut(dx, rect.right() - a.x(), Edge::right) ||
      !cut(-dy, a.y() - rect.top(), Edge::top) || !cut(dy, rect.bottom() - a.y(), Edge::bottom)) {
    return false;
  }
  const QPointF start = a;
  const auto pointOn = [&](Edge edge, const QPointF& end) {
    switch (edge) {
      case Edge::none:
        return end;
      case Edge::left:
      case Edge::right: {
        const double x = edge == Edge::left ? rect.left() : rect.right();
        return QPointF(x, start.y() + (x - start.x()) * (dy / dx));
      }
      case Edge::top:
      case Edge::bottom: {
        const double y = edge == Edge::top ? rect.top() : rect.bottom();
        return QPointF(start.x() + (y - start.y()) * (dx / dy), y);
      }
    }
    return end;
  };
  a = pointOn(enterEdge, start);
  b = pointOn(leaveEdge, b);
  return true;
}

}  // namespace

QColor colourFromValue(charts::Colour value) {
  return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

RasterSurface::RasterSurface(QImage& image, const SurfaceLook& look)
    : image_(image),
      painter_(&image),
      look_(look),
      area_(0, 0, image.width() / image.devicePixelRatio(),
            image.height() / image.devicePixelRatio()),
      ratio_(image.devicePixelRatio()),
      dotStamps_(static_cast<std::size_t>(image.width()) * image.height(), 0) {
  // Without antialiasing a shape painted twice in one colour looks as if
  // painted once, which is what lets repeated dots be skipped.
  painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.setFont(look_.font);
  painter_.setBrush(Qt::NoBrush);
}

void RasterSurface::Cls() {
  painter_.setCompositionMode(QPainter::CompositionMode_Source);
  painter_.fillRect(area_, look_.background);
  painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
  forgetDots();
}

void RasterSurface::DrawWidth(int width) {
  width_ = std::max(width, 1);
}

void RasterSurface::usePen(charts::Colour colour) {
  QPen pen(colourFromValue(colour));
  pen.setWidthF(width_);
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  painter_.setPen(pen);
}

void RasterSurface::Line(float x1, float y1, float x2, float y2, charts::Colour colour) {
  if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) {
    return;
  }
  const double margin = width_ / 2.0 + 1;
  QPointF a(pixels(x1), pixels(y1));
  QPointF b(pixels(x2), pixels(y2));
  if (!clipSegment(a, b, area_.adjusted(-margin, -margin, margin, margin))) return;
  usePen(colour);
  painter_.drawLine(a, b);
  ++painted_;
  forgetDots();
}

std::optional<QPoint> RasterSurface::devicePixel(double x, double y) const {
  const double deviceX = std::floor(x * ratio_);
  const double deviceY = std::floor(y * ratio_);
  if (!(deviceX >= 0 && deviceY >= 0 && deviceX < image_.width() && deviceY < image_.height())) {
    return std::nullopt;
  }
  return QPoint(static_cast<int>(deviceX), static_cast<int>(deviceY));
}

bool RasterSurface::alreadyDotted(QPoint pixel, const DotStyle& style) {
  if (!(style == dotStyle_)) {
    forgetDots();
    dotStyle_ = style;
  }
  std::uint32_t& stamp = dotStamps_[static_cast<std::size_t>(pixel.y()) * image_.width() +
                                    static_cast<std::size_t>(pixel.x())];
  if (stamp == dotGeneration_) return true;
  stamp = dotGeneration_;
  return false;
}

void RasterSurface::Circle(float radius, charts::Colour colour) {
  const double x = pixels(currentX_);
  const double y = pixels(currentY_);
  const double r = std::abs(pixels(radius));
  const double reach = r + width_ / 2.0 + 1;
  // The outline touches the image only if its bounding box does and the
  // image does not lie wholly inside the empty middle of the circle.
  if (!(x + reach >= area_.left() && x - reach <= area_.right() && y + reach >= area_.top() &&
        y - reach <= area_.bottom())) {
    return;
  }
  const double farX = std::max(std::abs(x - area_.left()), std::abs(x - area_.right()));
  const double farY = std::max(std::abs(y - area_.top()), std::abs(y - area_.bottom()));
  if (std::hypot(farX, farY) < r - width_ / 2.0 - 1) return;

  QPointF centre(x, y);
  if (const std::optional<QPoint> pixel = devicePixel(x, y)) {
    if (alreadyDotted(*pixel, DotStyle{radius, colour, width_})) return;
    // Centred on the middle of its device pixel, a dot covers exactly what
    // any later dot of the same style in that pixel would, so those can go.
    centre = QPointF((pixel->x() + 0.5) / ratio_, (pixel->y() + 0.5) / ratio_);
  }
  usePen(colour);
  if (r * ratio_ < 0.5) {
    // A circle smaller than a device pixel is a dot as wide as the pen.
    painter_.drawPoint(centre);
  } else {
    painter_.drawEllipse(centre, r, r);
  }
  ++painted_;
}

void RasterSurface::Print(std::string_view text) {
  const QString string = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  const QFontMetricsF metrics(look_.font, &image_);
  const double x = pixels(currentX_);
  const double y = pixels(currentY_);
  const QRectF box(x, y, metrics.horizontalAdvance(string), metrics.height());
  if (!box.intersects(area_)) return;
  painter_.setPen(look_.textColour);
  painter_.drawText(QPointF(x, y + metrics.ascent()), string);
  ++painted_;
  forgetDots();
}

QImage rasterize(const charts::DisplayList& list, QSize logicalSize, qreal devicePixelRatio,
                 const SurfaceLook& look) {
  QImage image(logicalSize * devicePixelRatio, QImage::Format_RGB32);
  image.setDevicePixelRatio(devicePixelRatio);
  image.fill(look.background);
  {
    RasterSurface surface(image, look);
    list.replay(surface);
  }
  return image;
}

}  // namespace rrscope::ui
