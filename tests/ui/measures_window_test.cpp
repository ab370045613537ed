#include "ui/measures_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTableWidget>
#include <QTest>

#include "tests/ui/ui_test_support.h"

namespace rrscope {
namespace {

using testing::TestWindow;

// Rows follow the order of the measures.
QString shown(const ui::MeasuresWindow& window, hrv::Measure measure, int column = 1) {
  return window.table().item(window.table().rowOf(measure), column)->text();
}

// A right-click that chooses `item` from the menu it opens; returns the
// menu's items.
QStringList rightClick(QWidget* widget, const QString& item = QStringLiteral("Показатели ВСР")) {
  QStringList items;
  QTimer::singleShot(0, [&items, item] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    for (QAction* action : menu->actions()) {
      items << action->text() + QLatin1Char('\t') + action->shortcut().toString();
      if (action->text() == item) menu->setActiveAction(action);
    }
    QTest::keyClick(menu, Qt::Key_Return);
  });
  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                          widget->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(widget, &event);
  return items;
}

class MeasuresWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.isValid());
    window_.form->show();
    window_.form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.form.get()));
  }
  ui::MeasuresWindow& measures() const { return window_.form->measuresWindow(); }
  // Peaks at the given positions of a 30000-line file; K peaks give K - 2 intervals.
  void run(const char* name, const std::set<int>& peaks) {
    window_.nextFile = testing::writeSpikes(folder_, name, 30000, peaks);
    window_.click("Command1");
  }

  QTemporaryDir folder_;
  TestWindow window_;
};

TEST_F(MeasuresWindowTest, F2AndTheBackgroundMenuOpenIt) {
  EXPECT_FALSE(measures().isVisible());
  QTest::keyClick(window_.form.get(), Qt::Key_F2);
  EXPECT_TRUE(measures().isVisible());
  EXPECT_EQ(measures().windowTitle(), "Показатели ВСР");
  EXPECT_FALSE(measures().isModal());
  measures().hide();
  EXPECT_EQ(rightClick(window_.find("Picture1")),
            QStringList({"Показатели ВСР\tF2", "Открыть запись…\tCtrl+O"}));
  EXPECT_TRUE(measures().isVisible());
  measures().hide();
  rightClick(window_.find("Label8"));
  EXPECT_TRUE(measures().isVisible());
  // Before any run: every measure reads "нет данных" with its reason.
  EXPECT_EQ(shown(measures(), hrv::Measure::meanNn), "нет данных: нет интервалов");
}

TEST_F(MeasuresWindowTest, FollowsEachCompletedRunAndKeepsItsFiguresAfterAnError) {
  QTest::keyClick(window_.form.get(), Qt::Key_F2);
  // Intervals of 5000 and 6000 samples: 833.3 and 1000 ms.
  run("first.txt", {1000, 6000, 12000, 17400});
  EXPECT_EQ(shown(measures(), hrv::Measure::meanNn), "916.7");
  EXPECT_EQ(shown(measures(), hrv::Measure::meanNn, 2), "мс");
  EXPECT_EQ(shown(measures(), hrv::Measure::rmssd), "166.67");
  EXPECT_EQ(shown(measures(), hrv::Measure::sdsd), "нет данных: меньше 3 интервалов");
  EXPECT_FALSE(measures()
                   .table()
                   .item(measures().table().rowOf(hrv::Measure::meanNn), 1)
                   ->toolTip()
                   .isEmpty());
  EXPECT_TRUE(measures().statusText().contains("2 RR-интервалов"));

  // Intervals of 3000 samples (500 ms) three times.
  run("second.txt", {1000, 4000, 7000, 10000, 20000});
  EXPECT_EQ(shown(measures(), hrv::Measure::meanNn), "500.0");
  EXPECT_EQ(shown(measures(), hrv::Measure::sdsd), "0.00");
  EXPECT_EQ(shown(measures(), hrv::Measure::sd1Sd2), "нет данных: знаменатель равен нулю");

  // A shift that is no number stops the run after the intervals are formed.
  window_.type("Text9", "x");
  window_.click("Command2");
  ASSERT_EQ(window_.reports.size(), 1u);
  EXPECT_EQ(shown(measures(), hrv::Measure::meanNn), "500.0");
  EXPECT_TRUE(measures().statusText().contains("ошибкой"));
  window_.type("Text9", "1");
  window_.click("Command2");
  EXPECT_FALSE(measures().statusText().contains("ошибкой"));
}

TEST_F(MeasuresWindowTest, CopiesTheTableAndSavesItAsCsv) {
  run("beats.txt", {1000, 6000, 12000, 17400});
  QTest::keyClick(window_.form.get(), Qt::Key_F2);
  window_.click("copy");
  const QStringList copied = QApplication::clipboard()->text().split('\n');
  EXPECT_EQ(copied.value(0), "Показатель\tЗначение\tЕд. изм.");
  EXPECT_EQ(copied.value(1), "Среднее NN\t916.7\tмс");

  const QString path = folder_.filePath("hrv.csv");
  measures().setSaveChooser([path] { return path; });
  window_.click("saveCsv");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
  EXPECT_EQ(lines.value(0), "key,name,value,unit,undefined");
  const QStringList mean = lines.value(1).split(',');
  EXPECT_EQ(mean.value(0), "mean_nn_ms");
  EXPECT_DOUBLE_EQ(mean.value(2).toDouble(), (5000 + 6000) * 1000.0 / 6000 / 2);
  EXPECT_EQ(lines.value(1 + static_cast<int>(hrv::Measure::sdsd)),
            "sdsd_ms,SDSD,,мс,меньше 3 интервалов");
}

}  // namespace
}  // namespace rrscope
