#include "charts/recording_window.h"

#include "analysis/window_defaults.h"

namespace rrscope::charts {
namespace {

template <class Enum>
std::size_t slot(Enum value) {
  return static_cast<std::size_t>(value);
}

}  // namespace

RecordingWindow::RecordingWindow() {
  for (std::size_t i = 0; i < texts_.size(); ++i) texts_[i] = analysis::kInitialTexts[i];
  for (const analysis::Caption label :
       {analysis::Caption::sam, analysis::Caption::TR, analysis::Caption::Label8,
        analysis::Caption::Label16, analysis::Caption::Label21, analysis::Caption::Label22}) {
    captions_[slot(label)] = analysis::initialCaption(label);
  }
}

std::string RecordingWindow::text(analysis::TextBox box) const {
  return texts_[slot(box)];
}

void RecordingWindow::setText9(std::string_view text) {
  setText(analysis::TextBox::Text9, text);
}

void RecordingWindow::setText(analysis::TextBox box, std::string_view text) {
  texts_[slot(box)] = std::string(text);
}

std::string RecordingWindow::caption(analysis::Caption label) const {
  return captions_[slot(label)];
}

void RecordingWindow::setCaption(analysis::Caption label, std::string_view text) {
  captions_[slot(label)] = std::string(text);
}

std::string RecordingWindow::chooseSampleFile() {
  ++dialogsShown_;
  return nextFile_;
}

ChartSurface& RecordingWindow::surface(analysis::Picture picture) {
  return surfaces_[slot(picture)];
}

const DisplayList& RecordingWindow::displayList(analysis::Picture picture) const {
  return surfaces_[slot(picture)];
}

}  // namespace rrscope::charts
