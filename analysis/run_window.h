#pragma once

#include <string>
#include <string_view>

// Only the chart stages draw, so the analysis knows the surface by name alone.
namespace rrscope::charts {
class ChartSurface;
}

namespace rrscope::analysis {

enum class TextBox { Text1, Text2, Text3, Text4, Text5, Text6, Text7, Text8, Text9 };

// The labels whose captions a run reads or writes.
enum class Caption { sam, TR, Label8, Label16, Label21, Label22 };

enum class Picture { Picture1, Picture2, Picture3, Picture4, Picture5 };

// Everything an analysis run needs of the window, and nothing more, so that a
// run works the same under the real window, the batch tool and the tests.
class RunWindow {
 public:
  virtual ~RunWindow() = default;

  virtual std::string text(TextBox box) const = 0;
  // Only the scattergram rewrites a text box, and only this one.
  virtual void setText9(std::string_view text) = 0;

  virtual std::string caption(Caption label) const = 0;
  virtual void setCaption(Caption label, std::string_view text) = 0;

  // Enables Command2, the refresh button.
  virtual void enableRefresh() = 0;

  // Shows the modal file-open dialog and returns the chosen name, empty when
  // the user cancelled.
  virtual std::string chooseSampleFile() = 0;

  virtual charts::ChartSurface& surface(Picture picture) = 0;
};

}  // namespace rrscope::analysis
