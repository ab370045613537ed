#include "charts/display_list_json.h"

#include <charconv>
#include <cstdio>

namespace rrscope::charts {
namespace {

// Writes each operation it receives as one JSON array.
class JsonSurface final : public ChartSurface {
 public:
  explicit JsonSurface(std::string& out) : out_(out) {}

  void Cls() override { open("Cls"), close(); }
  void DrawWidth(int width) override { open("DrawWidth"), integer(width), close(); }
  void Line(float x1, float y1, float x2, float y2, Colour colour) override {
    open("Line");
    for (const float v : {x1, y1, x2, y2}) number(v);
    integer(colour);
    close();
  }
  void CurrentX(float x) override { open("CurrentX"), number(x), close(); }
  void CurrentY(float y) override { open("CurrentY"), number(y), close(); }
  void Circle(float radius, Colour colour) override {
    open("Circle"), number(radius), integer(colour), close();
  }
  void Print(std::string_view text) override {
    open("Print");
    out_ += ',';
    appendJsonString(out_, text);
    close();
  }

 private:
  void open(const char* name) {
    if (!first_) out_ += ',';
    first_ = false;
    out_ += "[\"";
    out_ += name;
    out_ += '"';
  }
  void close() { out_ += ']'; }
  void number(float value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out_ += ',';
    out_.append(buffer, result.ptr);
  }
  void integer(std::int32_t value) {
    out_ += ',';
    out_ += std::to_string(value);
  }

  std::string& out_;
  bool first_ = true;
};

void appendList(std::string& out, const DisplayList& list) {
  out += '[';
  JsonSurface surface(out);
  list.replay(surface);
  out += ']';
}

}  // namespace

void appendJsonString(std::string& out, std::string_view text) {
  out += '"';
  for (const char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  out += '"';
}

std::string displayListJson(const DisplayList& list) {
  std::string out;
  appendList(out, list);
  return out;
}

std::string displayListsJson(const std::array<const DisplayList*, 5>& lists) {
  std::string out = "{";
  for (std::size_t i = 0; i < lists.size(); ++i) {
    if (i > 0) out += ',';
    out += "\"Picture" + std::to_string(i + 1) + "\":";
    appendList(out, *lists[i]);
  }
  out += '}';
  return out;
}

}  // namespace rrscope::charts
