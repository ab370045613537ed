#pragma once

#include <span>
#include <string_view>

namespace rrscope::ui {

enum class ControlKind { button, label, textBox, pictureBox, frame };

// One control of the window as designed: positions and sizes in twips, the
// position relative to the window's client area or, for the controls inside
// the debug frame, to the frame.
struct ControlRow {
  std::string_view name;
  ControlKind kind;
  std::string_view caption;  // caption of a label, button or frame; text of a text box
  int left;
  int top;
  int width;
  int height;
  bool inFrame;
};

// Every control of the window, in tab order.
std::span<const ControlRow> controlTable();

// 15 twips make one logical pixel.
inline constexpr int kTwipsPerPixel = 15;

// Twips to the nearest logical pixel.
constexpr int pixelsFromTwips(int twips) {
  return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

}  // namespace rrscope::ui
