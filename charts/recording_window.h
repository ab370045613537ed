#pragma once

#include <array>
#include <string>

#include "analysis/run_window.h"
#include "charts/display_list.h"

namespace rrscope::charts {

// A window without widgets: texts and captions as strings, chart surfaces as
// display lists. It opens as the real window does; the batch tool and the
// tests run the analysis against it.
class RecordingWindow : public analysis::RunWindow {
 public:
  RecordingWindow();

  std::string text(analysis::TextBox box) const override;
  void setText9(std::string_view text) override;
  std::string caption(analysis::Caption label) const override;
  void setCaption(analysis::Caption label, std::string_view text) override;
  void enableRefresh() override { refreshEnabled_ = true; }
  std::string chooseSampleFile() override;
  ChartSurface& surface(analysis::Picture picture) override;

  // Sets any text box, as a user typing into it.
  void setText(analysis::TextBox box, std::string_view text);
  // The name that the next file dialog reports; empty for a cancel.
  void setNextFile(std::string path) { nextFile_ = std::move(path); }

  bool refreshEnabled() const { return refreshEnabled_; }
  int dialogsShown() const { return dialogsShown_; }
  const DisplayList& displayList(analysis::Picture picture) const;

 private:
  std::array<std::string, 9> texts_;
  std::array<std::string, 6> captions_;
  std::array<DisplayList, 5> surfaces_;
  std::string nextFile_;
  bool refreshEnabled_ = false;
  int dialogsShown_ = 0;
};

}  // namespace rrscope::charts
