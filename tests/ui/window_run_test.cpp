#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QTimer>

#include "tests/ui/ui_test_support.h"

namespace rrscope {
namespace {

using testing::TestWindow;

constexpr QRgb kRedPixel = qRgb(255, 0, 0);

// The picture of a chart's drawing area, without its 2-pixel border.
QImage drawingArea(const TestWindow& window, const char* picture) {
  return window.find(picture)
      ->grab()
      .toImage()
      .copy(2, 2, 10000, 10000)
      .convertToFormat(QImage::Format_RGB32);
}

// Whether any pixel within `reach` of (x, y) has the colour.
bool colourNear(const QImage& image, QPoint centre, QRgb colour, int reach = 2) {
  for (int y = centre.y() - reach; y <= centre.y() + reach; ++y) {
    for (int x = centre.x() - reach; x <= centre.x() + reach; ++x) {
      if (image.valid(x, y) && image.pixel(x, y) == colour) return true;
    }
  }
  return false;
}

// Six beats 5000 samples apart in 30000 lines (five seconds).
class WindowRun : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.isValid());
    window_.nextFile =
        testing::writeSpikes(folder_, "beats.txt", 30000, {2500, 7500, 12500, 17500, 22500, 27500});
    window_.form->show();
    window_.click("Command1");
    ASSERT_TRUE(window_.reports.empty()) << window_.reports[0].stage;
  }

  QTemporaryDir folder_;
  TestWindow window_;
};

TEST_F(WindowRun, Command1FillsTheStateTheFiguresAndTheCharts) {
  EXPECT_EQ(window_.dialogs, 1);
  EXPECT_EQ(window_.labelText("sam"), "30000");
  EXPECT_TRUE(window_.find("Command2")->isEnabled());
  for (const analysis::Picture picture :
       {analysis::Picture::Picture1, analysis::Picture::Picture2, analysis::Picture::Picture3,
        analysis::Picture::Picture4, analysis::Picture::Picture5}) {
    EXPECT_GT(window_.form->displayList(picture).size(), 1u);
  }

  const QColor background = window_.find("Picture1")->palette().color(QPalette::Window);
  // Rhythmogram: the red vertical axis on the left edge, and the marker of
  // interval 1 (closed by the peak at 7500) at (0.03 * 7500 + 100, 3795 -
  // 0.4 * 5000) twips, that is about (21.7, 119.7) pixels.
  const QImage rhythmogram = drawingArea(window_, "Picture1");
  EXPECT_EQ(rhythmogram.pixel(0, 100), kRedPixel);
  EXPECT_TRUE(colourNear(rhythmogram, {22, 120}, kRedPixel));
  EXPECT_EQ(rhythmogram.pixel(150, 60), background.rgb());

  // Scattergram: its vertical axis runs the whole height.
  EXPECT_EQ(drawingArea(window_, "Picture2").pixel(0, 240), kRedPixel);

  // Pulse chart: the sample at 1101 lies on the baseline at (55, 1730)
  // twips; nothing is drawn far above it.
  const QImage pulse = drawingArea(window_, "Picture3");
  EXPECT_TRUE(colourNear(pulse, {4, 115}, kRedPixel));
  EXPECT_EQ(pulse.pixel(100, 20), background.rgb());
}

TEST_F(WindowRun, ACancelledDialogIsReportedAndKeepsTheLoadedSamples) {
  window_.nextFile.clear();
  window_.click("Command1");

  // What the run keeps after a failed load is the run's own test; here,
  // the label still counts the samples and the cleared charts show.
  ASSERT_EQ(window_.reports.size(), 1u);
  EXPECT_EQ(window_.labelText("sam"), "30000");
  const QColor background = window_.find("Picture1")->palette().color(QPalette::Window);
  const QImage rhythmogram = drawingArea(window_, "Picture1");
  EXPECT_EQ(window_.form->displayList(analysis::Picture::Picture1).size(), 1u);
  EXPECT_EQ(rhythmogram.pixel(0, 100), background.rgb());

  // Command2 analyses the samples still loaded.
  window_.click("Command2");
  EXPECT_EQ(window_.reports.size(), 1u);
  EXPECT_EQ(drawingArea(window_, "Picture1").pixel(0, 100), kRedPixel);
}

// Without injections the window asks through a real dialog and reports in a
// real message box; both are closed from inside their event loops.
TEST(WindowDialogs, TheOpenDialogListsTextFilesAndTheBoxShowsTheReport) {
  Form1 form;
  form.show();
  QStringList filters;
  testing::MessageBoxSeen box;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    filters = dialog->nameFilters();
    testing::acceptNextMessageBox(box);
    dialog->reject();
  });
  form.findChild<QPushButton*>("Command1")->click();

  EXPECT_EQ(filters, QStringList{"*.txt"});
  EXPECT_EQ(box.title, QString::fromUtf8("Не удаётся открыть файл"));
  EXPECT_EQ(box.text,
            QString::fromUtf8("Файл не выбран. Нажмите «Нажми меня» и выберите файл сэмплов."));
  EXPECT_FALSE(QApplication::overrideCursor());
}

}  // namespace
}  // namespace rrscope
