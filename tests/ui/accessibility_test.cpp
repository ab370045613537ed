// What a screen reader learns of the window through Qt's accessibility
// interface.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QTemporaryDir>

#include "tests/ui/ui_test_support.h"

namespace rrscope {
namespace {

using testing::TestWindow;

QString accessible(const QWidget* widget, QAccessible::Text which) {
  QAccessibleInterface* const face =
      QAccessible::queryAccessibleInterface(const_cast<QWidget*>(widget));
  return face != nullptr ? face->text(which) : QStringLiteral("(none)");
}

TEST(Accessibility, TextBoxesAreNamedByTheirCaptionsOrWhatTheyScale) {
  const TestWindow window;
  const std::pair<const char*, QString> boxes[] = {
      {"Text1", window.labelText("Label1")},
      {"Text2", window.labelText("Label2")},
      {"Text9", window.labelText("Label7")},
      {"Text3", "масштаб ритмограммы по горизонтали"},
      {"Text4", "масштаб ритмограммы по вертикали"},
      {"Text5", "масштаб скаттерграммы по вертикали"},
      {"Text6", "масштаб скаттерграммы по горизонтали"},
      {"Text7", "масштаб пульса по вертикали"},
      {"Text8", "масштаб пульса по горизонтали"},
  };
  for (const auto& [box, name] : boxes) {
    EXPECT_EQ(accessible(window.find(box), QAccessible::Name), name) << box;
  }
}

// Each name says what a click does: it is checked by clicking.
TEST(Accessibility, StepButtonsSayWhichScaleTheyChangeAndHow) {
  const TestWindow window;
  QSet<QString> names;
  for (int number = 4; number <= 15; ++number) {
    const std::string button = "Command" + std::to_string(number);
    auto* const push = window.find<QPushButton>(button.c_str());
    QLineEdit* changed = nullptr;
    for (QLineEdit* box : window.form->findChildren<QLineEdit*>()) {
      const QString before = box->text();
      push->click();
      if (box->text() != before) changed = box;
      window.click("Command3");  // back to the defaults
    }
    ASSERT_NE(changed, nullptr) << button;
    const QString verb = QString(push->text() == "+" ? "увеличить " : "уменьшить ");
    EXPECT_EQ(accessible(push, QAccessible::Name), verb + accessible(changed, QAccessible::Name))
        << button;
    names.insert(accessible(push, QAccessible::Name));
  }
  EXPECT_EQ(names.size(), 12);
}

TEST(Accessibility, ChartsCarryTheirTitlesAndDescribeWhatTheyShow) {
  QTemporaryDir folder;
  TestWindow window;
  const char* charts[] = {"Picture1", "Picture2", "Picture3", "Picture4", "Picture5"};
  const char* titles[] = {"Label3", "Label4", "Label5", "Label6", "Label23"};
  const auto descriptions = [&] {
    QStringList shown;
    for (const char* chart : charts) {
      shown << accessible(window.find(chart), QAccessible::Description);
    }
    return shown;
  };
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(accessible(window.find(charts[i]), QAccessible::Name),
              window.labelText(titles[i]).trimmed());
  }
  EXPECT_EQ(descriptions(), QStringList(5, QString()));

  // Six beats: four analysed intervals in 30000 samples.
  window.nextFile =
      testing::writeSpikes(folder, "beats.txt", 30000, {2500, 7500, 12500, 17500, 22500, 27500});
  window.type("Text9", "2");
  window.click("Command1");
  EXPECT_EQ(
      descriptions(),
      (QStringList{"ритмограмма, 4 интервала", "скаттерграмма, 4 интервала, сдвиг тау 2",
                   "пульс, 30000 сэмплов", "гистограмма, 4 интервала", "корреляция, 4 интервала"}));

  // Stopped while plotting: the first two charts are half drawn, the rest blank.
  window.type("Text3", "1e35");
  window.click("Command2");
  ASSERT_EQ(window.reports.size(), 1u);
  EXPECT_EQ(descriptions(),
            (QStringList{"ритмограмма, построение прервано ошибкой",
                         "скаттерграмма, построение прервано ошибкой", "", "", ""}));

  // A failed load leaves every chart cleared.
  window.nextFile.clear();
  window.click("Command1");
  EXPECT_EQ(descriptions(), QStringList(5, QString()));
}

}  // namespace
}  // namespace rrscope
