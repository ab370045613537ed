#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <memory>

#include "editing/beat_list.h"
#include "recordings/wfdb_writer.h"
#include "tests/beats/synthetic_record.h"
#include "tests/recordings/edf_file.h"
#include "tests/ui/recording_window_fixture.h"
#include "tests/ui/ui_test_support.h"
#include "ui/measure_table_text.h"
#include "ui/measure_table_widget.h"
#include "ui/recording/clock_text.h"
#include "ui/recording/ecg_recording_window.h"
#include "ui/recording/ecg_strip_view.h"
#include "ui/recording/tachogram_view.h"

namespace rrscope {
namespace {

using editing::BeatSource;
using test::batchLine;
using test::kRate;
using test::kSeconds;
using test::RecordingWindowTest;
using ui::EcgRecordingWindow;

QString shownMeanNn(const EcgRecordingWindow& window) {
  return window.table().item(window.table().rowOf(hrv::Measure::meanNn), 1)->text();
}

TEST_F(RecordingWindowTest, OpensWfdbAndEdfWithTheMeasuresOfTheBatchTool) {
  for (const QString& file : {writeWfdb(QStringLiteral("lead")), writeEdfFile("lead.edf")}) {
    SCOPED_TRACE(file.toStdString());
    const auto window = open(file);
    ASSERT_TRUE(window->isLoaded()) << log_.errorTexts.join("\n").toStdString();
    EXPECT_TRUE(window->windowTitle().startsWith("Запись ЭКГ"));
    EXPECT_FALSE(window->findChild<QWidget*>("progress")->isVisible());
    // The designed beats, every one found.
    EXPECT_EQ(window->beats()->size(), lead_.beats.size());
    test::expectBatchMeasures(window->measures(),
                              batchLine(file, {"--correct", "--hrv"}).value("hrv").toObject());
    EXPECT_EQ(shownMeanNn(*window), ui::shownValue(window->measures()[hrv::Measure::meanNn], 1));
  }
}

TEST_F(RecordingWindowTest, ClicksAndKeysAddAndRemoveBeatsWithUndoAndRedo) {
  const auto window = open(writeWfdb(QStringLiteral("lead")));
  ASSERT_TRUE(window->isLoaded());
  ui::EcgStripView& strip = window->strip();
  const editing::BeatList& beats = *window->beats();
  const std::size_t count = beats.size();
  const std::vector<double> original(beats.positions().begin(), beats.positions().end());
  const QString meanBefore = shownMeanNn(*window);
  // Undo and redo, as buttons and keys, are offered exactly when there is
  // something to undo or redo.
  auto* undo = window->findChild<QPushButton*>("undo");
  auto* redo = window->findChild<QPushButton*>("redo");
  const auto offered = [&] { return std::pair(undo->isEnabled(), redo->isEnabled()); };
  EXPECT_EQ(offered(), std::pair(false, false));

  // A click on the mark of the fourth beat selects it; Delete removes it.
  const std::size_t chosen = 3;
  const QPoint onMark(static_cast<int>(std::lround(strip.xOf(original[chosen]))), 40);
  QTest::mouseClick(&strip, Qt::LeftButton, {}, onMark);
  ASSERT_EQ(strip.selectedBeat(), chosen);
  QTest::keyClick(&strip, Qt::Key_Delete);
  EXPECT_EQ(window->beats()->size(), count - 1);
  EXPECT_EQ(window->beats()->editedBeats(), 1u);
  EXPECT_NE(shownMeanNn(*window), meanBefore);

  // A click on the trace a little beside the QRS puts the beat back where
  // the detector had it, as added by hand.
  const QPoint beside(static_cast<int>(std::lround(strip.xOf(original[chosen] + 0.03 * kRate))),
                      150);
  QTest::mouseClick(&strip, Qt::LeftButton, {}, beside);
  ASSERT_EQ(window->beats()->size(), count);
  EXPECT_NEAR(window->beats()->positions()[chosen], original[chosen], 1.0);
  EXPECT_EQ(window->beats()->sources()[chosen], BeatSource::added);

  // Ctrl+Z takes the addition back, Ctrl+Y makes it again.
  QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(window->beats()->size(), count - 1);
  EXPECT_EQ(offered(), std::pair(true, true));
  QTest::keyClick(window.get(), Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(window->beats()->size(), count);
  EXPECT_EQ(offered(), std::pair(true, false));
  undo->click();
  undo->click();
  EXPECT_EQ(offered(), std::pair(false, true));
  redo->click();
  EXPECT_EQ(window->beats()->size(), count - 1);
  undo->click();
  EXPECT_EQ(window->beats()->editedBeats(), 0u);
  EXPECT_EQ(shownMeanNn(*window), meanBefore);

  // Keyboard only: the strip takes focus with Tab, the arrows walk the
  // beats, Delete removes one and Insert finds it again in the gap.
  EXPECT_TRUE(strip.focusPolicy() & Qt::TabFocus);
  strip.setFocus(Qt::TabFocusReason);
  strip.selectBeat(std::nullopt);
  for (int step = 0; step < 6; ++step) QTest::keyClick(&strip, Qt::Key_Right);
  const std::size_t walked = *strip.selectedBeat();
  QTest::keyClick(&strip, Qt::Key_Delete);
  ASSERT_EQ(window->beats()->size(), count - 1);
  QTest::keyClick(&strip, Qt::Key_Left);
  QTest::keyClick(&strip, Qt::Key_Insert);
  ASSERT_EQ(window->beats()->size(), count);
  EXPECT_NEAR(window->beats()->positions()[walked], original[walked], 1.0);
}

// N, S and V (also in their places on a Russian layout) and the menu of a
// mark give the selected beat its class; the NN series and the measures
// follow at once, and undo takes it back.
TEST_F(RecordingWindowTest, KeysAndTheMenuOfAMarkGiveBeatsTheirClassWithUndo) {
  using beats::BeatClass;
  const auto window = open(writeWfdb(QStringLiteral("lead")));
  ASSERT_TRUE(window->isLoaded());
  ui::EcgStripView& strip = window->strip();
  const auto series = [&] { return window->beats()->series(window->stretch()); };
  // The intervals that end at `beat` or at the one after it: those touching it.
  const auto keepsIntervalsOf = [&](std::size_t beat) {
    const std::vector<std::size_t> ends = series().ends;
    return std::ranges::count(ends, beat) + std::ranges::count(ends, beat + 1);
  };
  const auto showsItsSeries = [&] {
    return window->measures()[hrv::Measure::meanNn].value() ==
           hrv::computeMeasures(series().intervalsMs)[hrv::Measure::meanNn].value();
  };
  // A key of a Russian layout, which Qt names by its letter's code point.
  const auto pressCyrillic = [&](char16_t letter) {
    QKeyEvent press(QEvent::KeyPress, letter, Qt::NoModifier, QString(QChar(letter)));
    QCoreApplication::sendEvent(&strip, &press);
  };
  const std::vector<double> original = series().intervalsMs;

  strip.selectBeat(10);
  QTest::keyClick(&strip, Qt::Key_V);
  EXPECT_EQ(window->beats()->classes()[10], BeatClass::V);
  EXPECT_EQ(keepsIntervalsOf(10), 0);
  EXPECT_TRUE(showsItsSeries());
  QTest::keyClick(&strip, Qt::Key_S);
  EXPECT_EQ(window->beats()->classes()[10], BeatClass::S);
  pressCyrillic(u'Т');  // where N lies on a Russian layout
  EXPECT_EQ(window->beats()->classes()[10], BeatClass::N);
  pressCyrillic(u'М');  // where V lies
  EXPECT_EQ(window->beats()->classes()[10], BeatClass::V);
  // Ctrl with a letter asks for no class.
  QTest::keyClick(&strip, Qt::Key_N, Qt::ControlModifier);
  EXPECT_EQ(window->beats()->classes()[10], BeatClass::V);
  window->undo();
  window->undo();
  EXPECT_EQ(window->beats()->classes()[10], BeatClass::S);
  while (window->beats()->canUndo()) window->undo();
  EXPECT_EQ(series().intervalsMs, original);
  EXPECT_TRUE(showsItsSeries());

  // The menu of a mark offers the five classes, the beat's own checked.
  const std::unique_ptr<QMenu> menu = strip.classMenu(12);
  const QList<QAction*> actions = menu->actions();
  ASSERT_EQ(actions.size(), 5);
  EXPECT_EQ(actions[0]->text(), "Нормальный (N)");
  EXPECT_EQ(actions[4]->text(), "Неклассифицируемый (Q)");
  const auto own = static_cast<qsizetype>(window->beats()->classes()[12]);
  for (qsizetype i = 0; i < actions.size(); ++i) EXPECT_EQ(actions[i]->isChecked(), i == own);
  actions[3]->trigger();  // Сливной (F)
  EXPECT_EQ(window->beats()->classes()[12], BeatClass::F);
  EXPECT_EQ(keepsIntervalsOf(12), 0);
  EXPECT_TRUE(showsItsSeries());
  QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(series().intervalsMs, original);
}

TEST_F(RecordingWindowTest, AStretchDraggedOnTheTachogramGetsItsOwnMeasures) {
  const auto window = open(writeWfdb(QStringLiteral("lead")));
  ASSERT_TRUE(window->isLoaded());
  ui::TachogramView& tachogram = window->tachogram();
  const int from = static_cast<int>(std::lround(tachogram.xOf(20 * kRate)));
  const int to = static_cast<int>(std::lround(tachogram.xOf(80 * kRate)));
  QTest::mousePress(&tachogram, Qt::LeftButton, {}, QPoint(from, 50));
  QTest::mouseMove(&tachogram, QPoint((from + to) / 2, 50));
  QTest::mouseMove(&tachogram, QPoint(to, 50));
  QTest::mouseRelease(&tachogram, Qt::LeftButton, {}, QPoint(to, 50));
  const beats::SampleStretch stretch = window->stretch();
  EXPECT_NEAR(stretch.begin, 20 * kRate, tachogram.sampleAt(from + 1) - tachogram.sampleAt(from));
  EXPECT_NEAR(stretch.end, 80 * kRate, tachogram.sampleAt(to + 1) - tachogram.sampleAt(to));
  // Which beats a stretch takes is the beat list's own test.
  const double mean =
      hrv::computeMeasures(window->beats()->series(stretch).intervalsMs)[hrv::Measure::meanNn]
          .value();
  EXPECT_EQ(window->measures()[hrv::Measure::meanNn].value(), mean);
  EXPECT_EQ(shownMeanNn(*window), QString::number(mean, 'f', 1));

  // The fields set it too, and "5 мин" asks for five minutes of a
  // two-minute recording: the whole of it.
  window->findChild<QLineEdit*>("stretchStart")->setText("0:30");
  window->findChild<QLineEdit*>("stretchLength")->setText("45");
  QMetaObject::invokeMethod(window->findChild<QLineEdit*>("stretchLength"), "editingFinished");
  EXPECT_EQ(window->stretch().begin, 30 * kRate);
  EXPECT_EQ(window->stretch().end, 75 * kRate);
  window->findChild<QPushButton*>("fiveMinutes")->click();
  EXPECT_EQ(window->stretch().end - window->stretch().begin, kSeconds * kRate);
  window->findChild<QLineEdit*>("stretchStart")->setText("later");
  QMetaObject::invokeMethod(window->findChild<QLineEdit*>("stretchStart"), "editingFinished");
  EXPECT_EQ(log_.errorTitles, QStringList{"Неверное время"});
}

// The window gets the same figures as from the text file the batch tool
// exports of a record holding just that stretch.
TEST_F(RecordingWindowTest, TheStretchSentToTheAnalysisWindowRunsAsItsExportedTextFile) {
  testing::TestWindow sent;
  auto* window = sent.form->openRecording(writeWfdb(QStringLiteral("lead")));
  QSignalSpy loaded(window, &EcgRecordingWindow::loaded);
  ASSERT_TRUE(loaded.wait(60000));
  window->setStretch({0, 60 * kRate});
  window->sendToAnalysis();
  ASSERT_TRUE(sent.form->isVisible());
  ASSERT_TRUE(sent.reports.empty());

  const QString shorter = writeWfdb(QStringLiteral("minute"), 60);
  ASSERT_TRUE(batchLine(shorter, {"--to-text", folder_.path()}).value("error").isNull());
  testing::TestWindow opened;
  opened.form->openFile(path("minute.txt").toStdString());
  ASSERT_TRUE(opened.reports.empty());
  for (const char* caption : {"sam", "TR", "Label8", "Label16", "Label21", "Label22"}) {
    EXPECT_EQ(sent.labelText(caption), opened.labelText(caption)) << caption;
  }
  EXPECT_NE(sent.labelText("sam"), "");
}

// A long stretch shows its entropies and DFA once a worker has them, and
// they are those of the whole series, also after an edit.
TEST_F(RecordingWindowTest, TheSlowMeasuresOfALongStretchFollowFromAWorker) {
  const auto window =
      open(writeRr("long.rr", EcgRecordingWindow::kLongestSeriesAtOnce + 1, [](std::size_t i) {
        return 800 + 40 * std::sin(static_cast<double>(i) * 0.7) + static_cast<double>(i % 13);
      }));
  ASSERT_TRUE(window->isLoaded());
  QSignalSpy complete(window.get(), &EcgRecordingWindow::measuresComplete);
  if (!window->measuresAreComplete()) {
    EXPECT_EQ(window->table().item(window->table().rowOf(hrv::Measure::sampen), 1)->text(),
              "считается…");
    ASSERT_TRUE(complete.wait(30000));
  }
  // The file's numbers as written, read back as the window read them.
  const std::vector<double> read = window->beats()->series({0, 1e12}).intervalsMs;
  const hrv::Measures expected = hrv::computeMeasures(read);
  for (const hrv::Measure m : {hrv::Measure::sampen, hrv::Measure::apen, hrv::Measure::dfaAlpha1,
                               hrv::Measure::dfaAlpha2, hrv::Measure::rmssd}) {
    EXPECT_EQ(window->measures()[m].value(), expected[m].value()) << hrv::measureKey(m);
  }
  window->strip().selectBeat(100);
  QTest::keyClick(&window->strip(), Qt::Key_Delete);
  ASSERT_TRUE(window->measuresAreComplete() || complete.wait(30000));
  const hrv::Measures edited = hrv::computeMeasures(window->beats()->series({0, 1e12}).intervalsMs);
  EXPECT_EQ(window->measures()[hrv::Measure::sampen].value(), edited[hrv::Measure::sampen].value());
  EXPECT_NE(edited[hrv::Measure::sampen].value(), expected[hrv::Measure::sampen].value());
}

TEST_F(RecordingWindowTest, CtrlOInTheAnalysisWindowOpensARecordingInItsOwnWindow) {
  testing::TestWindow form;
  const QString file = writeWfdb(QStringLiteral("lead"));
  form.form->setRecordingChooser([file] { return file; });
  form.form->show();
  form.form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.form.get()));
  QTest::keyClick(form.form.get(), Qt::Key_O, Qt::ControlModifier);
  EcgRecordingWindow* window = nullptr;
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (auto* recording = qobject_cast<EcgRecordingWindow*>(top)) window = recording;
  }
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  QSignalSpy loaded(window, &EcgRecordingWindow::loaded);
  ASSERT_TRUE(window->isLoaded() || loaded.wait(60000));
  EXPECT_EQ(window->beats()->size(), lead_.beats.size());
}

// Times as the stretch fields show and read them.
TEST(ClockText, WritesAndReadsTheTimesOfTheStretchFields) {
  EXPECT_EQ(ui::clockText(3723.46), "1:02:03");
  EXPECT_EQ(ui::clockText(59.96, true), "0:01:00.0");
  EXPECT_EQ(ui::clockText(90061), "25:01:01");
  EXPECT_EQ(ui::parseClock("1:02:03.5"), 3723.5);
  EXPECT_EQ(ui::parseClock(" 05:07 "), 307);
  EXPECT_EQ(ui::parseClock("300"), 300);
  EXPECT_EQ(ui::parseClock("1,5"), 1.5);
  for (const char* bad : {"1:60", "-3", "a", "", "1:2:3:4", "1.5:00"}) {
    EXPECT_EQ(ui::parseClock(bad), std::nullopt) << bad;
  }
}

}  // namespace
}  // namespace rrscope
