#include <gtest/gtest.h>

#include <QApplication>
#include <QFrame>
#include <QTest>

#include "tests/ui/ui_test_support.h"

namespace rrscope {
namespace {

using testing::TestWindow;

TEST(WindowLayout, OpensWithTheDesignedTitleTextsAndStates) {
  const TestWindow window;
  EXPECT_EQ(window.form->windowTitle(),
            QString::fromUtf8("Анализ вариабельности сердечного ритма (RRscope)"));
  EXPECT_EQ(window.form->size(), QSize(1187, 657));
  for (const int size : {16, 32, 48}) {
    EXPECT_EQ(window.form->windowIcon().pixmap(size).width(), size) << size;
  }
  EXPECT_FALSE(window.find("Command2")->isEnabled());
  EXPECT_EQ(window.find("Label11_1"), nullptr);  // Label11 has the members 0 and 2 only

  const QStringList boxes = {"0.4", "0.4", "0.03", "0.4", "0.5", "0.5", "500", "0.05", "1"};
  for (int box = 1; box <= 9; ++box) {
    EXPECT_EQ(window.boxText(("Text" + std::to_string(box)).c_str()), boxes[box - 1]) << box;
  }
  // \u0441 and \u041a are Cyrillic; "C" of Label19 and "c" of Label25 are Latin.
  const std::vector<std::pair<const char*, const char*>> labels = {
      {"sam", ""},
      {"TR", " "},
      {"Label21", ""},
      {"Label6", "Гистограмма "},
      {"Label19", "C\u0440\u0435\u0434\u043d\u044f\u044f ЧСС"},
      {"Label25", "dt, c"},
      {"Label11_0", "RRi, \u0441"},
      {"Label11_2", "RRi, \u0441"},
      {"Label16", "RRi+tau,    \u0441"},
      {"Label2", "защитный интервал (\u0441)"},
      {"Label23", "\u041aорреляция \u041a(t-tau)"},
      {"Label36", "0"},
  };
  for (const auto& [name, text] : labels) {
    EXPECT_EQ(window.labelText(name), QString::fromUtf8(text)) << name;
  }
}

TEST(WindowLayout, ControlsStandWhereTheDesignPutsThemWhateverTheWindowSize) {
  TestWindow window;
  window.form->show();
  // 15 twips a pixel; the frame's children are placed relative to the frame.
  const std::vector<std::pair<const char*, QRect>> placements = {
      {"Command1", {16, 40, 97, 41}},     {"Command3", {200, 120, 73, 185}},
      {"Command4", {288, 120, 17, 17}},   {"Command8", {400, 296, 17, 17}},
      {"Text2", {24, 208, 97, 25}},       {"Picture2", {656, 32, 241, 257}},
      {"Picture3", {352, 344, 257, 249}}, {"Label11_2", {856, 304, 41, 17}},
      {"Label16", {608, 48, 41, 33}},     {"Frame1", {920, 336, 249, 257}},
      {"Label36", {112, 176, 129, 25}},   {"Command17", {208, 104, 25, 17}},
  };
  for (const QSize size : {QSize(1187, 657), QSize(500, 300), QSize(1600, 1000)}) {
    window.form->resize(size);
    for (const auto& [name, geometry] : placements) {
      EXPECT_EQ(window.find(name)->geometry(), geometry) << name;
    }
  }
  EXPECT_EQ(window.find("Label36")->parentWidget()->objectName(), "Frame1");
  // The drawing area is 60 twips (4 pixels) smaller than the box.
  EXPECT_EQ(window.find<QFrame>("Picture1")->contentsRect().size(), QSize(245, 253));
  for (const char* name : {"Picture2", "Picture4"}) {
    EXPECT_EQ(window.find(name)->font().family(), "Times New Roman") << name;
    EXPECT_DOUBLE_EQ(window.find(name)->font().pointSizeF(), 8.25) << name;
  }
}

TEST(WindowFocus, StartsOnCommand1TabsInDesignOrderAndSpacePressesIt) {
  TestWindow window;  // the dialog answers with no name, as after a cancel
  window.form->show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.form.get()));
  ASSERT_EQ(QApplication::focusWidget(), window.find("Command1"));

  // Labels, pictures and the frame take no focus; Command2 is disabled.
  const QStringList expected = {"Text1",     "Text2",     "Text3",     "Text4",     "Text5",
                                "Text6",     "Text7",     "Text8",     "Command3",  "Text9",
                                "Command4",  "Command5",  "Command6",  "Command7",  "Command8",
                                "Command9",  "Command10", "Command11", "Command12", "Command13",
                                "Command14", "Command15", "Command17", "Command18", "Command1"};
  QStringList visited;
  for (qsizetype step = 0; step < expected.size(); ++step) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    visited << QApplication::focusWidget()->objectName();
  }
  EXPECT_EQ(visited, expected);

  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
  EXPECT_EQ(window.dialogs, 1);
}

}  // namespace
}  // namespace rrscope
