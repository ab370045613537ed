// The recording window as a user of the keyboard, a screen reader and the
// file of saved beats meets it.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "pipeline/measure_csv.h"
#include "tests/ui/recording_window_fixture.h"
#include "tests/ui/ui_test_support.h"
#include "ui/measure_table_widget.h"
#include "ui/measures_window.h"
#include "ui/recording/clock_text.h"
#include "ui/recording/ecg_strip_view.h"
#include "ui/recording/stretch_charts_view.h"
#include "ui/recording/tachogram_view.h"
#include "ui/recording/window_strip_view.h"
#include "ui/russian_dialogs.h"

namespace rrscope {
namespace {

using test::kRate;
using test::kSeconds;
using test::RecordingWindowTest;
using ui::EcgRecordingWindow;

// Saved beats come back, after a question naming their file, only into the
// recording they were saved from: not into the RR file exported beside it,
// nor into the record once its samples changed; and with them their
// classes, the count of beats edited by hand, their correction level and
// the analysis samples.
TEST_F(RecordingWindowTest, SavedBeatsComeBackOnlyIntoTheirOwnRecording) {
  const QString file = writeWfdb(QStringLiteral("lead"));
  std::vector<double> edited;
  {
    const auto window = open(file);
    ASSERT_TRUE(window->isLoaded());
    EXPECT_TRUE(log_.questions.isEmpty());
    window->strip().selectBeat(10);
    QTest::keyClick(&window->strip(), Qt::Key_Delete);
    window->strip().selectBeat(20);
    QTest::keyClick(&window->strip(), Qt::Key_Delete);
    ASSERT_EQ(window->beats()->editedBeats(), 2u);
    ASSERT_TRUE(window->setCorrectionLevel(beats::CorrectionLevel::strong));
    window->strip().selectBeat(5);
    QTest::keyClick(&window->strip(), Qt::Key_V);
    window->setStretch({30 * kRate, 90 * kRate});
    window->addSample();
    edited.assign(window->beats()->positions().begin(), window->beats()->positions().end());
    window->saveBeats();
    ASSERT_TRUE(QFile::exists(path("lead.rrscope")));

    // The NN series of the stretch, one interval per line, and the report.
    log_.nextSaveFile = path("lead.rr");
    window->exportNn();
    QFile rr(path("lead.rr"));
    ASSERT_TRUE(rr.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = rr.readAll().trimmed().split('\n');
    const editing::StretchSeries series = window->beats()->series(window->stretch());
    ASSERT_EQ(static_cast<std::size_t>(lines.size()), series.intervalsMs.size());
    EXPECT_EQ(lines.front().toDouble(), series.intervalsMs.front());
    log_.nextSaveFile = path("lead.png");
    window->writeReport();
    EXPECT_EQ(QImage(path("lead.png")).size(), QSize(1240, 1754));
  }
  const auto again = open(file);
  ASSERT_EQ(log_.questions.size(), 1);
  EXPECT_TRUE(log_.questions.front().contains("lead.rrscope"));
  ASSERT_EQ(again->beats()->size(), edited.size());
  for (std::size_t i = 0; i < edited.size(); ++i) {
    ASSERT_NEAR(again->beats()->positions()[i], edited[i], 1e-3) << i;
  }
  EXPECT_EQ(again->beats()->classes()[5], beats::BeatClass::V);
  EXPECT_EQ(again->beats()->editedBeats(), 2u);
  EXPECT_EQ(again->correctionLevel(), beats::CorrectionLevel::strong);
  ASSERT_EQ(again->samples().size(), 1u);
  EXPECT_EQ(again->samples().front().begin, 30 * kRate);
  EXPECT_EQ(again->samples().front().end, 90 * kRate);
  EXPECT_TRUE(again->summaryText().contains("Правлено ударов вручную: 2"));
  EXPECT_TRUE(log_.errorTexts.isEmpty()) << log_.errorTexts.join("\n").toStdString();

  const struct {
    QString file;
    QString says;
  } others[] = {
      {path("lead.rr"), "файл lead.hea, а открыт lead.rr"},
      {writeWfdb(QStringLiteral("lead"), kSeconds - 10), "длина"},
  };
  for (const auto& [other, says] : others) {
    log_.errorTexts.clear();
    const auto window = open(other);
    ASSERT_TRUE(window->isLoaded());
    EXPECT_EQ(log_.questions.size(), 1) << "no question for " << other.toStdString();
    EXPECT_EQ(window->beats()->editedBeats(), 0u);
    ASSERT_EQ(log_.errorTexts.size(), 1);
    EXPECT_TRUE(log_.errorTexts.front().contains(says)) << log_.errorTexts.front().toStdString();
  }
}

// Closing its last visible window ends the program, also when the
// analysis window, which a recording named on the command line leaves
// hidden, was never shown.
TEST_F(RecordingWindowTest, TheProgramEndsWithItsLastVisibleWindow) {
  testing::TestWindow form;
  EcgRecordingWindow* window = form.form->openRecording(writeWfdb(QStringLiteral("lead")));
  QSignalSpy loaded(window, &EcgRecordingWindow::loaded);
  ASSERT_TRUE(window->isLoaded() || loaded.wait(60000));
  QTimer::singleShot(0, window, [window] { window->close(); });
  QTimer lingering;
  lingering.setSingleShot(true);
  QObject::connect(&lingering, &QTimer::timeout, [] { QCoreApplication::exit(1); });
  lingering.start(10000);
  EXPECT_EQ(QApplication::exec(), 0);
  lingering.stop();
}

// A mark dragged with Alt puts its beat exactly where it is dropped; one
// dragged without snaps to its QRS complex; Ctrl with an arrow moves the
// selected beat a sample. The measures are those rrscope-batch gives the
// exported series, and undo brings back the very values of before.
TEST_F(RecordingWindowTest, ABeatMovesByItsMarkAndByKeysWithUndo) {
  const auto window = open(writeWfdb(QStringLiteral("lead")));
  ASSERT_TRUE(window->isLoaded());
  ui::EcgStripView& strip = window->strip();
  // At its narrowest the strip shows a sample in more than a pixel.
  strip.setWidthSeconds(ui::EcgStripView::kNarrowestSeconds);
  const std::size_t chosen = 3;
  const double original = window->beats()->positions()[chosen];
  strip.centreOn(original);
  const hrv::Measures before = window->measures();
  const auto drag = [&](double from, double to, Qt::KeyboardModifiers keys) {
    const QPoint start(static_cast<int>(std::lround(strip.xOf(from))), 40);
    const QPoint end(static_cast<int>(std::lround(strip.xOf(to))), 40);
    QTest::mousePress(&strip, Qt::LeftButton, keys, start);
    QTest::mouseMove(&strip, (start + end) / 2);
    QTest::mouseMove(&strip, end);
    QTest::mouseRelease(&strip, Qt::LeftButton, keys, end);
    return end.x();
  };
  const int dropped = drag(original, original + 0.06 * kRate, Qt::AltModifier);
  EXPECT_EQ(window->beats()->positions()[chosen], strip.sampleAt(dropped));
  EXPECT_EQ(window->beats()->sources()[chosen], editing::BeatSource::added);
  EXPECT_EQ(strip.selectedBeat(), chosen);

  drag(window->beats()->positions()[chosen], original + 0.02 * kRate, {});
  EXPECT_NEAR(window->beats()->positions()[chosen], original, 1.0);
  const double snapped = window->beats()->positions()[chosen];
  QTest::keyClick(&strip, Qt::Key_Right, Qt::ControlModifier);
  EXPECT_EQ(window->beats()->positions()[chosen], snapped + 1);
  QTest::keyClick(&strip, Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(window->beats()->positions()[chosen], snapped - 9);

  log_.nextSaveFile = path("moved.rr");
  window->exportNn();
  test::expectBatchMeasures(
      window->measures(),
      test::batchLine(path("moved.rr"), {"--input=rr", "--hrv"}).value("hrv").toObject(),
      std::array{hrv::Measure::meanNn, hrv::Measure::sdnn, hrv::Measure::rmssd, hrv::Measure::pnn20,
                 hrv::Measure::sd1});
  while (window->beats()->canUndo()) window->undo();
  EXPECT_EQ(window->beats()->positions()[chosen], original);
  for (const hrv::Measure m : hrv::allMeasures()) {
    EXPECT_EQ(window->measures()[m].defined(), before[m].defined()) << hrv::measureKey(m);
    if (before[m].defined()) {
      EXPECT_EQ(window->measures()[m].value(), before[m].value()) << hrv::measureKey(m);
    }
  }
}

// What the reader overlooked in a file is in view, in the batch tool's
// words; a file without such faults shows nothing of the kind.
TEST_F(RecordingWindowTest, TheReadersWarningsAreShownAsTheBatchToolGivesThem) {
  const QString header = writeWfdb(QStringLiteral("lead"));
  const auto clean = open(header);
  ASSERT_TRUE(clean->isLoaded());
  EXPECT_FALSE(clean->findChild<QLabel*>("readerWarnings")->isVisibleTo(clean.get()));

  QFile signal(path("lead.dat"));
  ASSERT_TRUE(signal.open(QIODevice::Append));
  signal.write("\x01", 1);  // a frame of format 16 cut after its first byte
  signal.close();
  const auto window = open(header);
  ASSERT_TRUE(window->isLoaded());
  const QLabel* shown = window->findChild<QLabel*>("readerWarnings");
  EXPECT_TRUE(shown->isVisibleTo(window.get()));
  const QJsonArray warnings =
      test::batchLine(header, {"--correct", "--hrv"}).value("warnings").toArray();
  ASSERT_FALSE(warnings.isEmpty());
  for (const QJsonValue& warning : warnings) {
    EXPECT_TRUE(shown->text().contains(warning.toString())) << shown->text().toStdString();
  }
}

// Each correction level chosen in the window gives the measures
// rrscope-batch --correct=LEVEL gives; going to "off" and back starts from
// the analysis's beats again, once the user agrees to lose the edits.
TEST_F(RecordingWindowTest, TheCorrectionLevelGivesTheBatchToolsMeasures) {
  const QString file = writeWfdb(QStringLiteral("lead"));
  const auto window = open(file);
  ASSERT_TRUE(window->isLoaded());
  auto* choice = window->findChild<QComboBox*>("correctionLevel");
  ASSERT_EQ(choice->count(), 7);
  std::vector<double> rmssd;
  for (const beats::CorrectionLevel level :
       {beats::CorrectionLevel::veryStrong, beats::CorrectionLevel::strong,
        beats::CorrectionLevel::automatic}) {
    const QString word = QString::fromUtf8(beats::correctionLevelWord(level).data());
    choice->setFocus();
    const int index = choice->findData(static_cast<int>(level));
    QTest::keyClick(choice, index > choice->currentIndex() ? Qt::Key_Down : Qt::Key_Up);
    while (choice->currentIndex() != index) {
      QTest::keyClick(choice, index > choice->currentIndex() ? Qt::Key_Down : Qt::Key_Up);
    }
    ASSERT_EQ(window->correctionLevel(), level);
    EXPECT_TRUE(window->summaryText().contains(choice->currentText()));
    SCOPED_TRACE(word.toStdString());
    test::expectBatchMeasures(
        window->measures(),
        test::batchLine(file, {"--correct=" + word, "--hrv"}).value("hrv").toObject());
    rmssd.push_back(window->measures()[hrv::Measure::rmssd].value());
  }
  // The very strong threshold holds back some of this lead's intervals.
  EXPECT_LT(rmssd.front(), rmssd.back());
  window->strip().selectBeat(7);
  QTest::keyClick(&window->strip(), Qt::Key_Delete);
  log_.restore = false;
  EXPECT_FALSE(window->setCorrectionLevel(beats::CorrectionLevel::off));
  EXPECT_EQ(window->correctionLevel(), beats::CorrectionLevel::automatic);
  EXPECT_EQ(window->beats()->editedBeats(), 1u);
  log_.restore = true;
  EXPECT_TRUE(window->setCorrectionLevel(beats::CorrectionLevel::off));
  EXPECT_EQ(window->beats()->editedBeats(), 0u);
  EXPECT_EQ(choice->currentData().toInt(), static_cast<int>(beats::CorrectionLevel::off));
}

// The stretch's measures leave the window as CSV in the columns the batch
// tool writes them in, each value exactly as the table has it.
TEST_F(RecordingWindowTest, TheMeasuresExportInTheBatchToolsColumns) {
  const QString file = writeWfdb(QStringLiteral("lead"));
  const auto window = open(file);
  ASSERT_TRUE(window->isLoaded());
  window->setStretch({20 * kRate, 80 * kRate});
  log_.nextSaveFile = path("measures.csv");
  window->findChild<QPushButton*>("exportMeasures")->click();
  QFile csv(path("measures.csv"));
  ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
  const QStringList lines = QString::fromUtf8(csv.readAll()).trimmed().split('\n');
  ASSERT_EQ(lines.size(), 2);
  const QString columns = QString::fromStdString(pipeline::measureCsvColumns());
  EXPECT_EQ(lines[0], "file,start_s,end_s,intervals" + columns + ",correction,sample");
  QProcess batch;
  batch.start(QStringLiteral(RRSCOPE_BATCH_TOOL), {"--csv", "--hrv", "--correct", file});
  ASSERT_TRUE(batch.waitForFinished(60000));
  EXPECT_TRUE(QString::fromUtf8(batch.readAllStandardOutput()).contains(columns));

  const QStringList row = lines[1].split(',');
  const std::size_t intervals = window->beats()->series(window->stretch()).intervalsMs.size();
  EXPECT_EQ(row.mid(0, 4), QStringList({"lead.hea", "20", "80", QString::number(intervals)}));
  EXPECT_EQ(row.mid(row.size() - 2), QStringList({"auto", ""}));
  qsizetype field = 4;
  for (const hrv::Measure m : hrv::allMeasures()) {
    const hrv::MeasureValue& value = window->measures()[m];
    if (value.defined()) {
      EXPECT_EQ(row[field].toDouble(), value.value()) << hrv::measureKey(m);
    } else {
      EXPECT_TRUE(row[field].isEmpty()) << hrv::measureKey(m);
    }
    ++field;
  }
}

// The strip under the tachogram shows a measure of each 5-minute window of
// the whole recording, as rrscope-batch --windows=300:30 gives it, and
// follows an edit.
TEST_F(RecordingWindowTest, TheMeasuresOverTimeAreTheBatchToolsWindows) {
  const auto window = open(writeRr("long.rr", 1200, [](std::size_t i) {
    return 800 + 60 * std::sin(static_cast<double>(i) * 0.21) + static_cast<double>(i % 7);
  }));
  ASSERT_TRUE(window->isLoaded());
  const QJsonArray windows = test::batchLine(path("long.rr"), {"--input=rr", "--windows=300:30"})
                                 .value("windows")
                                 .toArray();
  QSignalSpy shown(window.get(), &EcgRecordingWindow::windowStripShown);
  for (const hrv::Measure m : {hrv::Measure::rmssd, hrv::Measure::lfHf, hrv::Measure::dfaAlpha1}) {
    window->setWindowMeasure(m);
    ASSERT_TRUE(shown.wait(30000));
    const auto& points = window->windowStrip().points();
    ASSERT_EQ(static_cast<qsizetype>(points.size()), windows.size()) << hrv::measureKey(m);
    const QString key = QString::fromUtf8(hrv::measureKey(m).data());
    for (qsizetype i = 0; i < windows.size(); ++i) {
      const QJsonObject batch = windows[i].toObject();
      EXPECT_EQ(points[static_cast<std::size_t>(i)].seconds, batch.value("end_s").toDouble());
      const QJsonValue value = batch.value("hrv").toObject().value(key);
      ASSERT_EQ(points[static_cast<std::size_t>(i)].value.has_value(), !value.isNull()) << i;
      // The window times an RR file's beats by the running sum of its
      // intervals, which takes their last bits.
      if (!value.isNull()) {
        EXPECT_NEAR(*points[static_cast<std::size_t>(i)].value, value.toDouble(),
                    1e-11 * std::abs(value.toDouble()))
            << i;
      }
    }
  }
  EXPECT_TRUE(window->windowStrip().isVisibleTo(window.get()));
  const double before = *window->windowStrip().points().front().value;
  window->strip().selectBeat(10);
  QTest::keyClick(&window->strip(), Qt::Key_Delete);
  ASSERT_TRUE(shown.wait(30000));
  EXPECT_NE(*window->windowStrip().points().front().value, before);
  window->setWindowMeasure(std::nullopt);
  EXPECT_FALSE(window->windowStrip().isVisibleTo(window.get()));
}

// Detrending by smoothness priors gives the batch tool's spectral measures
// for that lambda, a lambda out of range is refused, and the spectra and
// the Poincaré diagram of the stretch are drawn beside the table.
TEST_F(RecordingWindowTest, TheDetrendedSpectraAreTheBatchToolsAndAreDrawn) {
  const QString file = writeWfdb(QStringLiteral("lead"));
  const auto window = open(file);
  ASSERT_TRUE(window->isLoaded());
  const hrv::Measures plain = window->measures();
  ASSERT_TRUE(window->setDetrending(300));
  test::expectBatchMeasures(
      window->measures(),
      test::batchLine(file, {"--correct", "--hrv", "--detrend=smoothness-priors", "--lambda=300"})
          .value("hrv")
          .toObject(),
      std::array{hrv::Measure::lfHf, hrv::Measure::hf, hrv::Measure::rmssd});
  EXPECT_NE(window->measures()[hrv::Measure::lfHf].value(), plain[hrv::Measure::lfHf].value());
  EXPECT_FALSE(window->setDetrending(5));
  auto* lambda = window->findChild<QLineEdit*>("lambda");
  lambda->setText("5");
  QMetaObject::invokeMethod(lambda, "editingFinished");
  EXPECT_EQ(log_.errorTitles, QStringList{"Неверное λ"});
  EXPECT_EQ(lambda->text(), "300");
  ASSERT_TRUE(window->setDetrending(std::nullopt));
  EXPECT_EQ(window->measures()[hrv::Measure::lfHf].value(), plain[hrv::Measure::lfHf].value());

  window->charts().resize(440, 560);
  const QImage drawn = window->charts().grab().toImage();
  int ink = 0;
  for (int y = 0; y < drawn.height(); y += 2) {
    for (int x = 0; x < drawn.width(); x += 2) ink += drawn.pixel(x, y) != qRgb(255, 255, 255);
  }
  EXPECT_GT(ink, 2000);
}

// Two stretches kept as samples are measured each on its own and together,
// their intervals end to end; an edit in one changes the combination.
TEST_F(RecordingWindowTest, SeveralSamplesAreMeasuredAloneAndTogether) {
  const auto window = open(writeWfdb(QStringLiteral("lead")));
  ASSERT_TRUE(window->isLoaded());
  const std::array<beats::SampleStretch, 2> stretches{
      {{10 * kRate, 40 * kRate}, {70 * kRate, 110 * kRate}}};
  for (const beats::SampleStretch& stretch : stretches) {
    window->setStretch(stretch);
    window->findChild<QPushButton*>("addSample")->click();
  }
  ASSERT_EQ(window->samples().size(), 2u);
  const auto list = window->findChild<QListWidget*>("sampleList");
  ASSERT_EQ(list->count(), 3);
  EXPECT_EQ(list->item(1)->text(), "2) с 0:01:10, длительность 0:00:40");

  const auto together = [&] {
    std::vector<double> intervals;
    for (const beats::SampleStretch& stretch : stretches) {
      const std::vector<double> part = window->beats()->series(stretch).intervalsMs;
      intervals.insert(intervals.end(), part.begin(), part.end());
    }
    return hrv::computeMeasures(intervals);
  };
  list->setCurrentRow(2);
  ASSERT_TRUE(window->showsCombinedSamples());
  EXPECT_TRUE(window->summaryText().startsWith("Все выборки вместе (2)"));
  EXPECT_EQ(window->measures()[hrv::Measure::rmssd].value(),
            together()[hrv::Measure::rmssd].value());
  EXPECT_EQ(window->measures()[hrv::Measure::sdnn].value(), together()[hrv::Measure::sdnn].value());

  window->strip().selectBeat(window->beats()->firstAtOrAfter(80 * kRate));
  QTest::keyClick(&window->strip(), Qt::Key_Delete);
  EXPECT_EQ(window->measures()[hrv::Measure::rmssd].value(),
            together()[hrv::Measure::rmssd].value());

  list->setCurrentRow(0);
  EXPECT_FALSE(window->showsCombinedSamples());
  EXPECT_EQ(window->stretch().begin, stretches[0].begin);
  EXPECT_EQ(
      window->measures()[hrv::Measure::rmssd].value(),
      hrv::computeMeasures(window->beats()->series(stretches[0]).intervalsMs)[hrv::Measure::rmssd]
          .value());
  // The export: a row for each sample, then one for them together.
  log_.nextSaveFile = path("samples.csv");
  window->exportMeasures();
  QFile csv(path("samples.csv"));
  ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
  const QStringList rows = QString::fromUtf8(csv.readAll()).trimmed().split('\n');
  ASSERT_EQ(rows.size(), 4);
  EXPECT_TRUE(rows[1].startsWith("lead.hea,10,40,")) << rows[1].toStdString();
  EXPECT_TRUE(rows[3].startsWith("lead.hea,,,")) << rows[3].toStdString();
  EXPECT_TRUE(rows[3].endsWith(",auto,all")) << rows[3].toStdString();
  const qsizetype rmssd = 4 + static_cast<qsizetype>(hrv::Measure::rmssd);
  EXPECT_EQ(rows[3].split(',')[rmssd].toDouble(), together()[hrv::Measure::rmssd].value());
  window->findChild<QPushButton*>("removeSample")->click();
  EXPECT_EQ(window->samples().size(), 1u);
  EXPECT_EQ(window->samples().front().begin, stretches[1].begin);
}

// A file that cannot be opened leaves the window saying why, in the Russian
// error box and under its own title, with "Открыть запись…" to try another;
// a window that shows a recording keeps it.
TEST_F(RecordingWindowTest, AFailedOpenSaysWhyAndLetsAnotherFileOpen) {
  writeNoise(QStringLiteral("noise.edf"));
  const auto window = open(path("noise.edf"));
  ASSERT_FALSE(window->isLoaded());
  ASSERT_EQ(log_.errorTitles, QStringList{"Ошибка чтения записи"});
  EXPECT_TRUE(log_.errorTexts[0].startsWith("Не удалось открыть запись «noise.edf»"));
  EXPECT_EQ(window->windowTitle(), "Запись ЭКГ");
  EXPECT_TRUE(window->findChild<QLabel*>("recordingInfo")->text().contains("noise.edf"));
  auto* openButton = window->findChild<QPushButton*>("openRecording");
  ASSERT_TRUE(openButton->isEnabled());

  log_.nextOpenFile = writeWfdb(QStringLiteral("lead"));
  QSignalSpy loaded(window.get(), &EcgRecordingWindow::loaded);
  openButton->click();
  ASSERT_TRUE(loaded.wait(60000));
  EXPECT_EQ(window->windowTitle(), "Запись ЭКГ — lead.hea");

  const QString lost = writeWfdb(QStringLiteral("lost"));
  ASSERT_TRUE(QFile::remove(path("lost.dat")));
  QSignalSpy failed(window.get(), &EcgRecordingWindow::loadFailed);
  window->openFile(lost);
  ASSERT_TRUE(failed.wait(60000));
  EXPECT_TRUE(log_.errorTexts.back().contains("нет файла сигнала (.dat)"))
      << log_.errorTexts.back().toStdString();
  EXPECT_TRUE(window->isLoaded());
  EXPECT_EQ(window->windowTitle(), "Запись ЭКГ — lead.hea");
  EXPECT_TRUE(window->findChild<QPushButton*>("saveBeats")->isEnabled());
}

// Tab goes from the measures table to the controls after it, in the
// recording window and in the measures window of the analysis window.
TEST_F(RecordingWindowTest, TabLeavesTheMeasuresTables) {
  const auto window = open(writeWfdb(QStringLiteral("lead")));
  ASSERT_TRUE(window->isLoaded());
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  auto* table = window->findChild<ui::MeasureTableWidget*>();
  table->setFocus(Qt::TabFocusReason);
  QTest::keyClick(table, Qt::Key_Tab);
  EXPECT_NE(QApplication::focusWidget(), table);

  testing::TestWindow form;
  form.form->openMeasuresWindow();
  ui::MeasuresWindow& measures = form.form->measuresWindow();
  measures.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&measures));
  measures.findChild<ui::MeasureTableWidget*>()->setFocus(Qt::TabFocusReason);
  QStringList reached;
  for (int press = 0; press < 3; ++press) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    reached << QApplication::focusWidget()->objectName();
  }
  EXPECT_TRUE(reached.contains("copy")) << reached.join(",").toStdString();
  EXPECT_TRUE(reached.contains("saveCsv")) << reached.join(",").toStdString();
}

// A screen reader finds every control under a name, hears the windows as
// frames, the legend by its names and the table's rows by their measures,
// and the strip tells which beat is selected, where it came from and its
// interval; the tachogram and the scroll bar take the focus, U marks the
// strip on view unreadable and a typed time moves the strip there.
TEST_F(RecordingWindowTest, EveryActionHasAKeyAndEveryPartAName) {
  const auto window = open(writeWfdb(QStringLiteral("lead")));
  ASSERT_TRUE(window->isLoaded());
  for (QWidget* widget : window->findChildren<QWidget*>()) {
    if (widget->focusPolicy() == Qt::NoFocus || !widget->isVisibleTo(window.get())) continue;
    if (widget->parentWidget() && widget->parentWidget()->inherits("QAbstractScrollArea")) continue;
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    ASSERT_NE(face, nullptr);
    EXPECT_FALSE(face->text(QAccessible::Name).isEmpty())
        << widget->metaObject()->className() << " " << widget->objectName().toStdString();
  }
  window->strip().selectBeat(4);
  const QString description =
      QAccessible::queryAccessibleInterface(&window->strip())->text(QAccessible::Description);
  EXPECT_TRUE(description.startsWith("Удар 5 из ")) << description.toStdString();
  EXPECT_TRUE(description.contains("найден детектором"));
  EXPECT_TRUE(description.contains(" мс"));
  window->strip().selectBeat(std::nullopt);
  testing::TestWindow form;
  for (QWidget* frame :
       {static_cast<QWidget*>(window.get()), static_cast<QWidget*>(form.form.get()),
        static_cast<QWidget*>(&form.form->measuresWindow())}) {
    EXPECT_EQ(QAccessible::queryAccessibleInterface(frame)->role(), QAccessible::Window)
        << frame->objectName().toStdString();
  }
  for (const QLabel* label : window->findChildren<QLabel*>()) {
    const QString name =
        QAccessible::queryAccessibleInterface(const_cast<QLabel*>(label))->text(QAccessible::Name);
    EXPECT_FALSE(name.contains("▼")) << name.toStdString();
  }
  const ui::MeasureTableWidget& table = window->table();
  const QString rowName =
      table.model()->headerData(table.rowOf(hrv::Measure::rmssd), Qt::Vertical).toString();
  EXPECT_TRUE(rowName.contains("RMSSD")) << rowName.toStdString();

  for (const QWidget* part :
       {static_cast<QWidget*>(&window->tachogram()),
        static_cast<QWidget*>(window->findChild<QScrollBar*>("stripScroll"))}) {
    EXPECT_TRUE(part->focusPolicy() & Qt::TabFocus) << part->objectName().toStdString();
  }
  QTest::keyClick(&window->tachogram(), Qt::Key_End);
  const double lastStart = window->strip().startSample();
  EXPECT_NEAR(lastStart + window->strip().widthSamples(), kSeconds * kRate, kRate);

  auto* goTo = window->findChild<QLineEdit*>("goTo");
  goTo->setText("0:40");
  QTest::keyClick(goTo, Qt::Key_Return);
  EXPECT_EQ(window->strip().startSample(), 40 * kRate);

  const double width = window->strip().widthSamples();
  QTest::keyClick(&window->strip(), Qt::Key_U);
  ASSERT_EQ(window->beats()->unreadable().size(), 1u);
  EXPECT_EQ(window->beats()->unreadable().front().begin, 40 * kRate);
  EXPECT_EQ(window->beats()->unreadable().front().end, 40 * kRate + width);
  QTest::keyClick(&window->strip(), Qt::Key_U, Qt::ShiftModifier);
  EXPECT_TRUE(window->beats()->unreadable().empty());
  window->undo();
  EXPECT_EQ(window->beats()->unreadable().size(), 1u);
}

// Question boxes answer in Russian, with the default the caller chose, and
// Qt's own dialogs read Russian too.
TEST(RussianDialogs, QuestionsAndQtsOwnTextsAreInRussian) {
  EXPECT_NE(QCoreApplication::translate("QFileDialog", "Look in:"), "Look in:");
  for (const bool yesByDefault : {true, false}) {
    QStringList buttons;
    QString pressed;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      for (const QAbstractButton* button : box->buttons()) buttons << button->text();
      pressed = box->defaultButton()->text();
      box->defaultButton()->click();
    });
    const bool yes = ui::askYesNo(nullptr, "Вопрос", "Восстановить?", yesByDefault);
    EXPECT_EQ(yes, yesByDefault);
    buttons.sort();
    EXPECT_EQ(buttons, QStringList({"Да", "Нет"}));
    EXPECT_EQ(pressed, yesByDefault ? "Да" : "Нет");
  }
}

