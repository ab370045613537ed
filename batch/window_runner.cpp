#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <cstdlib>
#include <optional>
#include <stdexcept>

#include "batch/file_runs.h"
#include "batch/offscreen_platform.h"
#include "batch/output_files.h"
#include "ui/form1.h"

namespace rrscope::batch {
namespace {

// The widget as it looks, at one image pixel per logical pixel whatever the
// screen's density, so the pictures have the window's designed size.
QImage widgetImage(QWidget& widget) {
  QImage image(widget.size(), QImage::Format_RGB32);
  image.fill(widget.palette().color(QPalette::Window));
  widget.render(&image);
  return image;
}

// The image as the bytes of a PNG file, written later with the other
// outputs of the run, whole or not at all.
OutputFile pngFile(const QImage& image, std::filesystem::path path) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) {
    throw std::runtime_error("cannot encode \"" + path.string() + "\" as PNG");
  }
  return {std::move(path), bytes.toStdString()};
}

QString qtText(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

struct WindowRunner::Application {
  Application(int& argc, char** argv) : app(argc, argv) {}
  QApplication app;
};

bool WindowRunner::available() {
  return true;
}

WindowRunner::WindowRunner(int& argc, char** argv) {
  chooseOffscreenWithoutDisplay();
  application_ = std::make_unique<Application>(argc, argv);
}

WindowRunner::~WindowRunner() = default;

void WindowRunner::run(std::string_view file, const ParameterTexts& parameters,
                       const std::string& pngDir, const OutcomeUse& use) {
  Form1 window;
  // Shown so that it is laid out and polished as on screen, but never mapped.
  window.setAttribute(Qt::WA_DontShowOnScreen);
  window.show();

  for (std::size_t i = 0; i < parameters.size(); ++i) {
    const QString name = QStringLiteral("Text%1").arg(i + 1);
    window.findChild<QLineEdit*>(name)->setText(qtText(parameters[i]));
  }
  const std::string chosen(file);
  window.setFileChooser([chosen] { return chosen; });
  std::optional<analysis::RunReport> error;
  window.setErrorReporter([&error](const analysis::RunReport& report) { error = report; });
  window.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
  QApplication::processEvents();

  const std::string stem = outputStem(file);
  std::vector<OutputFile> pictures;
  pictures.push_back(pngFile(widgetImage(window), windowPngPath(pngDir, stem)));
  for (const analysis::Picture picture : kPictures) {
    const QString name = QStringLiteral("Picture%1").arg(static_cast<int>(picture) + 1);
    pictures.push_back(pngFile(widgetImage(*window.findChild<QWidget*>(name)),
                               picturePngPath(pngDir, stem, picture)));
  }

  std::array<const charts::DisplayList*, 5> lists{};
  for (std::size_t i = 0; i < lists.size(); ++i) {
    lists[i] = &window.displayList(static_cast<analysis::Picture>(i));
  }
  use(RunOutcome{file, parameters, window, lists, window.analysisState(), error, pictures});
}

}  // namespace rrscope::batch
