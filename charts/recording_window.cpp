#include "charts/recording_window.h"

#include "analysis/window_defaults.h"

namespace rrscope {
namespace {

template <class Enum>
std::size_t slot(Enum value) {
  return static_cast<std::size_t>(value);
}

}  // namespace

RecordingWindow::RecordingWindow() {
  for (std::size_t i = 0; i < texts_.size(); ++i) texts_[i] = kInitialTexts[i];
  for (const Caption label : {Caption::sam, Caption::TR, Caption::Label8, Caption::Label16,
                              Caption::Label21, Caption::Label22}) {
    captions_[slot(label)] = initialCaption(label);
  }
}

std::string RecordingWindow::text(TextBox box) const {
  return texts_[slot(box)];
}

void RecordingWindow::setText9(std::string_view text) {
  setText(TextBox::Text9, text);
}

void RecordingWindow::setText(TextBox box, std::string_view text) {
  texts_[slot(box)] = std::string(text);
}

std::string RecordingWindow::caption(Caption label) const {
  return captions_[slot(label)];
}

void RecordingWindow::setCaption(Caption label, std::string_view text) {
  captions_[slot(label)] = std::string(text);
}

std::string RecordingWindow::chooseSampleFile() {
  ++dialogsShown_;
  return nextFile_;
}

ChartSurface& RecordingWindow::surface(Picture picture) {
  return surfaces_[slot(picture)];
}

const DisplayList& RecordingWindow::displayList(Picture picture) const {
  return surfaces_[slot(picture)];
}

}  // namespace rrscope