// Pauses of 3.1 and 4.1 s stand apart above a break in the scale, while
// the bulk of the intervals keeps most of the height; without such pauses
// the scale reaches just past the longest interval.
TEST(TachogramView, ScalesToEveryIntervalWithABreakForLongPauses) {
  const auto tachogramOf = [](const std::vector<double>& intervals) {
    std::vector<double> positions{0};
    for (const double ms : intervals) positions.push_back(positions.back() + ms);
    const auto total = static_cast<std::int64_t>(positions.back()) + 1;
    return std::make_unique<editing::BeatList>(
        positions, std::vector(positions.size(), editing::BeatSource::detected),
        std::vector<beats::SampleStretch>{}, 1000, total);
  };
  std::vector<double> intervals;
  for (int i = 0; i < 400; ++i) intervals.push_back(800 + 40 * std::sin(i * 0.3));
  std::vector<double> paused = intervals;
  paused[100] = 3100;
  paused[300] = 4100;
  for (const auto& [series, breaks] : {std::pair(paused, true), std::pair(intervals, false)}) {
    const auto beats = tachogramOf(series);
    ui::TachogramView view(nullptr);
    view.resize(900, 200);
    view.showBeats(beats.get(), beats->series({0, 1e12}));
    const double longest = *std::ranges::max_element(series);
    EXPECT_GT(view.yOf(longest), 0);
    EXPECT_LT(view.yOf(longest), view.yOf(longest - 1));
    // The bulk spans most of the plot's 176 pixels.
    EXPECT_GT(view.yOf(760) - view.yOf(840), breaks ? 60 : 100);
    if (breaks) {
      EXPECT_GT(view.yOf(3100) - view.yOf(4100), 10);
    }
    // As heart rates the short intervals stand high, and the bulk keeps
    // its height; the pauses' rates (19 and 15 a minute) lie low but apart.
    view.setShowsHeartRate(true);
    EXPECT_GT(view.yOf(60000.0 / 840) - view.yOf(60000.0 / 760), 60);
    if (breaks) {
      EXPECT_GT(view.yOf(60000.0 / 4100) - view.yOf(60000.0 / 3100), 3);
    }
  }
}

// Time labels at either end of a strip stay whole inside it.
TEST(ClockText, LabelsAtTheEndsMoveInsideTheirWidget) {
  const struct {
    double x;
    double right;
    double left;
  } cases[] = {{0, 900, 0}, {450, 900, 430}, {900, 900, 860}, {895, 900, 860}, {10, 30, 0}};
  for (const auto& [x, right, left] : cases) {
    const QRectF box = ui::clockLabelBox(x, 40, 5, 12, right);
    EXPECT_EQ(box.left(), left) << x;
    EXPECT_EQ(box.width(), 40);
  }
}

}  // namespace
}  // namespace rrscope
