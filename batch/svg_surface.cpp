#include "batch/svg_surface.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace rrscope::batch {
namespace {

constexpr float kTwipsPerPixel = 15;
constexpr std::string_view kBackground = "#f0f0f0";  // the standard face colour
constexpr std::string_view kTextColour = "#000000";
constexpr std::string_view kSerif = "'Times New Roman', 'Liberation Serif', serif";
constexpr std::string_view kSans = "sans-serif";
constexpr float kSerifSize = 165;  // 8.25 pt
constexpr float kSansSize = 180;   // 9 pt, the usual desktop default

void appendNumber(std::string& out, float value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

void appendAttribute(std::string& out, std::string_view name, float value) {
  out += ' ';
  out += name;
  out += "=\"";
  appendNumber(out, value);
  out += '"';
}

// Colours are stored as blue * 65536 + green * 256 + red.
std::string colourText(charts::Colour colour) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", colour & 0xFF, (colour >> 8) & 0xFF,
                (colour >> 16) & 0xFF);
  return buffer;
}

// Escapes the characters that XML reserves and drops those it forbids.
void appendXmlText(std::string& out, std::string_view text) {
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      default:
        if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') out += c;
    }
  }
}

bool finite(std::initializer_list<float> values) {
  return std::all_of(values.begin(), values.end(), [](float v) { return std::isfinite(v); });
}

}  // namespace

SurfaceArea surfaceArea(analysis::Picture picture) {
  switch (picture) {
    case analysis::Picture::Picture1:
      return {3675, 3795, kSans, kSansSize};
    case analysis::Picture::Picture2:
      return {3555, 3795, kSerif, kSerifSize};
    case analysis::Picture::Picture3:
      return {3795, 3675, kSans, kSansSize};
    case analysis::Picture::Picture4:
      return {3555, 3675, kSerif, kSerifSize};
    case analysis::Picture::Picture5:
      return {3675, 3795, kSans, kSansSize};
  }
  return {0, 0, kSans, kSansSize};
}

void SvgSurface::DrawWidth(int width) {
  width_ = std::max(width, 1);
}

float SvgSurface::strokeWidth() const {
  return static_cast<float>(width_) * kTwipsPerPixel;
}

bool SvgSurface::touchesArea(float left, float top, float right, float bottom) const {
  return right >= 0 && bottom >= 0 && left <= area_.width && top <= area_.height;
}

void SvgSurface::Line(float x1, float y1, float x2, float y2, charts::Colour colour) {
  if (!finite({x1, y1, x2, y2})) return;
  const float half = strokeWidth() / 2;
  if (!touchesArea(std::min(x1, x2) - half, std::min(y1, y2) - half, std::max(x1, x2) + half,
                   std::max(y1, y2) + half)) {
    return;
  }
  body_ += "<line";
  appendAttribute(body_, "x1", x1);
  appendAttribute(body_, "y1", y1);
  appendAttribute(body_, "x2", x2);
  appendAttribute(body_, "y2", y2);
  body_ += " stroke=\"" + colourText(colour) + "\"";
  appendAttribute(body_, "stroke-width", strokeWidth());
  body_ += "/>\n";
}

void SvgSurface::Circle(float radius, charts::Colour colour) {
  const float x = currentX_;
  const float y = currentY_;
  const float r = std::abs(radius);
  if (!finite({x, y, r})) return;
  const float half = strokeWidth() / 2;
  const float reach = r + half;
  if (!touchesArea(x - reach, y - reach, x + reach, y + reach)) return;
  // An area lying wholly inside the empty middle of the circle shows nothing.
  const float farX = std::max(std::abs(x), std::abs(x - area_.width));
  const float farY = std::max(std::abs(y), std::abs(y - area_.height));
  if (std::hypot(farX, farY) < r - half) return;

  body_ += "<circle";
  appendAttribute(body_, "cx", x);
  appendAttribute(body_, "cy", y);
  if (r < kTwipsPerPixel / 2) {
    // A circle smaller than a pixel shows as a dot as wide as the pen, as on
    // screen.
    appendAttribute(body_, "r", half);
    body_ += " fill=\"" + colourText(colour) + "\" stroke=\"none\"/>\n";
    return;
  }
  appendAttribute(body_, "r", r);
  body_ += " stroke=\"" + colourText(colour) + "\"";
  appendAttribute(body_, "stroke-width", strokeWidth());
  body_ += "/>\n";
}

void SvgSurface::Print(std::string_view text) {
  const float x = currentX_;
  const float y = currentY_;
  if (!finite({x, y})) return;
  // No glyph is wider than the font size, nor a line taller than twice it.
  const float size = area_.fontSize;
  if (!touchesArea(x, y, x + size * static_cast<float>(text.size()), y + 2 * size)) return;
  body_ += "<text";
  appendAttribute(body_, "x", x);
  appendAttribute(body_, "y", y);
  // Placed by its top-left corner, as Print places it.
  body_ += " fill=\"" + std::string(kTextColour) +
           "\" stroke=\"none\" dominant-baseline=\"text-before-edge\">";
  appendXmlText(body_, text);
  body_ += "</text>\n";
}

// The root element clips to its viewport, which is the drawing area, as a
// picture box clips; renderers that ignore clip paths clip this too.
std::string SvgSurface::document() const {
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\"";
  appendAttribute(out, "width", area_.width / kTwipsPerPixel);
  appendAttribute(out, "height", area_.height / kTwipsPerPixel);
  out += " viewBox=\"0 0 ";
  appendNumber(out, area_.width);
  out += ' ';
  appendNumber(out, area_.height);
  out += "\" overflow=\"hidden\">\n<rect";
  appendAttribute(out, "width", area_.width);
  appendAttribute(out, "height", area_.height);
  out += " fill=\"" + std::string(kBackground) + "\"/>\n";
  out += "<g fill=\"none\" stroke-linecap=\"round\" font-family=\"" +
         std::string(area_.fontFamily) + "\"";
  appendAttribute(out, "font-size", area_.fontSize);
  out += ">\n";
  out += body_;
  out += "</g>\n</svg>\n";
  return out;
}

std::string pictureSvg(const charts::DisplayList& list, analysis::Picture picture) {
  SvgSurface surface(surfaceArea(picture));
  list.replay(surface);
  return surface.document();
}

}  // namespace rrscope::batch
