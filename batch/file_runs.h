#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "batch/batch_options.h"
#include "batch/run_outcome.h"

namespace rrscope::batch {

using OutcomeUse = std::function<void(const RunOutcome&)>;

// Runs Command1 of a freshly opened window without widgets on `file`, with
// the parameter texts typed in, and hands what it left to `use`. Without
// `recordCharts` the drawing operations are dropped as they come, which
// spares the memory and time of a million recorded dots; the display lists
// are then empty.
void runWithoutWindow(std::string_view file, const ParameterTexts& parameters, bool recordCharts,
                      const OutcomeUse& use);

// Runs files in the real window, rendered offscreen, and saves its pictures.
// It owns the Qt application, which only this path needs.
class WindowRunner {
 public:
  // False when the program was built without the window.
  static bool available();

  // Chooses the offscreen platform when there is no display and creates the
  // application object.
  WindowRunner(int& argc, char** argv);
  ~WindowRunner();
  WindowRunner(const WindowRunner&) = delete;
  WindowRunner& operator=(const WindowRunner&) = delete;

  // Runs Command1 of a freshly opened window on `file` and hands the
  // outcome to `use`, with the pictures DIR/STEM.png and DIR/STEM-PictureN.png
  // of `pngDir` among its files to write.
  void run(std::string_view file, const ParameterTexts& parameters, const std::string& pngDir,
           const OutcomeUse& use);

 private:
  struct Application;
  std::unique_ptr<Application> application_;
};

}  // namespace rrscope::batch
